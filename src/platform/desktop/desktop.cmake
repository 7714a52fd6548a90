# The desktop backend: the platform's interface over Qt Widgets (the window,
# its controls, pictures through giflib, the program's services) and SDL2
# audio with libsndfile (the media layer). Holds the shared platform objects
# too, so that a program links the game and this library alone.
add_library(pirokko_desktop STATIC $<TARGET_OBJECTS:pirokko_platform>)
target_link_libraries(pirokko_desktop
  PUBLIC pirokko_platform_interface Qt6::Widgets
  PRIVATE GIF::GIF ${CMAKE_DL_LIBS})
# SDL is loaded at run time (see desktop/media/SdlLoader.h): its headers only.
target_include_directories(pirokko_desktop PRIVATE
  $<TARGET_PROPERTY:SDL2::SDL2,INTERFACE_INCLUDE_DIRECTORIES>)
include(${CMAKE_CURRENT_LIST_DIR}/../decoders/decoders.cmake)
target_sources(pirokko_desktop PRIVATE
  ${PIROKKO_DECODER_SOURCES}
  ${CMAKE_CURRENT_LIST_DIR}/form/Accessibility.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/CheckBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/CommandButton.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/Control.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/ControlSupport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/Fonts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/Form.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/KeyboardAndWheel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/Label.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/LabelLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/PictureImage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form/PictureBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system/CloseOnSignal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system/Cp932Decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system/FaultBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system/FileWatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system/Language.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system/Program.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system/QtTimerHost.cpp)
include(${CMAKE_CURRENT_LIST_DIR}/media/media.cmake)
include(${CMAKE_SOURCE_DIR}/translations/translations.cmake)
