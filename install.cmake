# Installing: `cmake --install <build> --prefix P` lays out
#   P/lib/pirokko/         the program with txt/, img/ and bgm.wav beside it
#                          (the game reads everything from its own folder)
#   P/bin/pirokko          a launcher that finds that folder from its own place
#                          (the Debian package puts it in P/games instead)
#   P/share/applications/  the desktop entry
#   P/share/icons/hicolor/{32x32,128x128,256x256}/apps/  the icon as PNG
#   P/share/metainfo/      the AppStream metadata
#   P/bin/pirokko-check    the authors' checker (P/games in the package too)
#   P/share/man/man6/      the manual pages
#   P/share/doc/pirokko/   copyright and changelog
#   P/share/pirokko/web/   the web edition's engine, for `pirokko --export-web`
#                          (taken from PIROKKO_WEB_SITE, the web build's site)
# Nothing in it names P, so the prefix may be moved after installing.

set(PIROKKO_APP_ID org.pirokko.pirokko)
set(PIROKKO_APP_DIR lib/pirokko)
# The same from bin/ and from games/: both lie one level below the prefix.
set(PIROKKO_LAUNCHER_TO_APP ../${PIROKKO_APP_DIR})
set(PIROKKO_PACKAGING ${CMAKE_BINARY_DIR}/packaging)

configure_file(${CMAKE_CURRENT_LIST_DIR}/packaging/pirokko.sh.in ${PIROKKO_PACKAGING}/pirokko @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/packaging/pirokko.desktop.in
               ${PIROKKO_PACKAGING}/${PIROKKO_APP_ID}.desktop @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/packaging/pirokko.metainfo.xml.in
               ${PIROKKO_PACKAGING}/${PIROKKO_APP_ID}.metainfo.xml @ONLY)

# The window keeps its GIF icon; desktops get the same picture as PNG. The
# converter runs at build time, also in sanitizer builds, whose leak report
# about Qt's plugin loader would fail the build.
add_executable(gif2png ${CMAKE_CURRENT_LIST_DIR}/packaging/gif2png.cpp)
target_link_libraries(gif2png PRIVATE Qt6::Gui)
set(PIROKKO_ICON_PNG ${PIROKKO_PACKAGING}/${PIROKKO_APP_ID}.png)
add_custom_command(
  OUTPUT ${PIROKKO_ICON_PNG}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:gif2png> ${CMAKE_CURRENT_LIST_DIR}/src/app/icon.gif ${PIROKKO_ICON_PNG}
  DEPENDS gif2png ${CMAKE_CURRENT_LIST_DIR}/src/app/icon.gif
  COMMENT "Converting the window icon to PNG for the desktop"
  VERBATIM)
add_custom_target(icon_png ALL DEPENDS ${PIROKKO_ICON_PNG})

# The web engine comes from the web build, which this build cannot make (it
# needs Emscripten): an install or package without it stops here, saying so,
# instead of shipping a program whose --export-web cannot work. It comes
# first, so that nothing is installed before it.
set(PIROKKO_WEB_ENGINE_FILES index.html pirokko.js pirokko.wasm)
install(CODE "
  foreach(f ${PIROKKO_WEB_ENGINE_FILES})
    if(NOT EXISTS \"${PIROKKO_WEB_SITE}/\${f}\")
      message(FATAL_ERROR \"The web engine is missing: there is no ${PIROKKO_WEB_SITE}/\${f}. \"
        \"Build the web edition first (source scripts/web-common.sh; ensure_web_toolchain; \"
        \"tools/web/build-decoders.sh; cmake --preset web && ninja -C build-web), \"
        \"or point PIROKKO_WEB_SITE at its site folder.\")
    endif()
  endforeach()")

install(TARGETS pirokko RUNTIME DESTINATION ${PIROKKO_APP_DIR})
install(DIRECTORY ${CMAKE_CURRENT_LIST_DIR}/game/txt ${CMAKE_CURRENT_LIST_DIR}/game/img
        DESTINATION ${PIROKKO_APP_DIR})
install(FILES ${CMAKE_BINARY_DIR}/bgm.wav DESTINATION ${PIROKKO_APP_DIR})
# Debian keeps games' commands in games/; a plain install keeps them in bin/,
# which is on every PATH. The package takes the second launcher instead of the
# first (package.cmake).
install(PROGRAMS ${PIROKKO_PACKAGING}/pirokko DESTINATION bin COMPONENT launcher_bin)
install(PROGRAMS ${PIROKKO_PACKAGING}/pirokko DESTINATION games COMPONENT launcher_games
        EXCLUDE_FROM_ALL)
# The checker reads whatever folder it is given, so it needs no launcher: it
# lies beside the game's own.
install(TARGETS pirokko-check RUNTIME DESTINATION bin COMPONENT launcher_bin)
install(TARGETS pirokko-check RUNTIME DESTINATION games COMPONENT launcher_games EXCLUDE_FROM_ALL)
install(FILES ${PIROKKO_PACKAGING}/${PIROKKO_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${PIROKKO_ICON_PNG} DESTINATION share/icons/hicolor/32x32/apps)
# Software centres and desktops want larger sizes of the same design.
foreach(size 128 256)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/packaging/icons/${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${PIROKKO_APP_ID}.png)
endforeach()
install(FILES ${PIROKKO_PACKAGING}/${PIROKKO_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# Debian wants its manual pages and changelogs compressed at the highest level
# and without a time stamp, so that the same sources give the same package.
find_program(PIROKKO_GZIP gzip REQUIRED)
foreach(pair "pirokko.6;man6/pirokko.6.gz" "pirokko-check.6;man6/pirokko-check.6.gz"
             "changelog;changelog.gz")
  list(GET pair 0 source)
  list(GET pair 1 target)
  set(out ${PIROKKO_PACKAGING}/${target})
  get_filename_component(out_dir ${out} DIRECTORY)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    COMMAND ${PIROKKO_GZIP} -9 -n -c ${CMAKE_CURRENT_LIST_DIR}/packaging/${source} > ${out}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/packaging/${source}
    COMMENT "Compressing ${source}")
  list(APPEND PIROKKO_GZIPPED ${out})
endforeach()
add_custom_target(packaging_docs ALL DEPENDS ${PIROKKO_GZIPPED})
install(FILES ${PIROKKO_PACKAGING}/man6/pirokko.6.gz ${PIROKKO_PACKAGING}/man6/pirokko-check.6.gz
        DESTINATION share/man/man6)
list(TRANSFORM PIROKKO_WEB_ENGINE_FILES PREPEND ${PIROKKO_WEB_SITE}/)
install(FILES ${PIROKKO_WEB_ENGINE_FILES} DESTINATION ${PIROKKO_WEB_ENGINE_DIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/packaging/copyright ${PIROKKO_PACKAGING}/changelog.gz
        DESTINATION share/doc/pirokko)
