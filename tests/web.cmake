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
# Outside every build folder and clone, so that all share one copy.
if(DEFINED ENV{PIROKKO_WEB_THIRD_PARTY})
  set(PIROKKO_WEB_THIRD_PARTY_DEFAULT $ENV{PIROKKO_WEB_THIRD_PARTY})
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(PIROKKO_WEB_THIRD_PARTY_DEFAULT $ENV{XDG_CACHE_HOME}/pirokko/web-third-party)
else()
  set(PIROKKO_WEB_THIRD_PARTY_DEFAULT $ENV{HOME}/.cache/pirokko/web-third-party)
endif()
set(PIROKKO_WEB_THIRD_PARTY ${PIROKKO_WEB_THIRD_PARTY_DEFAULT}
    CACHE PATH "Where the decoders built for the browser are kept")
set(tp ${PIROKKO_WEB_THIRD_PARTY})

# The desktop's code page 932 decoder, every short input, as JSON.
add_executable(cp932_dump web/Cp932Dump.cpp)
target_link_libraries(cp932_dump PRIVATE pirokko_game pirokko_desktop)

add_test(NAME web_driver COMMAND ${PIROKKO_NODE} --test ${PIROKKO_WEB_DIR}/test/driver.test.mjs)
add_test(NAME web_wasm_functions COMMAND ${PIROKKO_NODE} --test ${PIROKKO_WEB_DIR}/test/wasm-functions.test.mjs)
add_test(NAME web_cp932 COMMAND ${PIROKKO_NODE} --test ${PIROKKO_WEB_DIR}/test/cp932.test.mjs)
add_test(NAME web_bench_usage COMMAND ${PIROKKO_NODE} --test ${PIROKKO_WEB_DIR}/test/bench-usage.test.mjs)
add_test(NAME web_bench_loads COMMAND ${PIROKKO_NODE} --test ${PIROKKO_WEB_DIR}/test/bench-loads.test.mjs)
set_tests_properties(web_cp932 PROPERTIES ENVIRONMENT "PIROKKO_CP932_DUMP=$<TARGET_FILE:cp932_dump>")
set_tests_properties(web_driver web_wasm_functions web_cp932 web_bench_usage web_bench_loads PROPERTIES LABELS web TIMEOUT 120)
set_property(TEST web_driver web_cp932 web_bench_loads APPEND PROPERTY ENVIRONMENT ${PIROKKO_WEB_ENV})

# giflib and libsndfile built for the browser from Debian's source packages;
# quick when they are built already.
add_custom_target(web_decoders ALL
  COMMAND ${CMAKE_COMMAND} -E env ${PIROKKO_WEB_ENV}
          ${CMAKE_SOURCE_DIR}/tools/web/build-decoders.sh ${tp}
  BYPRODUCTS ${tp}/lib/libgif.a ${tp}/lib/libsndfile.a ${tp}/lib/sndfile-wave-only.o
  COMMENT "Building giflib and libsndfile for the browser (once)"
  USES_TERMINAL)

# One probe of what the libraries make of a file, built for the desktop
# against Debian's libraries and for the browser against the ones above.
set(probe_source ${CMAKE_SOURCE_DIR}/tools/web/decoders/probe.c)
add_executable(web_probe_native ${probe_source})
target_compile_definitions(web_probe_native PRIVATE PROBE_GIF PROBE_WAV)
target_link_libraries(web_probe_native PRIVATE GIF::GIF SndFile::sndfile)
add_executable(web_make_waves ${CMAKE_SOURCE_DIR}/tools/web/decoders/make_waves.c)
target_link_libraries(web_make_waves PRIVATE SndFile::sndfile m)
set(probe_js ${CMAKE_CURRENT_BINARY_DIR}/web/probe.js)
add_custom_command(
  OUTPUT ${probe_js} ${CMAKE_CURRENT_BINARY_DIR}/web/probe.wasm
  COMMAND ${CMAKE_COMMAND} -E env ${PIROKKO_WEB_ENV}
          ${PIROKKO_EMCC} -Oz -flto -Wall -Wextra -DPROBE_GIF -DPROBE_WAV -I${tp}/include ${probe_source}
          ${tp}/lib/libgif.a ${tp}/lib/sndfile-wave-only.o ${tp}/lib/libsndfile.a -Wl,--wrap=psf_log_printf
          -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -o ${probe_js}
  DEPENDS ${probe_source} web_decoders ${tp}/lib/libgif.a ${tp}/lib/libsndfile.a ${tp}/lib/sndfile-wave-only.o
  COMMENT "Building the decoder probe for the browser")
