# Files of this subsystem, one a line: core (no widgets) and gui (windows and controls).
list(APPEND VELMORA_CORE_SOURCES
  register/RegisterDatabase.cpp
  register/RegisterDatabase.h
)
list(APPEND VELMORA_GUI_SOURCES
)
