# The seam benchmark (not a test: it runs in real time, about 7 minutes with
# the whole bgm.wav; `pirokko_bench_seam --seconds 0.5` takes about 25 s).
add_executable(pirokko_bench_seam ${CMAKE_CURRENT_LIST_DIR}/seam.cpp)
target_include_directories(pirokko_bench_seam PRIVATE ${CMAKE_SOURCE_DIR}/tests/media)
target_link_libraries(pirokko_bench_seam PRIVATE pirokko_game pirokko_desktop SDL2::SDL2)
target_compile_definitions(pirokko_bench_seam PRIVATE PIROKKO_BGM_WAV="${CMAKE_BINARY_DIR}/bgm.wav")
add_dependencies(pirokko_bench_seam bgm_wav)
