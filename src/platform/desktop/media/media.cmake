# The media command-string layer over libsndfile and SDL2 audio. These sources
# use no Qt, so the ThreadSanitizer test (tests/media.cmake) builds them on
# their own; PIROKKO_MEDIA_SOURCES lists them for it, with the shared parser
# and file opening they use.
set(PIROKKO_MEDIA_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/../../common/MciCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../../common/RegularFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SdlMedia.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundDevice.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundStream.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DecodedFrames.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WaveReader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SdlLoader.cpp
    CACHE INTERNAL "")
target_sources(pirokko_desktop PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SdlMedia.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundDevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundStream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DecodedFrames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SdlLoader.cpp)
target_link_libraries(pirokko_desktop PRIVATE SndFile::sndfile)
