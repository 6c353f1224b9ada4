# Fetches axe-core VERSION from the npm registry into DIR (DIR/node_modules/axe-core), once. A
# fetch that fails does not stop the build: its reason is left in DIR/fetch-error.txt for the
# accessibility test to say, and the next build tries again.
set(_error ${DIR}/fetch-error.txt)
file(MAKE_DIRECTORY ${DIR})
find_program(_npm npm)
if(NOT _npm)
  file(WRITE ${_error} "npm is not installed (bash scripts/deps.sh test installs it)\n")
  return()
endif()
execute_process(
  COMMAND ${_npm} install --prefix ${DIR} --no-audit --no-fund --ignore-scripts --save-exact
          axe-core@${VERSION}
  RESULT_VARIABLE _status OUTPUT_VARIABLE _out ERROR_VARIABLE _err TIMEOUT 300)
set(_package ${DIR}/node_modules/axe-core/package.json)
set(_got)
if(EXISTS ${_package})
  file(READ ${_package} _json)
  string(JSON _got ERROR_VARIABLE _ignored GET "${_json}" version)
endif()
if(NOT _status EQUAL 0 OR NOT _got STREQUAL VERSION)
  file(WRITE ${_error} "npm install axe-core@${VERSION} failed (status ${_status}):\n${_err}\n")
  file(REMOVE ${DIR}/node_modules/axe-core/axe.min.js)
  message(WARNING "axe-core ${VERSION} could not be fetched from the npm registry: ${_err}")
else()
  file(REMOVE ${_error})
endif()
