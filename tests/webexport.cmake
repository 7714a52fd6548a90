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

# The server scripts/web plays the game from: byte ranges, as the music
# streams, and nothing served from outside what it was given. Needs only
# Node.js.
find_program(PIROKKO_NODE node)
if(PIROKKO_NODE)
  add_test(NAME webexport.server COMMAND ${PIROKKO_NODE} --test ${CMAKE_SOURCE_DIR}/web/test/serve.test.mjs)
  set_tests_properties(webexport.server PROPERTIES TIMEOUT 60)
endif()

# The export of the shipped game with the web build's engine, in Debian's
# headless Chromium: where the web tests run (tests/web.cmake), and only
# then.
set(PIROKKO_CHROMIUM /usr/bin/chromium CACHE FILEPATH "The browser the web tests drive")
if(PIROKKO_NODE AND EXISTS ${PIROKKO_CHROMIUM}
   AND EXISTS ${CMAKE_SOURCE_DIR}/web/node_modules/puppeteer-core/package.json
   AND NOT PIROKKO_SANITIZE)
  add_test(NAME webexport.in_browser
           COMMAND ${PIROKKO_NODE} --test ${CMAKE_SOURCE_DIR}/web/test/export.test.mjs)
  set_tests_properties(webexport.in_browser PROPERTIES LABELS web TIMEOUT 120 ENVIRONMENT
    "PIROKKO_PROGRAM=$<TARGET_FILE:pirokko>;PIROKKO_CHROMIUM=${PIROKKO_CHROMIUM};LANG=C.UTF-8")
endif()
