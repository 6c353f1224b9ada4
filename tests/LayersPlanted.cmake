# The folder check must catch what it is for. Each fault below is planted alone in a copy of the
# sources, and the layers check must fail on it, naming the file and the include:
# - print/ including app/ (an include that points up);
# - the rules of the game including a window (the Tabellone);
# - the hall including the Tabellone;
# - the rules of the game including network code.
#   cmake -DSOURCE_DIR=... -DWORK_DIR=... -DFOLDERS="a|b" -DFORBIDDEN_DIRS=... -DQUIET_DIRS=...
#         -DQUIET_FOLDERS=... -P LayersPlanted.cmake
cmake_minimum_required(VERSION 3.25)

string(REPLACE "|" ";" _folders "${FOLDERS}")

function(expect_caught file include)
  file(REMOVE_RECURSE ${WORK_DIR})
  foreach(folder ${_folders})
    file(COPY ${SOURCE_DIR}/${folder} DESTINATION ${WORK_DIR})
  endforeach()
  file(COPY ${SOURCE_DIR}/HACKING.md DESTINATION ${WORK_DIR})
  file(APPEND ${WORK_DIR}/${file} "#include ${include}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${WORK_DIR} "-DFOLDERS=${FOLDERS}"
                          "-DFORBIDDEN_DIRS=${FORBIDDEN_DIRS}" "-DQUIET_DIRS=${QUIET_DIRS}"
                          "-DQUIET_FOLDERS=${QUIET_FOLDERS}"
                          -P ${SOURCE_DIR}/cmake/CheckLayers.cmake
                  RESULT_VARIABLE _status ERROR_VARIABLE _report)
  file(REMOVE_RECURSE ${WORK_DIR})
  if(_status EQUAL 0)
    message(FATAL_ERROR "${file} including ${include} passed the layers check")
  endif()
  string(REPLACE "\"" "" _bare "${include}")
  string(REPLACE "<" "" _bare "${_bare}")
  string(REPLACE ">" "" _bare "${_bare}")
  # The report wraps long lines: compare with its white space folded.
  string(REGEX REPLACE "[ \t\r\n]+" " " _report "${_report}")
  if(NOT _report MATCHES "${file}: #include \"?${_bare}")
    message(FATAL_ERROR "the layers check failed without naming ${file}'s planted include:\n${_report}")
  endif()
endfunction()

expect_caught(print/PrintPlan.h "\"app/Form1.h\"")
expect_caught(rules/Game.h "\"game/Tabellone.h\"")
expect_caught(hall/HallBoard.h "\"game/Tabellone.h\"")
expect_caught(rules/PrizePlan.cpp "<QTcpSocket>")
