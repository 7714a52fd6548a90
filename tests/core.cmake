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
# A locale whose decimal mark is a comma, for reading numbers under one:
# these machines generate none, so one is compiled into the build tree from
# the C library's own sources (Debian package locales) and found through
# LOCPATH.
find_program(PIROKKO_LOCALEDEF localedef)
if(PIROKKO_LOCALEDEF AND EXISTS /usr/share/i18n/locales/de_DE)
  set(comma_locale ${CMAKE_CURRENT_BINARY_DIR}/locales)
  add_custom_command(OUTPUT ${comma_locale}/de_DE.UTF-8/LC_NUMERIC
    COMMAND ${CMAKE_COMMAND} -E make_directory ${comma_locale}
    COMMAND ${PIROKKO_LOCALEDEF} -i de_DE -f UTF-8 ${comma_locale}/de_DE.UTF-8
    COMMENT "Compiling a comma locale for the tests"
    VERBATIM)
  add_custom_target(comma_locale DEPENDS ${comma_locale}/de_DE.UTF-8/LC_NUMERIC)
  add_dependencies(core_tests comma_locale)
  set_property(SOURCE core/ScriptLineTest.cpp APPEND PROPERTY COMPILE_DEFINITIONS
    PIROKKO_COMMA_LOCALE_DIR="${comma_locale}")
else()
  message(STATUS "No comma locale for the tests: localedef or the locales package is missing")
endif()
gtest_discover_tests(core_tests
  PROPERTIES ENVIRONMENT "${PIROKKO_TEST_ENV}"
  DISCOVERY_TIMEOUT 60)
