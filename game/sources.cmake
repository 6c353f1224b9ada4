# The game in progress, one file a line: core (no widgets) and gui (windows and controls).
list(APPEND VELMORA_CORE_SOURCES
  game/GameDesk.cpp
  game/GameDesk.h
)
list(APPEND VELMORA_GUI_SOURCES
  game/BoardButtonAccessible.cpp
  game/BoardButtonAccessible.h
  game/CardView.cpp
  game/CardView.h
  game/GameSession.cpp
  game/GameSession.h
  game/Tabellone.cpp
  game/Tabellone.h
)
