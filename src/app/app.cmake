target_sources(pirokko_game PRIVATE
  app/CommandLine.cpp
  app/Fom.cpp
  app/Game.cpp
  app/GameFolder.cpp
  app/ShowGame.cpp
  app/Identity.cpp
  app/Preview.cpp
  app/Version.cpp
  ${CMAKE_CURRENT_BINARY_DIR}/app/IconGif.cpp)
set_source_files_properties(app/Version.cpp PROPERTIES
  COMPILE_DEFINITIONS PIROKKO_VERSION="${PROJECT_VERSION}")
# The window's icon travels inside the program as the bytes of its GIF file,
# so that it needs no file beside the program and no toolkit's resources.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/app/icon.gif)
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/app/icon.gif PIROKKO_ICON_HEX HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," PIROKKO_ICON_BYTES "${PIROKKO_ICON_HEX}")
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/app/IconGif.cpp
     CONTENT "#include \"app/IconGif.h\"\n\nconst std::uint8_t kIconGif[] = {@PIROKKO_ICON_BYTES@};\nconst std::size_t kIconGifSize = sizeof kIconGif;\n"
     @ONLY)
