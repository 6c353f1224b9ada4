# What the hall sees and hears, one file a line: core (no widgets) and gui (windows and controls).
list(APPEND VELMORA_CORE_SOURCES
  hall/DigitFit.cpp
  hall/DigitFit.h
  hall/HallSetup.cpp
  hall/HallSetup.h
  hall/HallState.cpp
  hall/HallState.h
  hall/HttpRequestParser.cpp
  hall/HttpRequestParser.h
  hall/NumberAnnouncer.cpp
  hall/NumberAnnouncer.h
  hall/NumberWords.cpp
  hall/NumberWords.h
  hall/PhoneBoardAnswer.cpp
  hall/PhoneBoardAnswer.h
  hall/QrCode.cpp
  hall/QrCode.h
  hall/QtSpeechEngine.cpp
  hall/QtSpeechEngine.h
  hall/SmorfiaSayings.cpp
  hall/SmorfiaSayings.h
  hall/SpeechEngine.h
)
list(APPEND VELMORA_GUI_SOURCES
  hall/HallBoard.cpp
  hall/HallBoard.h
  hall/HallControls.cpp
  hall/HallControls.h
  hall/PhoneBoardControls.cpp
  hall/PhoneBoardControls.h
  hall/PhoneBoardServer.cpp
  hall/PhoneBoardServer.h
)