add_custom_target(web_probe ALL DEPENDS ${probe_js})

add_test(NAME web_decoders COMMAND ${PIROKKO_NODE} --test ${PIROKKO_WEB_DIR}/test/decoders.test.mjs)
set_tests_properties(web_decoders PROPERTIES LABELS web TIMEOUT 300 ENVIRONMENT
  "PIROKKO_PROBE_NATIVE=$<TARGET_FILE:web_probe_native>;PIROKKO_PROBE_WASM=${probe_js};PIROKKO_MAKE_WAVES=$<TARGET_FILE:web_make_waves>;PIROKKO_GIF_FOLDERS=${CMAKE_SOURCE_DIR}/game/img:${CMAKE_CURRENT_SOURCE_DIR}/data:${CMAKE_SOURCE_DIR}/../shared/gif-test-suite")

# The web program's own store of the site's files, read through the C library
# as the shared code reads a file, with no file system of Emscripten's.
set(site_files_js ${CMAKE_CURRENT_BINARY_DIR}/web/site_files_test.js)
set(site_files_sources ${CMAKE_CURRENT_SOURCE_DIR}/web/SiteFilesTest.cpp
    ${CMAKE_SOURCE_DIR}/src/platform/web/system/SiteFiles.cpp
    ${CMAKE_SOURCE_DIR}/src/platform/common/RegularFile.cpp
    ${CMAKE_SOURCE_DIR}/src/platform/common/FileSystem.cpp)
add_custom_command(
  OUTPUT ${site_files_js} ${CMAKE_CURRENT_BINARY_DIR}/web/site_files_test.wasm
  COMMAND ${CMAKE_COMMAND} -E env ${PIROKKO_WEB_ENV}
          ${PIROKKO_EMCC} -std=c++20 -O1 -Wall -Wextra -Werror -I${CMAKE_SOURCE_DIR}/src ${site_files_sources}
          -sFILESYSTEM=0 -sENVIRONMENT=node -sEXIT_RUNTIME=1 -o ${site_files_js}
  DEPENDS ${site_files_sources} ${CMAKE_SOURCE_DIR}/src/platform/web/system/SiteFiles.h
  COMMENT "Building the test of the web program's files")
add_custom_target(web_site_files_test ALL DEPENDS ${site_files_js})
# (The loader would fetch the .wasm by URL under Node 20's fetch.)
add_test(NAME web_site_files COMMAND ${PIROKKO_NODE} --no-experimental-fetch ${site_files_js})
set_tests_properties(web_site_files PROPERTIES LABELS web TIMEOUT 60)

# ---------------------------------------------------------------------------
# The web edition itself, played in the browser: the web build's site,
# brought up to date with this build, so that no test plays an old page.
set(PIROKKO_WEB_BUILD ${CMAKE_SOURCE_DIR}/build-web
    CACHE PATH "The web build (cmake --preset web) whose site/ the browser tests play")
set(PIROKKO_WEB_SITE ${PIROKKO_WEB_BUILD}/site)
add_custom_target(web_site ALL
  COMMAND ${CMAKE_COMMAND} -E env ${PIROKKO_WEB_ENV}
          ${CMAKE_CURRENT_SOURCE_DIR}/web/build-site.sh ${CMAKE_SOURCE_DIR} ${PIROKKO_WEB_BUILD}
  COMMENT "Bringing the web edition in ${PIROKKO_WEB_BUILD} up to date"
  USES_TERMINAL)
find_program(PIROKKO_EMXX em++)

# The desktop playing the same steps as the browser, and the picture loader
# built for both.
add_executable(game_dump web/GameDump.cpp)
target_link_libraries(game_dump PRIVATE pirokko_test_support)
add_executable(picture_dump_native web/PictureDump.cpp)
target_link_libraries(picture_dump_native PRIVATE pirokko_desktop)

