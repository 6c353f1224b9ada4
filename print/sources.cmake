# Files of this subsystem, one a line: core (no widgets) and gui (windows and controls).
list(APPEND VELMORA_CORE_SOURCES
  print/ArchiveFinding.h
  print/ArchiveValidator.cpp
  print/ArchiveValidator.h
  print/CardArchive.cpp
  print/CardArchive.h
  print/RecordCartella.cpp
  print/RecordCartella.h
  print/SeriesGenerator.cpp
  print/SeriesGenerator.h
  print/BgrColor.cpp
  print/BgrColor.h
  print/FontResolver.cpp
  print/FontResolver.h
  print/PageTarget.h
  print/PainterSurface.cpp
  print/PainterSurface.h
  print/PdfTarget.cpp
  print/PdfTarget.h
  print/PrinterSurface.cpp
  print/PrinterSurface.h
  print/RecordingSurface.cpp
  print/RecordingSurface.h
)
list(APPEND VELMORA_GUI_SOURCES
  print/CurrentPrinter.cpp
  print/CurrentPrinter.h
  print/PrinterTarget.cpp
  print/PrinterTarget.h
  print/CancStampa.cpp
  print/CancStampa.h
  print/ScreenPointer.cpp
  print/ScreenPointer.h
)
