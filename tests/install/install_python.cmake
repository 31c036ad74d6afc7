# cmake -DBUILD_DIR=... -DWORK_DIR=... -DPYTHON=... -P install_python.cmake
# Installs the build into a fresh prefix: the install's last line says where the Python package
# went, and the interpreter imports it from there (with PYTHONPATH when it does not search that
# folder by itself, as it does not for a temporary prefix).
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix
                OUTPUT_VARIABLE out ERROR_VARIABLE out COMMAND_ERROR_IS_FATAL ANY)
string(STRIP "${out}" out)
string(REGEX MATCH "[^\n]*$" last "${out}")
set(expected_start "-- Python package vantrel: installed in ${WORK_DIR}/prefix/lib/python3")
string(FIND "${last}" "${expected_start}" at)
if(NOT at EQUAL 0)
  message(FATAL_ERROR "the install's last line is\n${last}\nnot\n${expected_start}...")
endif()
string(REGEX MATCH "PYTHONPATH=(.*)$" found "${last}")
if(NOT found)
  message(FATAL_ERROR "the last line names no PYTHONPATH for a prefix python3 does not search:\n${last}")
endif()
set(site ${CMAKE_MATCH_1})
execute_process(COMMAND ${CMAKE_COMMAND} -E env PYTHONPATH=${site}
                        ${PYTHON} -c "import vantrel; print('vantrel from', vantrel.__file__)"
                WORKING_DIRECTORY ${WORK_DIR} COMMAND_ERROR_IS_FATAL ANY)
if(NOT EXISTS ${WORK_DIR}/prefix/bin/vantrel-cli)
  message(FATAL_ERROR "no bin/vantrel-cli in the prefix")
endif()
