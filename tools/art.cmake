# The picture generator: `cmake --build <dir> --target art` redraws the
# game's pictures and the window icon into the source tree. The outputs are
# committed, so a normal build never needs to run it.

set(PIROKKO_ART_DIR ${CMAKE_CURRENT_LIST_DIR}/makeart)

add_library(pirokko_art STATIC ${PIROKKO_ART_DIR}/gif.cpp ${PIROKKO_ART_DIR}/quantize.cpp
                               ${PIROKKO_ART_DIR}/scenes.cpp)
target_include_directories(pirokko_art PUBLIC ${PIROKKO_ART_DIR})
target_link_libraries(pirokko_art PUBLIC Qt6::Gui PRIVATE GIF::GIF)

add_executable(makeart ${PIROKKO_ART_DIR}/main.cpp)
target_link_libraries(makeart PRIVATE pirokko_art)

get_filename_component(PIROKKO_ART_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
add_custom_target(art
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:makeart> ${PIROKKO_ART_ROOT}
  DEPENDS makeart
  COMMENT "Drawing the game's pictures into ${PIROKKO_ART_ROOT}"
  VERBATIM)
