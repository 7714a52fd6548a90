target_sources(pirokko_core PRIVATE
  app/CommandLine.cpp
  app/Fom.cpp
  app/Game.cpp
  app/GameFolder.cpp
  app/Preview.cpp
  app/Version.cpp)
set_source_files_properties(app/Version.cpp PROPERTIES
  COMPILE_DEFINITIONS PIROKKO_VERSION="${PROJECT_VERSION}")
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/app/icon.gif)
  qt_add_resources(pirokko_core pirokko_icon
    PREFIX /pirokko
    BASE app
    FILES app/icon.gif)
endif()
