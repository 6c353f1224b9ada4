# The print register, one file a line: core (no widgets) and gui (windows).
list(APPEND VELMORA_CORE_SOURCES
  register/ArchiveFingerprint.cpp
  register/ArchiveFingerprint.h
  register/CardNumbering.cpp
  register/CardNumbering.h
  register/CardTrace.cpp
  register/CardTrace.h
  register/PrintRegister.cpp
  register/PrintRegister.h
  register/RegisterFailure.cpp
  register/RegisterFailure.h
  register/RegisterTime.cpp
  register/RegisterTime.h
  register/RunRecord.cpp
  register/RunRecord.h
  register/Transaction.cpp
  register/Transaction.h
)
list(APPEND VELMORA_GUI_SOURCES
  register/RegistroStampe.cpp
  register/RegistroStampe.h
)
