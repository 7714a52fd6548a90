add_executable(bench_bigscript bigscript.cpp)
target_link_libraries(bench_bigscript PRIVATE pirokko_game pirokko_desktop)
target_compile_definitions(bench_bigscript PRIVATE
  PIROKKO_BENCH_GIF="${CMAKE_SOURCE_DIR}/game/img/opn.gif")
