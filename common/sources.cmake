# Files every subsystem may use, one a line: core only (QtCore and QtGui), and nothing here
# includes another folder of the program.
list(APPEND VELMORA_CORE_SOURCES
  common/Sentence.cpp
  common/Sentence.h
  common/ShownText.cpp
  common/ShownText.h
  common/Twips.cpp
  common/Twips.h
)
