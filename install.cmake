# Installing: `cmake --install <build> --prefix P` lays out
#   P/lib/pirokko/         the program with txt/, img/ and bgm.wav beside it
#                          (the game reads everything from its own folder)
#   P/bin/pirokko          a launcher that finds that folder from its own place
#   P/share/applications/  the desktop entry
#   P/share/icons/hicolor/32x32/apps/  the window icon as PNG
#   P/share/metainfo/      the AppStream metadata
# Nothing in it names P, so the prefix may be moved after installing.

set(PIROKKO_APP_ID org.pirokko.pirokko)
set(PIROKKO_APP_DIR lib/pirokko)
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

install(TARGETS pirokko RUNTIME DESTINATION ${PIROKKO_APP_DIR})
install(DIRECTORY ${CMAKE_CURRENT_LIST_DIR}/game/txt ${CMAKE_CURRENT_LIST_DIR}/game/img
        DESTINATION ${PIROKKO_APP_DIR})
install(FILES ${CMAKE_BINARY_DIR}/bgm.wav DESTINATION ${PIROKKO_APP_DIR})
install(PROGRAMS ${PIROKKO_PACKAGING}/pirokko DESTINATION bin)
install(FILES ${PIROKKO_PACKAGING}/${PIROKKO_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${PIROKKO_ICON_PNG} DESTINATION share/icons/hicolor/32x32/apps)
install(FILES ${PIROKKO_PACKAGING}/${PIROKKO_APP_ID}.metainfo.xml DESTINATION share/metainfo)
