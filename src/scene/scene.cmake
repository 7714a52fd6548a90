target_sources(pirokko_core PRIVATE
  scene/ScenePicture.cpp
  scene/ScenePlayer.cpp
  scene/ScriptBytes.cpp
  scene/ScriptLine.cpp)
