# Tests of the picture generator. The shipped content itself is checked by
# pirokko-check (check.shipped_game).

add_executable(art_tests ${CMAKE_CURRENT_LIST_DIR}/art/gif_test.cpp)
target_link_libraries(art_tests PRIVATE pirokko_art pirokko_test_support)
gtest_discover_tests(art_tests PROPERTIES ENVIRONMENT "${PIROKKO_TEST_ENV}")
