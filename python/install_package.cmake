# Run by `cmake --install`: puts the package built in VANTREL_PYTHON_PACKAGE_DIR where
# VANTREL_PYTHON_EXECUTABLE looks for packages under the install prefix (site_packages.py), or
# under PREFIX/VANTREL_PYTHON_SITE_PACKAGES when that is set, and leaves the line the install ends
# with in VANTREL_INSTALL_PYTHON_NOTE. The package is brought up to date in VANTREL_BUILD_DIR
# first: a build that made only vantrel-cli (make demo) has no module yet.
# make demo builds vantrel-cli alone, and a module built before the sources changed is stale:
# bring the package up to date first (nothing to do when it is) rather than install without it.
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${VANTREL_BUILD_DIR}" --target vantrel_python
                OUTPUT_QUIET RESULT_VARIABLE failed)
file(GLOB module "${VANTREL_PYTHON_PACKAGE_DIR}/_vantrel*")
if(failed OR NOT module)
  set(VANTREL_INSTALL_PYTHON_NOTE
      "Python package vantrel: not installed, because it could not be built (cmake --build ${VANTREL_BUILD_DIR} --target vantrel_python says why)")
  return()
endif()
set(searched FALSE)
if(VANTREL_PYTHON_SITE_PACKAGES)
  set(site "${CMAKE_INSTALL_PREFIX}/${VANTREL_PYTHON_SITE_PACKAGES}")
else()
  execute_process(COMMAND "${VANTREL_PYTHON_EXECUTABLE}" "${CMAKE_CURRENT_LIST_DIR}/site_packages.py"
                          "${CMAKE_INSTALL_PREFIX}"
                  OUTPUT_VARIABLE answer OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "\n" ";" answer "${answer}")
  list(GET answer 0 site)
  list(GET answer 1 said)
  if(said MATCHES "^searched$")
    set(searched TRUE)
  endif()
endif()
file(GLOB package_files "${VANTREL_PYTHON_PACKAGE_DIR}/*.py" "${VANTREL_PYTHON_PACKAGE_DIR}/py.typed")
# file(INSTALL) puts DESTDIR (a package being made) in front by itself.
file(INSTALL ${package_files} ${module} DESTINATION "${site}/vantrel")
if(searched)
  set(VANTREL_INSTALL_PYTHON_NOTE
      "Python package vantrel: installed in ${site}, where ${VANTREL_PYTHON_EXECUTABLE} finds it")
else()
  set(VANTREL_INSTALL_PYTHON_NOTE
      "Python package vantrel: installed in ${site}; ${VANTREL_PYTHON_EXECUTABLE} does not search there, so set PYTHONPATH=${site}")
endif()
