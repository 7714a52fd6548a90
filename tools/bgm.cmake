# The background music: an original loop written at build time by makebgm,
# laid beside the program as bgm.wav.
add_executable(makebgm ${CMAKE_CURRENT_LIST_DIR}/makebgm.cpp)
target_link_libraries(makebgm PRIVATE SndFile::sndfile)
set(PIROKKO_BGM_WAV ${CMAKE_BINARY_DIR}/bgm.wav)
add_custom_command(
  OUTPUT ${PIROKKO_BGM_WAV}
  COMMAND makebgm ${PIROKKO_BGM_WAV}
  DEPENDS makebgm
  COMMENT "Writing the background music bgm.wav")
add_custom_target(bgm_wav ALL DEPENDS ${PIROKKO_BGM_WAV})
