add_library(pirokko_test_support STATIC
  support/TestMain.cpp
  support/GameFolder.cpp)
target_include_directories(pirokko_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(pirokko_test_support PUBLIC pirokko_game pirokko_desktop GTest::gtest)
target_compile_definitions(pirokko_test_support PUBLIC
  PIROKKO_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")

add_executable(core_tests
  core/AccessibilityTest.cpp
  core/ChooserTest.cpp
  core/CommandLineTest.cpp
  core/FilesTest.cpp
  core/FileWatchTest.cpp
  core/GifDecoderTest.cpp
  core/HostileContentTest.cpp
  core/KeyboardTest.cpp
  core/PreviewTest.cpp
  core/ScenePictureTest.cpp
  core/ScenePlayerTest.cpp
  core/ScriptLineTest.cpp
  core/TextTest.cpp
  core/WindowTest.cpp)
target_link_libraries(core_tests PRIVATE pirokko_test_support GIF::GIF)
# The command line is also tried on the real program.
target_compile_definitions(core_tests PRIVATE PIROKKO_PROGRAM="$<TARGET_FILE:pirokko>")
add_dependencies(core_tests pirokko)
set_property(SOURCE core/HostileContentTest.cpp APPEND PROPERTY COMPILE_DEFINITIONS
  PIROKKO_GIF_SUITE="${CMAKE_SOURCE_DIR}/../shared/gif-test-suite")
gtest_discover_tests(core_tests
  PROPERTIES ENVIRONMENT "${PIROKKO_TEST_ENV}"
  DISCOVERY_TIMEOUT 60)
