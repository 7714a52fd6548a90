# pirokko --export-web, run as an author runs it, over small game folders and
# a stand-in engine (the packaged engine is tried by install.debian_package).
add_executable(webexport_tests webexport/ExportTest.cpp check/Games.cpp)
target_link_libraries(webexport_tests PRIVATE pirokko_check pirokko_test_support)
target_compile_definitions(webexport_tests PRIVATE PIROKKO_PROGRAM="$<TARGET_FILE:pirokko>")
add_dependencies(webexport_tests pirokko)
gtest_discover_tests(webexport_tests
  TEST_PREFIX "webexport."
  PROPERTIES ENVIRONMENT "${PIROKKO_TEST_ENV}"
  DISCOVERY_TIMEOUT 60)
