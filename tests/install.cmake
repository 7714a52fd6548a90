# The installed program: installed into a fresh prefix, moved elsewhere, and
# started through a link to its launcher until it has shown its first frame.
# See tests/install/.
add_test(NAME install.runs_from_anywhere
         COMMAND ${CMAKE_COMMAND}
                 -DBUILD_DIR=${CMAKE_BINARY_DIR}
                 -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/install-test
                 -DAPP_ID=${PIROKKO_APP_ID}
                 -DVERSION=${PROJECT_VERSION}
                 -P ${CMAKE_CURRENT_LIST_DIR}/install/check_install.cmake)
set_tests_properties(install.runs_from_anywhere PROPERTIES LABELS install TIMEOUT 120)

# The Debian package, built from this build and unpacked into a folder of its
# own: its fields, its contents, its metadata, and its launcher started.
add_test(NAME install.debian_package
         COMMAND ${CMAKE_COMMAND}
                 -DBUILD_DIR=${CMAKE_BINARY_DIR}
                 -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/package-test
                 -DAPP_ID=${PIROKKO_APP_ID}
                 -DVERSION=${PROJECT_VERSION}
                 -P ${CMAKE_CURRENT_LIST_DIR}/install/check_package.cmake)
set_tests_properties(install.debian_package PROPERTIES
  LABELS install
  TIMEOUT 180
  SKIP_REGULAR_EXPRESSION "-- skipped: missing ")
