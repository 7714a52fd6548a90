# Idle CPU of the game against a bare Qt program with the same 1 ms timer.
# Run `bench/bench_idle` in a build; it is not a test.
add_executable(bench_idle ${CMAKE_CURRENT_LIST_DIR}/idle.cpp)
target_link_libraries(bench_idle PRIVATE Qt6::Widgets)
target_compile_definitions(bench_idle PRIVATE PIROKKO_BUILD_DIR="${CMAKE_BINARY_DIR}")
add_dependencies(bench_idle pirokko bgm_wav game_content)
