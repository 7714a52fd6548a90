# The installed program, two ways (see tests/install/):
# - runs_from_anywhere: installed into a fresh prefix, moved elsewhere, and
#   started through a link to its launcher until it has shown its first frame;
# - debian_package: the Debian package built from this build and unpacked into
#   a folder of its own: its fields, contents and metadata, its launcher started.
foreach(test "runs_from_anywhere;check_install" "debian_package;check_package")
  list(GET test 1 script)
  list(GET test 0 test)
  add_test(NAME install.${test}
           COMMAND ${CMAKE_COMMAND}
                   -DBUILD_DIR=${CMAKE_BINARY_DIR}
                   -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/${test}
                   -DAPP_ID=${PIROKKO_APP_ID}
                   -DVERSION=${PROJECT_VERSION}
                   -P ${CMAKE_CURRENT_LIST_DIR}/install/${script}.cmake)
  # The messages they look for are the English ones.
  set_tests_properties(install.${test} PROPERTIES
    LABELS install
    TIMEOUT 180
    SKIP_REGULAR_EXPRESSION "-- skipped: missing "
    ENVIRONMENT "LANGUAGE=;LC_ALL=;LC_MESSAGES=;LANG=C.UTF-8")
endforeach()
