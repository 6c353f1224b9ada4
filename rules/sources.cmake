# The rules of the game, one file a line: all core, no window, network or speech.
list(APPEND VELMORA_CORE_SOURCES
  rules/ArchiveScan.cpp
  rules/ArchiveScan.h
  rules/CardInPlay.cpp
  rules/CardInPlay.h
  rules/ClaimCheck.h
  rules/ComputerDraw.cpp
  rules/ComputerDraw.h
  rules/DrawLog.h
  rules/Game.cpp
  rules/Game.h
  rules/NumberSet.h
  rules/PrintedRuns.cpp
  rules/PrintedRuns.h
  rules/PrizeCheck.cpp
  rules/PrizeCheck.h
  rules/PrizePlan.cpp
  rules/PrizePlan.h
  rules/WinnerFinder.cpp
  rules/WinnerFinder.h
)
