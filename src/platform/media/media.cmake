# The media command-string layer over libsndfile and SDL2 audio. These sources
# use no Qt, so the ThreadSanitizer test (tests/media.cmake) builds them on
# their own; PIROKKO_MEDIA_SOURCES lists them for it.
set(PIROKKO_MEDIA_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MciCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SdlMedia.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundDevice.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundStream.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DecodedFrames.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WaveReader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SdlLoader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../system/RegularFile.cpp
    CACHE INTERNAL "")
target_sources(pirokko_core PRIVATE ${PIROKKO_MEDIA_SOURCES})
target_link_libraries(pirokko_core PRIVATE SndFile::sndfile)
