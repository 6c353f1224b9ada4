# Installing Velmora as a desktop application, and its Debian package.
#
#   bin/velmora, bin/velmora-pdf
#   share/applications/org.example.Velmora.desktop
#   share/icons/hicolor/scalable/apps/org.example.Velmora.svg
#   share/metainfo/org.example.Velmora.metainfo.xml
#   share/velmora/RidoDur.dat          the sample card archive, found by an installed program
#
# Included at the end of the top-level CMakeLists.txt, once every program target exists.
include(GNUInstallDirs)

set(VELMORA_APP_ID org.example.Velmora)
# The release date of the metainfo: the day of configuring, or SOURCE_DATE_EPOCH when set.
string(TIMESTAMP VELMORA_RELEASE_DATE "%Y-%m-%d" UTC)
configure_file(${CMAKE_SOURCE_DIR}/data/${VELMORA_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/generated/${VELMORA_APP_ID}.metainfo.xml @ONLY)

install(TARGETS velmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET velmora-pdf)
  install(TARGETS velmora-pdf RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${CMAKE_SOURCE_DIR}/data/${VELMORA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/${VELMORA_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_BINARY_DIR}/generated/${VELMORA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Written by the build (tools/archive-maker); an installed program looks for it here last.
install(FILES ${CMAKE_BINARY_DIR}/data/RidoDur.dat DESTINATION ${CMAKE_INSTALL_DATADIR}/velmora)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmora)

# cpack -G DEB: the package's dependencies are worked out by dpkg-shlibdeps (package dpkg-dev)
# from the libraries the programs link, the Qt libraries among them (libqt6network6 for the
# board on the phones too).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Laboratorio Velmora")
set(CPACK_PACKAGE_CONTACT "${VELMORA_SUPPORT_ADDRESS}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Stampa le cartelle della tombola")
set(CPACK_PACKAGE_DESCRIPTION
    "Velmora stampa le cartelle della tombola, numerate, con titolo, colori, carattere e righe "
    "di intestazione scelti, sei per pagina orizzontale o tre per pagina verticale. Con il "
    "programma viene installato un archivio di prova.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Fonts metric-compatible with Arial, Times New Roman and Courier New, the faces of older
# settings files. The numbers said aloud: Qt's speech-dispatcher plugin, speech-dispatcher and
# espeak-ng's Italian voice; without them the evening goes on in silence. (Qt's speech library
# itself is linked, so dpkg-shlibdeps makes it a dependency.)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-liberation2, qt6-speech-speechd-plugin, speech-dispatcher, speech-dispatcher-espeak-ng, espeak-ng")
# Qt's own Italian texts, so that the colour and print dialogs speak the program's language; and
# the print register's SQLite driver, a plugin Qt loads at run time, which no program links, so
# dpkg-shlibdeps cannot find it. CPack adds the computed dependencies after these, among them
# libqrencode4 (the QR code of the phones' address), linked by the window program: named here
# too, it would stand twice in the list.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velmora.example.org/")
include(CPack)
