# pirokko --export-web: the game, checked by the content checker, written
# with the web edition's engine into a folder of static files. Desktop only:
# it carries the checker, which plays the game's window offscreen.
#
# The engine is installed under share/ (install.cmake), found from the
# program's own folder as the program finds its game.
set(PIROKKO_WEB_ENGINE_DIR share/pirokko/web)
file(RELATIVE_PATH PIROKKO_PROGRAM_TO_WEB_ENGINE /p/lib/pirokko /p/${PIROKKO_WEB_ENGINE_DIR})

add_library(pirokko_webexport STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ExportCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Export.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Marker.cpp)
target_link_libraries(pirokko_webexport PUBLIC pirokko_check)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/ExportCommand.cpp PROPERTIES
  COMPILE_DEFINITIONS PIROKKO_PROGRAM_TO_WEB_ENGINE="${PIROKKO_PROGRAM_TO_WEB_ENGINE}")

# The web edition's site, built by the web preset (build-web/site). A
# build's program exports with it through a link beside it; the install and
# the package take its files and refuse to go on without them.
set(PIROKKO_WEB_SITE ${CMAKE_SOURCE_DIR}/build-web/site
    CACHE PATH "The web edition's engine (the web preset's build-web/site) that the package carries")
file(CREATE_LINK ${PIROKKO_WEB_SITE} ${CMAKE_BINARY_DIR}/web-engine SYMBOLIC)
