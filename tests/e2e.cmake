# End-to-end tests: the built program copied into a folder of its own, run on a
# private X server (wayland_test: a private Wayland compositor), driven with
# real pointer and keyboard input and read back through the accessibility bus.
# The system interpreter is needed because it is the one with pyatspi; a test
# without its tools reports itself skipped.
set(PIROKKO_E2E_PYTHON /usr/bin/python3)
if(NOT EXISTS ${PIROKKO_E2E_PYTHON})
  message(STATUS "End-to-end tests left out: ${PIROKKO_E2E_PYTHON} not found")
  return()
endif()

# The messages they look for are the English ones.
set(PIROKKO_E2E_ENV "LANGUAGE=;LC_ALL=;LC_MESSAGES=;LANG=C.UTF-8")
if(PIROKKO_SANITIZE)
  list(APPEND PIROKKO_E2E_ENV
       "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp:print_suppressions=0")
endif()

foreach(name window playthrough keyboard wayland folder preview)
  add_test(NAME e2e.${name}
           COMMAND ${PIROKKO_E2E_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/e2e/${name}_test.py
                   $<TARGET_FILE:pirokko>)
  set_tests_properties(e2e.${name} PROPERTIES
    LABELS e2e
    TIMEOUT 90
    SKIP_RETURN_CODE 77
    ENVIRONMENT "${PIROKKO_E2E_ENV}")
endforeach()
# The installed launcher, from a prefix of the test's own.
set_property(TEST e2e.folder APPEND PROPERTY ENVIRONMENT "PIROKKO_E2E_BUILD_DIR=${CMAKE_BINARY_DIR}")
# A whole game of the shipped content: nine scenes clicked through page by page.
set_tests_properties(e2e.playthrough PROPERTIES TIMEOUT 180)
# The same game with key presses alone.
set_tests_properties(e2e.keyboard PROPERTIES TIMEOUT 180)
if(PIROKKO_SANITIZE)
  # The Wayland run's driver leaks are recognised only through a full unwind;
  # slower, so only here.
  set_tests_properties(e2e.wayland PROPERTIES ENVIRONMENT
    "LANGUAGE=;LC_ALL=;LC_MESSAGES=;LANG=C.UTF-8;LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp:print_suppressions=0:fast_unwind_on_malloc=0")
endif()
