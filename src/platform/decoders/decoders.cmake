# The libraries every backend decodes content with, so that a picture shows
# the same, or is refused with the same words, on each: giflib for pictures.
# Each backend's library takes these sources in.
set(PIROKKO_DECODER_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/GifDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LoadPicture.cpp)
