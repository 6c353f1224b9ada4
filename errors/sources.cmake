# Files of this subsystem, one a line: core (no widgets) and gui (windows and controls).
list(APPEND VELMORA_CORE_SOURCES
  errors/VelmoraError.cpp
  errors/VelmoraError.h
)
list(APPEND VELMORA_GUI_SOURCES
)
