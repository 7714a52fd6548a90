# The platform in three services: the window and its controls (form/), the
# media command-string layer (media/, listed in its own fragment) and the
# program's other services: files and following them, timers, the dispatch
# point, errors, language, signals and the program itself (system/).
target_sources(pirokko_core PRIVATE
  platform/form/Accessibility.cpp
  platform/form/CheckBox.cpp
  platform/form/CommandButton.cpp
  platform/form/Container.cpp
  platform/form/Control.cpp
  platform/form/ControlArray.cpp
  platform/form/ControlSupport.cpp
  platform/form/Form.cpp
  platform/form/GifDecoder.cpp
  platform/form/KeyboardAndWheel.cpp
  platform/form/Label.cpp
  platform/form/LabelLayout.cpp
  platform/form/Picture.cpp
  platform/form/PictureBox.cpp
  platform/system/CloseOnSignal.cpp
  platform/system/CommandLine.cpp
  platform/system/Dispatch.cpp
  platform/system/Errors.cpp
  platform/system/FaultBox.cpp
  platform/system/FileSystem.cpp
  platform/system/FileWatch.cpp
  platform/system/Files.cpp
  platform/system/Language.cpp
  platform/system/Program.cpp
  platform/system/Random.cpp
  platform/system/Text.cpp
  platform/system/Timer.cpp)
# Pictures are decoded by giflib (platform/form/GifDecoder.cpp).
target_link_libraries(pirokko_core PRIVATE GIF::GIF)
