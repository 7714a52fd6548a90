# How soon the author's preview shows a saved script, for each way of saving,
# against a bare file watcher with the same quiet period. Run
# `bench/bench_preview` in a build; it is not a test.
add_executable(bench_preview ${CMAKE_CURRENT_LIST_DIR}/preview.cpp)
target_link_libraries(bench_preview PRIVATE pirokko_game pirokko_desktop)
target_compile_definitions(bench_preview PRIVATE
  PIROKKO_BENCH_GIF="${CMAKE_SOURCE_DIR}/game/img/opn.gif")
