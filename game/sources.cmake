# Files of the game of the evening, one a line: core (no widgets) and gui (windows and controls).
list(APPEND VELMORA_CORE_SOURCES
  game/NumberSet.h
  game/Game.cpp
  game/Game.h
  game/PrizeCheck.cpp
  game/PrizeCheck.h
  game/ArchiveScan.cpp
  game/ArchiveScan.h
  game/GameStore.cpp
  game/GameStore.h
  game/PrintedRuns.cpp
  game/PrintedRuns.h
  game/DrawLog.h
  game/PrizePlan.cpp
  game/PrizePlan.h
  game/CardInPlay.cpp
  game/CardInPlay.h
  game/WinnerFinder.cpp
  game/WinnerFinder.h
  game/NumberWords.cpp
  game/NumberWords.h
  game/SmorfiaSayings.cpp
  game/SmorfiaSayings.h
  game/SpeechEngine.h
  game/QtSpeechEngine.cpp
  game/QtSpeechEngine.h
  game/NumberAnnouncer.cpp
  game/NumberAnnouncer.h
)
list(APPEND VELMORA_GUI_SOURCES
  game/CardView.cpp
  game/CardView.h
  game/GameSession.cpp
  game/GameSession.h
  game/Tabellone.cpp
  game/Tabellone.h
)
