target_sources(pirokko_game PRIVATE
  scene/ScenePicture.cpp
  scene/ScenePlayer.cpp
  scene/ScriptBytes.cpp
  scene/ScriptLine.cpp
  scene/TextNames.cpp)
