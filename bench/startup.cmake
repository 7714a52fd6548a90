# Start-up benchmark: the game's first painted frame and peak memory against
# a bare Qt window, each in fresh processes. Run `bench/bench_startup` in a
# build; it is not a test.
add_executable(bench_startup_bare ${CMAKE_CURRENT_LIST_DIR}/startup.cpp)
target_compile_definitions(bench_startup_bare PRIVATE PIROKKO_BENCH_BARE)
target_link_libraries(bench_startup_bare PRIVATE Qt6::Widgets)

add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/startup.cpp)
target_link_libraries(bench_startup PRIVATE pirokko_game pirokko_desktop)
# The game runs over a copy of the content laid beside the program in this build.
target_compile_definitions(bench_startup PRIVATE PIROKKO_CONTENT_DIR="${CMAKE_BINARY_DIR}")
add_dependencies(bench_startup bench_startup_bare game_content)
