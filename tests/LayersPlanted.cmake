# The folder check must catch what it is for: a copy of the sources with one include that points
# up (print/ including app/) must fail the layers check, naming the file and the include.
#   cmake -DSOURCE_DIR=... -DWORK_DIR=... -DFOLDERS="a|b" -DFORBIDDEN_DIRS=... -P LayersPlanted.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK_DIR})
string(REPLACE "|" ";" _folders "${FOLDERS}")
foreach(folder ${_folders})
  file(COPY ${SOURCE_DIR}/${folder} DESTINATION ${WORK_DIR})
endforeach()
file(COPY ${SOURCE_DIR}/HACKING.md DESTINATION ${WORK_DIR})
file(APPEND ${WORK_DIR}/print/PrintPlan.h "#include \"app/Form1.h\"\n")

execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${WORK_DIR} "-DFOLDERS=${FOLDERS}"
                        "-DFORBIDDEN_DIRS=${FORBIDDEN_DIRS}" -P ${SOURCE_DIR}/cmake/CheckLayers.cmake
                RESULT_VARIABLE _status ERROR_VARIABLE _report)
file(REMOVE_RECURSE ${WORK_DIR})
if(_status EQUAL 0)
  message(FATAL_ERROR "an include from print/ up to app/ passed the layers check")
endif()
if(NOT _report MATCHES "print/PrintPlan.h: #include \"app/Form1.h\"")
  message(FATAL_ERROR "the layers check failed without naming the planted include:\n${_report}")
endif()
