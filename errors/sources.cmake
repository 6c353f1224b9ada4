# Files of this subsystem, one a line: core (no widgets) and gui (windows and controls).
list(APPEND VELMORA_CORE_SOURCES
  errors/CallTrail.cpp
  errors/CallTrail.h
  errors/ErrCall.h
  errors/ErrorPresenter.cpp
  errors/ErrorPresenter.h
  errors/ErrorReport.cpp
  errors/ErrorReport.h
  errors/Failure.cpp
  errors/Failure.h
  errors/FileErrorText.cpp
  errors/FileErrorText.h
  errors/MailHandOff.cpp
  errors/MailHandOff.h
  errors/ModCallErr.cpp
  errors/ModCallErr.h
  errors/ProgramInfo.cpp
  errors/ProgramInfo.h
  errors/RecordingProcedure.cpp
  errors/RecordingProcedure.h
  errors/ReportWindowLayout.cpp
  errors/ReportWindowLayout.h
  errors/VelmoraError.cpp
  errors/VelmoraError.h
)
list(APPEND VELMORA_GUI_SOURCES
  errors/HoverLabel.cpp
  errors/HoverLabel.h
  errors/MsgErrorPresenter.cpp
  errors/MsgErrorPresenter.h
  errors/TopMost.cpp
  errors/TopMost.h
  errors/frmMsgError.cpp
  errors/frmMsgError.h
)
