# Files of this subsystem, one a line: core (no widgets) and gui (windows and controls).
list(APPEND VELMORA_CORE_SOURCES
  app/EveningPrintCheck.cpp
  app/EveningPrintCheck.h
  app/UnshownSettings.cpp
  app/UnshownSettings.h
)
list(APPEND VELMORA_GUI_SOURCES
  app/CommandButton.cpp
  app/CommandButton.h
  app/ElidedLabel.cpp
  app/ElidedLabel.h
  app/Form1.cpp
  app/Form1.h
  app/PrintCommands.cpp
  app/PrintCommands.h
  app/PrintPage.cpp
  app/PrintPage.h
  app/MessageBoxPresenter.cpp
  app/MessageBoxPresenter.h
  app/SalvaPdf.cpp
  app/SalvaPdf.h
  app/SingleWindow.cpp
  app/SingleWindow.h
)
