target_sources(pirokko_game PRIVATE
  chooser/Chooser.cpp)
