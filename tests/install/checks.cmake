# What the checks of an installed game share, whether it was laid out by
# `cmake --install` or unpacked from the Debian package. Each check adds to
# `failures` through `fail(text)`; the including script reports them.

foreach(var BUILD_DIR WORK_DIR APP_ID VERSION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

set(failures "")
macro(fail text)
  string(APPEND failures "  ${text}\n")
endmacro()

# check_layout(ROOT LAUNCHER_DIR): the program with all its content, the
# launcher, and the files desktops and package tools look for, under ROOT.
macro(check_layout root launcher_dir)
  set(_app ${root}/lib/pirokko)
  set(_share ${root}/share)
  foreach(_path ${_app}/pirokko ${_app}/bgm.wav ${_app}/txt/opn.txt ${_app}/img/opn.gif
                ${root}/${launcher_dir}/pirokko ${root}/${launcher_dir}/pirokko-check
                ${_share}/man/man6/pirokko-check.6.gz ${_share}/applications/${APP_ID}.desktop
                ${_share}/metainfo/${APP_ID}.metainfo.xml ${_share}/man/man6/pirokko.6.gz
                ${_share}/doc/pirokko/copyright ${_share}/doc/pirokko/changelog.gz
                ${_share}/pirokko/web/index.html ${_share}/pirokko/web/pirokko.js
                ${_share}/pirokko/web/pirokko.wasm)
    if(NOT EXISTS ${_path})
      fail("missing: ${_path}")
    endif()
  endforeach()
  foreach(_n RANGE 7)
    if(NOT EXISTS ${_app}/txt/${_n}.txt OR NOT EXISTS ${_app}/img/${_n}.gif)
      fail("scene ${_n} is not installed beside the program")
    endif()
  endforeach()
  # The window's own size, and the sizes software centres show; a PNG gives
  # its width and height as 32-bit big-endian numbers in its first chunk.
  foreach(_size "32;00000020" "128;00000080" "256;00000100")
    list(GET _size 1 _hex)
    list(GET _size 0 _size)
    set(_icon ${_share}/icons/hicolor/${_size}x${_size}/apps/${APP_ID}.png)
    if(NOT EXISTS ${_icon})
      fail("missing: ${_icon}")
      continue()
    endif()
    file(READ ${_icon} _head LIMIT 24 HEX)
    if(NOT _head MATCHES "^89504e470d0a1a0a........49484452(........)(........)$")
      fail("${_icon} is not a PNG file")
    elseif(NOT CMAKE_MATCH_1 STREQUAL _hex OR NOT CMAKE_MATCH_2 STREQUAL _hex)
      fail("${_icon} is not ${_size} x ${_size} pixels")
    endif()
  endforeach()
endmacro()

# check_metadata(ROOT): the desktop entry and the AppStream metadata name what
# was installed, and pass their validators where the machine has them.
macro(check_metadata root)
  set(_desktop ${root}/share/applications/${APP_ID}.desktop)
  set(_metainfo ${root}/share/metainfo/${APP_ID}.metainfo.xml)
  file(READ ${_desktop} _entry)
  foreach(_expect "^\\[Desktop Entry\\]\n" "\nType=Application\n" "\nExec=pirokko\n"
                  "\nIcon=${APP_ID}\n" "\nCategories=([^\n]*;)?Game;")
    if(NOT _entry MATCHES "${_expect}")
      fail("the desktop entry lacks ${_expect}")
    endif()
  endforeach()
  file(READ ${_metainfo} _xml)
  foreach(_expect "<id>${APP_ID}</id>" "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
                  "<icon type=\"stock\">${APP_ID}</icon>" "<binary>pirokko</binary>"
                  "<release version=\"${VERSION}\"")
    string(FIND "${_xml}" "${_expect}" _at)
    if(_at EQUAL -1)
      fail("the metainfo lacks ${_expect}")
    endif()
  endforeach()
  find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
  find_program(APPSTREAMCLI appstreamcli)
  foreach(_check "DESKTOP_FILE_VALIDATE;${_desktop}" "APPSTREAMCLI;validate;--no-net;${_metainfo}")
    list(POP_FRONT _check _tool)
    if(${_tool})
      execute_process(COMMAND ${${_tool}} ${_check}
                      RESULT_VARIABLE _rc OUTPUT_VARIABLE _out ERROR_VARIABLE _err)
      if(NOT _rc EQUAL 0)
        fail("${${_tool}} rejects ${_check}:\n${_out}${_err}")
      endif()
    endif()
  endforeach()
endmacro()

# run_for_three_seconds(PROGRAM OUT) runs PROGRAM on Qt's offscreen platform
# for three seconds from the root folder; sets OUT_rc, OUT_errors (run-time
# errors and lines that are not known noise), OUT_frame (whether the whole
# window reached the screen) and OUT_painting_log (whether Qt logged painting
# at all). The game takes no command line, so its first frame is confirmed
# from outside, through Qt's painting log.
function(run_for_three_seconds program out)
  find_program(TIMEOUT timeout REQUIRED)
  set(ENV{QT_QPA_PLATFORM} offscreen)
  set(ENV{QT_LOGGING_RULES} "qt.widgets.painting=true")
  set(ENV{QT_MESSAGE_PATTERN} "%{category}: %{message}")
  execute_process(COMMAND ${TIMEOUT} 3 ${program} WORKING_DIRECTORY /
                  RESULT_VARIABLE rc OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  set(painting_log FALSE)
  set(frame FALSE)
  set(errors "")
  string(REPLACE ";" "," stderr "${stderr}")
  string(REPLACE "\n" ";" lines "${stderr}")
  foreach(line IN LISTS lines)
    if(line MATCHES "^qt\\.widgets\\.painting: ")
      set(painting_log TRUE)
      if(line MATCHES "Flushing QRegion\\(0,0 681x289\\)")
        set(frame TRUE)
      endif()
    elseif(line STREQUAL "" OR line MATCHES "^ALSA lib "
           OR line MATCHES "^default: QStandardPaths: XDG_RUNTIME_DIR not set")
      # Known noise: the sound library looking for a card, Qt missing a
      # runtime folder.
    else()
      string(APPEND errors "    ${line}\n")
    endif()
  endforeach()
  set(${out}_rc ${rc} PARENT_SCOPE)
  set(${out}_errors "${errors}${stdout}" PARENT_SCOPE)
  set(${out}_frame ${frame} PARENT_SCOPE)
  set(${out}_painting_log ${painting_log} PARENT_SCOPE)
endfunction()

# check_first_frame(PROGRAM): PROGRAM keeps running for three seconds, shows
# its whole window and prints nothing but the known noise.
macro(check_first_frame program)
  run_for_three_seconds(${program} _game)
  if(NOT _game_rc EQUAL 124)
    fail("${program} ended within three seconds (exit ${_game_rc})")
  endif()
  if(_game_errors)
    fail("${program} printed more than the known noise:\n${_game_errors}")
  endif()
  if(_game_painting_log AND NOT _game_frame)
    fail("the window's first frame never reached the screen")
  elseif(NOT _game_painting_log)
    message(WARNING "This Qt writes no painting log; the first frame is taken on trust")
  endif()
endmacro()

# check_export(PROGRAM ENGINE): `PROGRAM --export-web` with no game folder
# writes the game it plays by default, with the engine in ENGINE, into a new
# folder, from the root folder as an author might.
macro(check_export program engine)
  set(_site ${WORK_DIR}/site)
  file(REMOVE_RECURSE ${_site})
  execute_process(COMMAND ${program} --export-web ${_site} WORKING_DIRECTORY /
                  RESULT_VARIABLE _rc OUTPUT_VARIABLE _out ERROR_VARIABLE _err)
  if(NOT _rc EQUAL 0)
    fail("${program} --export-web failed (${_rc}):\n${_out}${_err}")
  else()
    foreach(_file index.html pirokko.js pirokko.wasm)
      execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${engine}/${_file} ${_site}/${_file}
                      RESULT_VARIABLE _rc)
      if(NOT _rc EQUAL 0)
        fail("the export's ${_file} is not the installed engine's")
      endif()
    endforeach()
    foreach(_file bgm.wav txt/opn.txt txt/7.txt img/opn.gif img/7.gif .pirokko-export)
      if(NOT EXISTS ${_site}/${_file})
        fail("the export lacks ${_file}")
      endif()
    endforeach()
  endif()
endmacro()
