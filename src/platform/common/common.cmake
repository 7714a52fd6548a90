# What every backend shares, written once: the dispatch point, run-time
# errors, random numbers, the timer core, the scale of containers, control
# arrays, text, script files and the media command parser. Toolkit-free; each
# backend's library takes these objects in, so the backend may define what the
# shared code asks of it (the words of a message, a control's placement).
add_library(pirokko_platform OBJECT
  ${CMAKE_CURRENT_LIST_DIR}/CheckBoxValue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandButtonCopy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Container.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControlArray.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControlGeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dispatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Errors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileSystem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FillIn.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormLifeCycle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InvalidProperty.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ManualTimerHost.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MciCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PictureBoxPainting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramName.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Random.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegularFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Timer.cpp)
target_link_libraries(pirokko_platform PUBLIC pirokko_platform_interface)
