target_sources(pirokko_core PRIVATE
  platform/Accessibility.cpp
  platform/Controls.cpp
  platform/Dispatch.cpp
  platform/Errors.cpp
  platform/FaultBox.cpp
  platform/Files.cpp
  platform/GifCheck.cpp
  platform/KeyboardAndWheel.cpp
  platform/LabelLayout.cpp
  platform/Language.cpp
  platform/Picture.cpp
  platform/Program.cpp
  platform/Random.cpp
  platform/Text.cpp
  platform/Timer.cpp)
