# The media command-string layer over SDL2 audio. These sources use no Qt, so
# the ThreadSanitizer test (tests/media.cmake) builds them on their own.
target_sources(pirokko_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/MciCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SdlMedia.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegularFile.cpp)
