target_sources(pirokko_core PRIVATE
  chooser/Chooser.cpp)
