# The background music: the media command-string layer, the music procedures
# and PollBgm, and the generated bgm.wav. See tests/media/.
add_executable(pirokko_media_tests
  media/MediaTestMain.cpp
  media/MciCommandTest.cpp
  media/SoundStreamTest.cpp
  media/SdlMediaTest.cpp
  media/BadWaveTest.cpp
  media/MusicTest.cpp
  media/DiskSeamTest.cpp
  media/BgmWavTest.cpp
  media/EncodingsTest.cpp
  media/DecodedFramesTest.cpp
  media/ByteWindowTest.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/web/media/ByteWindow.cpp)
target_include_directories(pirokko_media_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/media)
target_link_libraries(pirokko_media_tests PRIVATE pirokko_game pirokko_desktop SDL2::SDL2 GTest::gtest)
target_compile_definitions(pirokko_media_tests PRIVATE
  PIROKKO_BGM_WAV="${CMAKE_BINARY_DIR}/bgm.wav"
  PIROKKO_ENCODINGS_DIR="${CMAKE_CURRENT_BINARY_DIR}/encodings")
add_dependencies(pirokko_media_tests bgm_wav media_encodings)

# One wave file per encoding, written by a script of its own (no decoder
# shared with the one under test).
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/encodings/pcm-s16-stereo.wav
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/media/make_encodings.py
          ${CMAKE_CURRENT_BINARY_DIR}/encodings
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/media/make_encodings.py
  COMMENT "Writing the wave files of the encodings test")
add_custom_target(media_encodings DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/encodings/pcm-s16-stereo.wav)
gtest_discover_tests(pirokko_media_tests
  TEST_PREFIX "media."
  DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "SDL_AUDIODRIVER=dummy"
             LABELS media)

# ThreadSanitizer: the media layer built on its own from its sources (it uses
# no Qt) with a stress program. Not under PIROKKO_SANITIZE, whose
# AddressSanitizer cannot be combined with ThreadSanitizer.
if(NOT PIROKKO_SANITIZE)
  add_executable(pirokko_media_tsan
    media/TsanStress.cpp
    ${PIROKKO_MEDIA_SOURCES})
  target_include_directories(pirokko_media_tsan PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(pirokko_media_tsan PRIVATE -fsanitize=thread -fno-omit-frame-pointer -g)
  target_link_options(pirokko_media_tsan PRIVATE -fsanitize=thread)
  target_link_libraries(pirokko_media_tsan PRIVATE SDL2::SDL2 SndFile::sndfile ${CMAKE_DL_LIBS})
  add_test(NAME media.tsan_stress COMMAND pirokko_media_tsan)
  set_tests_properties(media.tsan_stress PROPERTIES
    ENVIRONMENT "SDL_AUDIODRIVER=dummy;TSAN_OPTIONS=halt_on_error=1 exitcode=66"
    LABELS media
    TIMEOUT 120)
endif()
