target_sources(pirokko_core PRIVATE
  app/Fom.cpp
  app/Game.cpp
  app/Preview.cpp)
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/app/icon.gif)
  qt_add_resources(pirokko_core pirokko_icon
    PREFIX /pirokko
    BASE app
    FILES app/icon.gif)
endif()
