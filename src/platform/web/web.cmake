# The web backend: the platform's interface over the page (its elements, its
# timers, Web Audio), with giflib built for the browser from Debian's source
# package (tools/web/build-decoders.sh). Holds the shared platform objects
# too, so that the web program links the game and this library alone.
set(PIROKKO_WEB_THIRD_PARTY "$ENV{HOME}/.cache/pirokko/web-third-party"
    CACHE PATH "Where the decoders built for the browser are kept")
include(${CMAKE_CURRENT_LIST_DIR}/../decoders/decoders.cmake)
add_library(pirokko_web STATIC $<TARGET_OBJECTS:pirokko_platform>
  ${PIROKKO_DECODER_SOURCES}
  ${CMAKE_CURRENT_LIST_DIR}/form/CheckBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/CommandButton.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/Control.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/Events.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/Fonts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/Form.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/Label.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/LabelLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/PictureBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/media/WebMedia.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system/Cp932Decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system/FileWatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system/Language.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system/Program.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system/SiteFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system/WebTimerHost.cpp
  ${CMAKE_CURRENT_BINARY_DIR}/web/Messages.cpp)
target_link_libraries(pirokko_web PUBLIC pirokko_platform_interface)
target_include_directories(pirokko_web PRIVATE ${PIROKKO_WEB_THIRD_PARTY}/include)

# The Japanese messages, from the same .ts file the desktop compiles.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/web/Messages.cpp
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/web/ts_to_cpp.py
          ${CMAKE_SOURCE_DIR}/translations/pirokko_ja.ts ${CMAKE_CURRENT_BINARY_DIR}/web/Messages.cpp
          Check CommandLine
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/web/ts_to_cpp.py ${CMAKE_SOURCE_DIR}/translations/pirokko_ja.ts
  COMMENT "Writing the Japanese messages for the page")

# The page's decoder of code page 932, as a script ahead of the engine's.
set(PIROKKO_CP932_JS ${CMAKE_CURRENT_BINARY_DIR}/web/cp932.js)
add_custom_command(
  OUTPUT ${PIROKKO_CP932_JS}
  COMMAND sed "s/^export //" ${CMAKE_SOURCE_DIR}/web/cp932.mjs > ${PIROKKO_CP932_JS}
  DEPENDS ${CMAKE_SOURCE_DIR}/web/cp932.mjs
  COMMENT "Taking the page's code page 932 decoder into the engine")

set(PIROKKO_WEB_PAGE ${CMAKE_CURRENT_LIST_DIR}/page)
add_executable(pirokko_engine ${CMAKE_CURRENT_LIST_DIR}/main.cpp ${PIROKKO_CP932_JS})
target_link_libraries(pirokko_engine PRIVATE pirokko_game pirokko_web
  ${PIROKKO_WEB_THIRD_PARTY}/lib/libgif.a)
set_target_properties(pirokko_engine PROPERTIES OUTPUT_NAME pirokko SUFFIX .js
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/site
  LINK_DEPENDS "${PIROKKO_WEB_PAGE}/library.js;${PIROKKO_WEB_PAGE}/eager.js;${PIROKKO_CP932_JS}")
target_link_options(pirokko_engine PRIVATE
  -Wl,--wrap=psf_log_printf
  --js-library ${PIROKKO_WEB_PAGE}/library.js
  --extern-pre-js ${PIROKKO_WEB_PAGE}/eager.js
  --pre-js ${PIROKKO_CP932_JS}
  -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=0
  -sEXPORTED_FUNCTIONS=_main,_malloc,_free
  -sMALLOC=emmalloc -sFILESYSTEM=0)
# A constant the game's own header defines, for the page: `after` is what
# follows the name, its first group the value.
function(pirokko_game_constant out header name after)
  set(path ${CMAKE_SOURCE_DIR}/src/app/${header})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
  file(READ ${path} text)
  if(NOT text MATCHES "${name}${after}")
    message(FATAL_ERROR "app/${header} no longer defines ${name} as the page expects")
  endif()
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()
# The page around the engine, beside it. The page names the opening's files
# to fetch early; they are read from the game folder's one list of names.
foreach(part kOpening kScriptFolder kPictureFolder kScriptSuffix kPictureSuffix kMusicFile)
  pirokko_game_constant(${part} GameFolder.h ${part} " = u\"([^\"]*)\"")
endforeach()
set(PIROKKO_OPENING_SCRIPT ${kScriptFolder}${kOpening}${kScriptSuffix})
set(PIROKKO_OPENING_PICTURE ${kPictureFolder}${kOpening}${kPictureSuffix})
set(PIROKKO_MUSIC ${kMusicFile})
# The text's faces, as the engine names them to the page (form/Fonts.cpp):
# the page has the browser look them up while the engine is on its way.
pirokko_game_constant(face LabelDesign.h kLabelFace "\\[\\] = u\"([^\"]*)\"")
pirokko_game_constant(standIns LabelDesign.h kLabelFaceStandIns "{([^}]*)}")
pirokko_game_constant(PIROKKO_TEXT_POINTS LabelDesign.h kLabelPoints " = ([0-9.]+);")
string(REGEX MATCHALL "u\"[^\"]*\"" standIns "${standIns}")
set(PIROKKO_TEXT_FACES "'${face}'")
foreach(face ${standIns})
  string(REGEX REPLACE "^u\"(.*)\"$" "'\\1'" face "${face}")
  string(APPEND PIROKKO_TEXT_FACES ", ${face}")
endforeach()
string(APPEND PIROKKO_TEXT_FACES ", sans-serif")
# How much of the music is fetched before the game starts, so that its open
# can check the file at once (media/StreamedFiles.cpp); the page asks for it
# while the engine loads.
set(PIROKKO_MUSIC_HEAD_BYTES 65536)
math(EXPR PIROKKO_MUSIC_HEAD_LAST "${PIROKKO_MUSIC_HEAD_BYTES} - 1")
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/media/StreamedFiles.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS PIROKKO_MUSIC_HEAD_BYTES=${PIROKKO_MUSIC_HEAD_BYTES})
# The page's style goes into the page: a style sheet of its own would be one
# more request before the first line, and one the engine's script waits for.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PIROKKO_WEB_PAGE}/pirokko.css)
file(READ ${PIROKKO_WEB_PAGE}/pirokko.css PIROKKO_PAGE_STYLE)
configure_file(${PIROKKO_WEB_PAGE}/index.html.in ${CMAKE_BINARY_DIR}/site/index.html @ONLY)
# emcc needs Debian's acorn, which a Node.js other than Debian's does not find.
set_property(TARGET pirokko_engine PROPERTY RULE_LAUNCH_LINK
  "${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs")

# The music: wave files streamed from the site and decoded by libsndfile
# built for the browser, the stub object ahead of the library so that only
# the wave containers are linked in.
target_sources(pirokko_web PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/media/ByteWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/media/StreamedFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/media/StreamedWave.cpp
  ${CMAKE_CURRENT_LIST_DIR}/media/WebSound.cpp)
target_link_libraries(pirokko_engine PRIVATE
  ${PIROKKO_WEB_THIRD_PARTY}/lib/sndfile-wave-only.o ${PIROKKO_WEB_THIRD_PARTY}/lib/libsndfile.a)
