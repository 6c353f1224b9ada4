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
)
list(APPEND VELMORA_GUI_SOURCES
)
