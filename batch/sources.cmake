# Files of the batch program's run, one a line: the library velmora_batch, which uses only the
# core (no widgets). Its main() is batch/main.cpp.
list(APPEND VELMORA_BATCH_SOURCES
  batch/BatchOptions.cpp
  batch/BatchOptions.h
  batch/BatchRun.cpp
  batch/BatchRun.h
  batch/EveningCommands.cpp
  batch/EveningCommands.h
  batch/EveningQuery.h
  batch/ProgressBar.cpp
  batch/ProgressBar.h
  batch/RegisterCommands.cpp
  batch/RegisterCommands.h
  batch/RegisterQuery.h
  batch/VerbaleCommands.cpp
  batch/VerbaleCommands.h
  batch/VerbaleQuery.h
  batch/VerificaArchivio.cpp
  batch/VerificaArchivio.h
  batch/WinCheckCommand.cpp
  batch/WinCheckCommand.h
)
