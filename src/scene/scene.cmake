target_sources(pirokko_game PRIVATE
  scene/ScenePicture.cpp
  scene/ScenePlayer.cpp
  scene/ScriptLine.cpp)
