# Files of this subsystem, one a line: core (no widgets) and gui (windows and controls).
list(APPEND VELMORA_CORE_SOURCES
  ui/AboutAnimation.cpp
  ui/AboutAnimation.h
  ui/ClockRandomSource.cpp
  ui/ClockRandomSource.h
  ui/QbCaption.cpp
  ui/QbCaption.h
  ui/QbPicture.cpp
  ui/QbPicture.h
  ui/QbStyle3.cpp
  ui/QbStyle3.h
  ui/RandomSource.h
)
list(APPEND VELMORA_GUI_SOURCES
  ui/AbuotForm.cpp
  ui/AbuotForm.h
  ui/OptionGroups.cpp
  ui/OptionGroups.h
  ui/QbButtonAccessible.cpp
  ui/QbButtonAccessible.h
  ui/qbButtons_H.cpp
  ui/qbButtons_H.h
  ui/qbButtons_H_codes.h
  ui/qbButtons_H_input.cpp
  ui/qbButtons_H_paint.cpp
  ui/qbButtons_H_store.cpp
  ui/CentraFinestra.cpp
  ui/CentraFinestra.h
  ui/FiltroNumerico.cpp
  ui/FiltroNumerico.h
  ui/FileChooser.h
  ui/PdfFileDialog.cpp
  ui/PdfFileDialog.h
)
