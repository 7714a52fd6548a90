# The direction of the code: the game and what every backend shares name no
# toolkit and include no backend.
add_test(NAME layout.direction
  COMMAND ${CMAKE_COMMAND} -DSRC=${CMAKE_SOURCE_DIR}/src -P ${CMAKE_CURRENT_SOURCE_DIR}/layout/check_direction.cmake)
