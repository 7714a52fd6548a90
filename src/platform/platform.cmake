target_sources(pirokko_core PRIVATE
  platform/Accessibility.cpp
  platform/CloseOnSignal.cpp
  platform/Controls.cpp
  platform/Dispatch.cpp
  platform/Errors.cpp
  platform/FaultBox.cpp
  platform/Files.cpp
  platform/GifDecoder.cpp
  platform/KeyboardAndWheel.cpp
  platform/LabelLayout.cpp
  platform/Language.cpp
  platform/Picture.cpp
  platform/Program.cpp
  platform/Random.cpp
  platform/Text.cpp
  platform/Timer.cpp)
# Pictures are decoded by giflib (platform/GifDecoder.cpp).
target_link_libraries(pirokko_core PRIVATE GIF::GIF)
