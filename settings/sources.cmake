# The settings record, its file and codec, and the print range: core only, below everything
# that draws or registers.
list(APPEND VELMORA_CORE_SOURCES
  settings/FixedText.h
  settings/Configurazione.h
  settings/Decimal.cpp
  settings/Decimal.h
  settings/PrintRange.cpp
  settings/PrintRange.h
  settings/ConfigurazioneCodec.cpp
  settings/ConfigurazioneCodec.h
  settings/RigaIntestazione.cpp
  settings/RigaIntestazione.h
  settings/SettingsFile.cpp
  settings/SettingsFile.h
  settings/Calibrazione.cpp
  settings/Calibrazione.h
)
