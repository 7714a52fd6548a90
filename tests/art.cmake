# Tests of the picture generator. The shipped content itself is checked by
# pirokko-check (check.shipped_game).

get_filename_component(PIROKKO_ART_TEST_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
add_executable(art_tests
  ${CMAKE_CURRENT_LIST_DIR}/art/test_main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/art/gif_test.cpp)
target_link_libraries(art_tests PRIVATE pirokko_art pirokko_core GTest::gtest)
target_compile_definitions(art_tests PRIVATE PIROKKO_SOURCE_DIR="${PIROKKO_ART_TEST_ROOT}")
gtest_discover_tests(art_tests PROPERTIES ENVIRONMENT "${PIROKKO_TEST_ENV}")
