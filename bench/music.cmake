# Memory and first sound of the music as it grows longer. Run
# `bench/bench_music` in a build; it is not a test.
add_executable(bench_music ${CMAKE_CURRENT_LIST_DIR}/music.cpp)
target_link_libraries(bench_music PRIVATE pirokko_game pirokko_desktop)
target_compile_definitions(bench_music PRIVATE PIROKKO_BUILD_DIR="${CMAKE_BINARY_DIR}")
add_dependencies(bench_music pirokko bgm_wav game_content)
