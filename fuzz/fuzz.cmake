# libFuzzer targets (clang only): the line reader and decoder, the scene
# player, the media command-string parser, the picture decoder and the wave
# file reader. See fuzz/README.md.
#
# With PIROKKO_FUZZ every target of the tree, the game and the desktop backend included, is built
# with coverage for the fuzzer, AddressSanitizer and UBSan; only the fuzz
# targets link libFuzzer itself. Included from the root CMakeLists.txt before
# any target is made, so that the flags reach the whole tree; the targets name
# the game and the desktop backend, which CMake resolves once the tree has been read.

option(PIROKKO_FUZZ "Build the libFuzzer targets (clang only); instruments the whole tree" OFF)

if(PIROKKO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "PIROKKO_FUZZ needs clang (libFuzzer); configure with "
                        "CXX=clang++ or -DCMAKE_CXX_COMPILER=clang++, or use the preset \"fuzz\".")
  endif()

  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)

  set(PIROKKO_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
  foreach(target IN ITEMS fuzz_lines fuzz_player fuzz_mci fuzz_gif fuzz_wave)
    add_executable(${target} ${PIROKKO_FUZZ_DIR}/${target}.cpp)
    target_link_libraries(${target} PRIVATE pirokko_game pirokko_desktop)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  endforeach()
  # The media target starts SDL's audio itself, to keep it across inputs.
  target_link_libraries(fuzz_mci PRIVATE SDL2::SDL2)
endif()
