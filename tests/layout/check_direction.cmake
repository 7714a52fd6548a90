# Fails when the game, the platform's interface or the code every backend
# shares names a toolkit or media library, or reaches into a backend. The
# game library's build already refuses Qt (no include path for it); the C
# libraries' headers lie on the default path, so only this check finds them.
#   cmake -DSRC=<repository>/src -P check_direction.cmake
set(folders app scene chooser shared platform/form platform/media platform/system platform/common)
set(forbidden
  "#include[ \t]*[<\"](Q[A-Za-z]|SDL|sndfile|gif_lib|emscripten)"
  "#include[ \t]*\"platform/(desktop|web)/"
  "[^A-Za-z_]Q[A-Z][a-z]+[A-Za-z]*[^A-Za-z_]"
  "[^A-Za-z_](SDL|SF|Gif|DGif|EGif)_?[A-Z][A-Za-z_]*[^A-Za-z_]"
  "[^A-Za-z_]sf_[a-z]+[ (]")
set(faults "")
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE files "${SRC}/${folder}/*.h" "${SRC}/${folder}/*.cpp")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" lines)
    set(n 0)
    foreach(line IN LISTS lines)
      math(EXPR n "${n} + 1")
      foreach(pattern IN LISTS forbidden)
        if(" ${line} " MATCHES "${pattern}")
          file(RELATIVE_PATH rel "${SRC}" "${file}")
          string(APPEND faults "  ${rel}:${n}: ${line}\n")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "Toolkit or backend names outside the backends:\n${faults}")
endif()
