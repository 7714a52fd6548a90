# The web edition's tests, run in Debian's headless Chromium and under Node.
# Added only where the web toolchain is installed (scripts/web-common.sh,
# ensure_web_toolchain); elsewhere, and in the sanitizer builds, whose checks
# do not reach the browser, nothing is added.
if(PIROKKO_SANITIZE OR PIROKKO_FUZZ)
  return()
endif()
find_program(PIROKKO_EMCC emcc)
find_program(PIROKKO_NODE node)
set(PIROKKO_CHROMIUM /usr/bin/chromium CACHE FILEPATH "The browser the web tests drive")
set(PIROKKO_WEB_DIR ${CMAKE_SOURCE_DIR}/web)
if(NOT PIROKKO_EMCC OR NOT PIROKKO_NODE OR NOT EXISTS ${PIROKKO_CHROMIUM}
   OR NOT EXISTS ${PIROKKO_WEB_DIR}/node_modules/puppeteer-core/package.json)
  message(STATUS "Web tests left out: emcc, node, ${PIROKKO_CHROMIUM} or web/node_modules is missing")
  return()
endif()
enable_language(C)

# emcc needs Debian's acorn, which this machine's Node does not look for.
set(PIROKKO_WEB_ENV NODE_PATH=/usr/share/nodejs PIROKKO_CHROMIUM=${PIROKKO_CHROMIUM})
# Outside every build folder, so that all builds share one copy.
set(PIROKKO_WEB_THIRD_PARTY ${CMAKE_SOURCE_DIR}/build-web/third_party
    CACHE PATH "Where the decoders built for the browser are kept")

# The desktop's code page 932 decoder, every short input, as JSON.
add_executable(cp932_dump web/Cp932Dump.cpp)
target_link_libraries(cp932_dump PRIVATE pirokko_core)

add_test(NAME web_driver COMMAND ${PIROKKO_NODE} --test ${PIROKKO_WEB_DIR}/test/driver.test.mjs)
add_test(NAME web_cp932 COMMAND ${PIROKKO_NODE} --test ${PIROKKO_WEB_DIR}/test/cp932.test.mjs)
set_tests_properties(web_cp932 PROPERTIES ENVIRONMENT "PIROKKO_CP932_DUMP=$<TARGET_FILE:cp932_dump>")
set_tests_properties(web_driver web_cp932 PROPERTIES LABELS web TIMEOUT 120)
set_property(TEST web_driver web_cp932 APPEND PROPERTY ENVIRONMENT ${PIROKKO_WEB_ENV})
