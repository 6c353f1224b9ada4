# The evening in the register, one file a line: core (no widgets) and gui (windows).
list(APPEND VELMORA_CORE_SOURCES
  evening/Evening.h
  evening/EveningPrints.cpp
  evening/EveningPrints.h
  evening/EveningStore.cpp
  evening/EveningStore.h
  evening/GameStore.cpp
  evening/GameStore.h
  evening/RegisterChange.h
  evening/RegisterDatabase.cpp
  evening/RegisterDatabase.h
  evening/RegisterLock.cpp
  evening/RegisterLock.h
  evening/RegisterSchema.cpp
  evening/RegisterSchema.h
  evening/RunRegistration.cpp
  evening/RunRegistration.h
  evening/Verbale.cpp
  evening/Verbale.h
  evening/VerbaleDocument.cpp
  evening/VerbaleDocument.h
)
list(APPEND VELMORA_GUI_SOURCES
  evening/EveningDialog.cpp
  evening/EveningDialog.h
  evening/VerbaleDialog.cpp
  evening/VerbaleDialog.h
)
