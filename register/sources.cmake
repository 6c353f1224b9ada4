# Files of this subsystem, one a line: core (no widgets) and gui (windows and controls).
list(APPEND VELMORA_CORE_SOURCES
  register/ArchiveFingerprint.cpp
  register/ArchiveFingerprint.h
  register/CardTrace.cpp
  register/CardTrace.h
  register/CardNumbering.cpp
  register/CardNumbering.h
  register/Evening.h
  register/EveningPrints.cpp
  register/EveningPrints.h
  register/EveningStore.cpp
  register/EveningStore.h
  register/PrintRegister.cpp
  register/PrintRegister.h
  register/RegisterDatabase.cpp
  register/RegisterDatabase.h
  register/RegisterFailure.cpp
  register/RegisterFailure.h
  register/RegisterTime.cpp
  register/RegisterTime.h
  register/RunRecord.cpp
  register/RunRecord.h
  register/RunRegistration.cpp
  register/RunRegistration.h
  register/Transaction.cpp
  register/Transaction.h
)
list(APPEND VELMORA_GUI_SOURCES
  register/EveningDialog.cpp
  register/EveningDialog.h
  register/RegistroStampe.cpp
  register/RegistroStampe.h
)
