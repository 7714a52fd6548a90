target_sources(pirokko_core PRIVATE
  scene/ScenePicture.cpp
  scene/ScenePlayer.cpp
  scene/ScriptLine.cpp
  scene/TextNames.cpp)
