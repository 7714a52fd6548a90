# pirokko-check: the content checker for the people who write the game's
# scenes. The library part is what the tests call; the program sits beside
# pirokko in the build folder.
add_library(pirokko_check STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Fix.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Script.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Stage.cpp)
target_include_directories(pirokko_check PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(pirokko_check PUBLIC pirokko_game pirokko_desktop)

add_executable(pirokko-check ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(pirokko-check PRIVATE pirokko_check Qt6::Widgets)
set_target_properties(pirokko-check PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