set(web_tools ${CMAKE_CURRENT_BINARY_DIR}/web)
set(picture_dump_js ${web_tools}/picture_dump.js)
set(picture_dump_sources
  ${CMAKE_CURRENT_SOURCE_DIR}/web/PictureDump.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/decoders/LoadPicture.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/decoders/GifDecoder.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/common/Picture.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/common/Errors.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/common/FillIn.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/common/RegularFile.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/common/Text.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/web/system/Language.cpp
  ${web_tools}/Messages.cpp)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(
  OUTPUT ${web_tools}/Messages.cpp
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/web/ts_to_cpp.py
          ${CMAKE_SOURCE_DIR}/translations/pirokko_ja.ts ${web_tools}/Messages.cpp
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/web/ts_to_cpp.py ${CMAKE_SOURCE_DIR}/translations/pirokko_ja.ts)
# The web build's own flags, so that the decoder runs as the page's does.
add_custom_command(
  OUTPUT ${picture_dump_js} ${web_tools}/picture_dump.wasm
  COMMAND ${CMAKE_COMMAND} -E env ${PIROKKO_WEB_ENV}
          ${PIROKKO_EMXX} -std=c++20 -Oz -fwasm-exceptions -Wall -Wextra
          -I${CMAKE_SOURCE_DIR}/src -I${tp}/include ${picture_dump_sources} ${tp}/lib/libgif.a
          --js-library ${CMAKE_CURRENT_SOURCE_DIR}/web/language.js
          -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -o ${picture_dump_js}
  DEPENDS ${picture_dump_sources} ${CMAKE_CURRENT_SOURCE_DIR}/web/language.js web_decoders ${tp}/lib/libgif.a
  COMMENT "Building the picture loader for the browser")
add_custom_target(picture_dump_web ALL DEPENDS ${picture_dump_js})

set(web_game_env ${PIROKKO_WEB_ENV} PIROKKO_WEB_SITE=${PIROKKO_WEB_SITE}
    PIROKKO_GAME_DUMP=$<TARGET_FILE:game_dump>)
foreach(name play keys errors same startup)
  add_test(NAME web_game_${name} COMMAND ${PIROKKO_NODE} --test ${PIROKKO_WEB_DIR}/test/game-${name}.test.mjs)
  set_tests_properties(web_game_${name} PROPERTIES LABELS web TIMEOUT 240 ENVIRONMENT "${web_game_env}")
endforeach()
add_test(NAME web_pictures COMMAND ${PIROKKO_NODE} --test ${PIROKKO_WEB_DIR}/test/pictures.test.mjs)
set_tests_properties(web_pictures PROPERTIES LABELS web TIMEOUT 120 ENVIRONMENT
  "PIROKKO_PICTURE_DUMP_NATIVE=$<TARGET_FILE:picture_dump_native>;PIROKKO_PICTURE_DUMP_WASM=${picture_dump_js};PIROKKO_GIF_FOLDERS=${CMAKE_SOURCE_DIR}/game/img:${CMAKE_CURRENT_SOURCE_DIR}/data:${CMAKE_SOURCE_DIR}/../shared/gif-test-suite")

# The music of the web edition, played by the site above; the desktop's
# reader of wave files says what the page must play, and make_waves (above)
# writes the encodings.
add_executable(web_wave_dump web/WaveDump.cpp)
target_link_libraries(web_wave_dump PRIVATE pirokko_desktop)
add_test(NAME web_range COMMAND ${PIROKKO_NODE} --test ${PIROKKO_WEB_DIR}/test/range.test.mjs)
add_test(NAME web_page_script COMMAND ${PIROKKO_NODE} --test ${PIROKKO_WEB_DIR}/test/page-script.test.mjs)
add_test(NAME web_music COMMAND ${PIROKKO_NODE} --test ${PIROKKO_WEB_DIR}/test/music.test.mjs)
set_tests_properties(web_range web_page_script PROPERTIES LABELS web TIMEOUT 60 ENVIRONMENT "${PIROKKO_WEB_ENV}")
set_tests_properties(web_music PROPERTIES LABELS web TIMEOUT 240 ENVIRONMENT
  "${PIROKKO_WEB_ENV};PIROKKO_WEB_SITE=${PIROKKO_WEB_SITE};PIROKKO_WAVE_DUMP=$<TARGET_FILE:web_wave_dump>;PIROKKO_MAKE_WAVES=$<TARGET_FILE:web_make_waves>")
