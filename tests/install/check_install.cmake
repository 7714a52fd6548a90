# cmake -DBUILD_DIR=… -DWORK_DIR=… -DAPP_ID=… -DVERSION=… -P check_install.cmake
#
# Installs the build into a fresh prefix, moves the prefix elsewhere, checks
# what lies where, and starts the program through a link to its launcher
# from the root folder, on Qt's offscreen platform. The game takes no command
# line, so its first frame is confirmed from outside: Qt's painting log must
# show the whole 681 x 289 window flushed to the screen, and no run-time
# error may be printed, within three seconds in which the program keeps
# running. The same run over a copy without its opening picture must fail
# those checks, which shows that they can.

cmake_minimum_required(VERSION 3.25)

foreach(var BUILD_DIR WORK_DIR APP_ID VERSION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

set(failures "")
macro(fail text)
  string(APPEND failures "  ${text}\n")
endmacro()

# --- Install, then move the prefix --------------------------------------------

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(first ${WORK_DIR}/installed-here)
set(prefix ${WORK_DIR}/moved-there)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${first}
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${err}")
endif()
file(RENAME ${first} ${prefix})

# --- Layout ----------------------------------------------------------------------

set(app ${prefix}/lib/pirokko)
set(desktop ${prefix}/share/applications/${APP_ID}.desktop)
set(icon ${prefix}/share/icons/hicolor/32x32/apps/${APP_ID}.png)
set(metainfo ${prefix}/share/metainfo/${APP_ID}.metainfo.xml)
foreach(path ${app}/pirokko ${app}/bgm.wav ${app}/txt/opn.txt ${app}/img/opn.gif
             ${prefix}/bin/pirokko ${desktop} ${icon} ${metainfo})
  if(NOT EXISTS ${path})
    fail("missing: ${path}")
  endif()
endforeach()
foreach(n RANGE 7)
  if(NOT EXISTS ${app}/txt/${n}.txt OR NOT EXISTS ${app}/img/${n}.gif)
    fail("scene ${n} is not installed beside the program")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "The installed layout is incomplete:\n${failures}")
endif()

foreach(path ${prefix}/bin/pirokko ${desktop} ${metainfo})
  file(READ ${path} text)
  string(FIND "${text}" "${first}" at)
  if(NOT at EQUAL -1)
    fail("${path} names the prefix it was installed into")
  endif()
endforeach()

# --- Icon: a PNG of 32 x 32 pixels -------------------------------------------

file(READ ${icon} head LIMIT 24 HEX)
if(NOT head MATCHES "^89504e470d0a1a0a........49484452(........)(........)$")
  fail("the icon is not a PNG file")
elseif(NOT CMAKE_MATCH_1 STREQUAL "00000020" OR NOT CMAKE_MATCH_2 STREQUAL "00000020")
  fail("the icon is not 32 x 32 pixels")
endif()

# --- Desktop entry and metadata: they name what was installed --------------------

file(READ ${desktop} entry)
foreach(expect "^\\[Desktop Entry\\]\n" "\nType=Application\n" "\nExec=pirokko\n"
               "\nIcon=${APP_ID}\n" "\nCategories=([^\n]*;)?Game;")
  if(NOT entry MATCHES "${expect}")
    fail("the desktop entry lacks ${expect}")
  endif()
endforeach()

file(READ ${metainfo} xml)
foreach(expect "<id>${APP_ID}</id>" "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
               "<binary>pirokko</binary>" "<release version=\"${VERSION}\"")
  string(FIND "${xml}" "${expect}" at)
  if(at EQUAL -1)
    fail("the metainfo lacks ${expect}")
  endif()
endforeach()
# The rest of the format is for the validator, where the machine has it.
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
  execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${metainfo}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    fail("appstreamcli rejects the metainfo:\n${out}${err}")
  endif()
endif()

if(failures)
  message(FATAL_ERROR "The installed files are not as they should be:\n${failures}")
endif()

# --- Start it ------------------------------------------------------------------------

find_program(TIMEOUT timeout REQUIRED)
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{QT_LOGGING_RULES} "qt.widgets.painting=true")
set(ENV{QT_MESSAGE_PATTERN} "%{category}: %{message}")

# Runs `program` for three seconds from the root folder; sets <prefix>_rc,
# <prefix>_errors (run-time errors and lines that are not known noise) and
# <prefix>_frame (whether the whole window reached the screen).
function(run_for_three_seconds program out)
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

# Through a link in a folder of its own, as from a user's ~/bin.
file(MAKE_DIRECTORY ${WORK_DIR}/elsewhere)
file(CREATE_LINK ${prefix}/bin/pirokko ${WORK_DIR}/elsewhere/pirokko SYMBOLIC)
run_for_three_seconds(${WORK_DIR}/elsewhere/pirokko game)
if(NOT game_rc EQUAL 124)
  fail("the program ended within three seconds (exit ${game_rc})")
endif()
if(game_errors)
  fail("the program printed more than the known noise:\n${game_errors}")
endif()
if(game_painting_log AND NOT game_frame)
  fail("the window's first frame never reached the screen")
elseif(NOT game_painting_log)
  message(WARNING "This Qt writes no painting log; the first frame is taken on trust")
endif()

# The same without the opening picture: these checks must catch it.
file(COPY ${prefix}/ DESTINATION ${WORK_DIR}/broken)
file(REMOVE ${WORK_DIR}/broken/lib/pirokko/img/opn.gif)
run_for_three_seconds(${WORK_DIR}/broken/bin/pirokko broken)
if(NOT broken_errors MATCHES "Run-time error [0-9]+: File not found"
   OR NOT broken_errors MATCHES "broken/lib/pirokko/img/opn.gif")
  fail("a missing opening picture went unreported:\n${broken_errors}")
endif()
if(broken_frame)
  fail("a game that failed at start-up still flushed its window")
endif()

if(failures)
  message(FATAL_ERROR "The installed program does not start as it should:\n${failures}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
message(STATUS "Installed, moved and started: ${prefix}")
