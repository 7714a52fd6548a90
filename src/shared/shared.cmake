# The shared module 共用関数: the music procedures and PollBgm.
target_sources(pirokko_game PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Music.cpp)
