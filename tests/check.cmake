# The content checker: its findings on small broken game folders, the
# program's output and exit codes, and a run over the shipped game.
add_executable(check_tests
  check/CheckTest.cpp
  check/FixTest.cpp
  check/ProgramTest.cpp
  check/Games.cpp)
target_link_libraries(check_tests PRIVATE pirokko_check pirokko_test_support)
target_compile_definitions(check_tests PRIVATE
  PIROKKO_CHECK_PROGRAM="$<TARGET_FILE:pirokko-check>")
add_dependencies(check_tests pirokko-check)
gtest_discover_tests(check_tests
  TEST_PREFIX "check."
  PROPERTIES ENVIRONMENT "${PIROKKO_TEST_ENV}"
  DISCOVERY_TIMEOUT 60)

# The game as built lies in the build folder: the scripts and pictures
# copied from game/ and the generated bgm.wav. It must check clean, warnings
# included (they alone leave the exit code 0).
add_test(NAME check.shipped_game COMMAND pirokko-check ${CMAKE_BINARY_DIR})
set_tests_properties(check.shipped_game PROPERTIES
  FAIL_REGULAR_EXPRESSION ": (error|warning): ")
