# Files of this subsystem, one a line: core (no widgets) and gui (windows and controls).
list(APPEND VELMORA_CORE_SOURCES
  appearance/CardGeometry.cpp
  appearance/CardGeometry.h
  appearance/CardParts.cpp
  appearance/CardParts.h
  appearance/ElencoFont.cpp
  appearance/ElencoFont.h
  appearance/ScalaFont.h
  appearance/PrintDialogSettings.cpp
  appearance/PrintDialogSettings.h
)
list(APPEND VELMORA_GUI_SOURCES
  appearance/ShowColor.cpp
  appearance/ShowColor.h
  appearance/CardPicture.cpp
  appearance/CardPicture.h
  appearance/FitLabel.cpp
  appearance/FitLabel.h
  appearance/FontControls.cpp
  appearance/FontControls.h
  appearance/CambioFont.cpp
  appearance/CambioFont.h
  appearance/PartSelection.cpp
  appearance/PartSelection.h
  appearance/clsPrintDialog.cpp
  appearance/clsPrintDialog.h
)
