# cmake -DBUILD_DIR=… -DWORK_DIR=… -DAPP_ID=… -DVERSION=… -P check_install.cmake
#
# Installs the build into a fresh prefix, moves the prefix elsewhere, checks
# what lies where, and starts the program through a link to its launcher
# from the root folder, on Qt's offscreen platform, until it has shown its
# first frame. The same run over a copy without its opening picture must fail
# those checks, which shows that they can.

cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/checks.cmake)

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

# --- Layout and metadata ---------------------------------------------------------

check_layout(${prefix} bin)
if(EXISTS ${prefix}/games)
  fail("a plain install put something in games/, which only the package uses")
endif()
if(failures)
  message(FATAL_ERROR "The installed layout is incomplete:\n${failures}")
endif()

foreach(path ${prefix}/bin/pirokko ${prefix}/share/applications/${APP_ID}.desktop
             ${prefix}/share/metainfo/${APP_ID}.metainfo.xml)
  file(READ ${path} text)
  string(FIND "${text}" "${first}" at)
  if(NOT at EQUAL -1)
    fail("${path} names the prefix it was installed into")
  endif()
endforeach()
check_metadata(${prefix})
if(failures)
  message(FATAL_ERROR "The installed files are not as they should be:\n${failures}")
endif()

# --- Start it ------------------------------------------------------------------------

# Through a link in a folder of its own, as from a user's ~/bin.
file(MAKE_DIRECTORY ${WORK_DIR}/elsewhere)
file(CREATE_LINK ${prefix}/bin/pirokko ${WORK_DIR}/elsewhere/pirokko SYMBOLIC)
check_first_frame(${WORK_DIR}/elsewhere/pirokko)
check_export(${WORK_DIR}/elsewhere/pirokko ${prefix}/share/pirokko/web)

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
