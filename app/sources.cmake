# Files of this subsystem, one a line: core (no widgets) and gui (windows and controls).
list(APPEND VELMORA_CORE_SOURCES
  app/FixedText.h
  app/Configurazione.h
  app/Decimal.cpp
  app/Decimal.h
  app/PrintRange.cpp
  app/PrintRange.h
  app/ConfigurazioneCodec.cpp
  app/ConfigurazioneCodec.h
  app/RigaIntestazione.cpp
  app/RigaIntestazione.h
  app/SettingsFile.cpp
  app/SettingsFile.h
  app/TestoVersione.cpp
  app/TestoVersione.h
  app/Calibrazione.cpp
  app/Calibrazione.h
)
list(APPEND VELMORA_GUI_SOURCES
  app/ElidedLabel.cpp
  app/ElidedLabel.h
  app/Form1.cpp
  app/Form1.h
  app/FiltroNumerico.cpp
  app/FiltroNumerico.h
  app/PrintPage.cpp
  app/PrintPage.h
  app/MessageBoxPresenter.cpp
  app/MessageBoxPresenter.h
  app/MessagePresenter.h
  app/FileChooser.h
  app/PdfFileDialog.cpp
  app/PdfFileDialog.h
  app/SalvaPdf.cpp
  app/SalvaPdf.h
)
