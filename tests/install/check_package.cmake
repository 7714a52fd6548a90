# cmake -DBUILD_DIR=… -DWORK_DIR=… -DAPP_ID=… -DVERSION=… -P check_package.cmake
#
# Builds the Debian package from the build with CPack, unpacks it into a
# temporary folder (nothing is installed into the machine), checks its control
# fields and contents, has lintian look for errors where it is installed, and
# starts the unpacked launcher. Prints "skipped: …" and passes when the
# machine lacks Debian's package tools.

cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/checks.cmake)

set(missing "")
foreach(tool dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli gzip)
  string(MAKE_C_IDENTIFIER "${tool}" var)
  string(TOUPPER "${var}" var)
  find_program(${var} ${tool})
  if(NOT ${var})
    list(APPEND missing ${tool})
  endif()
endforeach()
if(missing)
  list(JOIN missing ", " missing)
  message(STATUS "skipped: missing ${missing}")
  return()
endif()

# --- Build and unpack ------------------------------------------------------------

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake
                        -B ${WORK_DIR}/out
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(GLOB debs ${WORK_DIR}/out/*.deb)
list(LENGTH debs count)
if(NOT rc EQUAL 0 OR NOT count EQUAL 1)
  message(FATAL_ERROR "cpack made ${count} packages (exit ${rc}):\n${out}${err}")
endif()
if(NOT debs MATCHES "/pirokko_${VERSION}_[a-z0-9]+\\.deb$")
  fail("the package is named ${debs}")
endif()

set(root ${WORK_DIR}/root)
execute_process(COMMAND ${DPKG_DEB} -x ${debs} ${root} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dpkg-deb cannot unpack ${debs}:\n${err}")
endif()

# --- Control fields ----------------------------------------------------------------

# Depends: what the program links, found by dpkg-shlibdeps, and what it loads
# by itself: SDL2 for the music and the Japanese face of its text.
foreach(check "Package;^pirokko$" "Version;^${VERSION}$" "Section;^games$"
              "Depends;(^|, )libqt6widgets6( |,|$)" "Depends;(^|, )libsdl2-2\\.0-0( |,|$)"
              "Depends;(^|, )fonts-ipafont-gothic( |,|$)" "Recommends;^qt6-wayland$")
  list(GET check 0 field)
  list(GET check 1 pattern)
  execute_process(COMMAND ${DPKG_DEB} -f ${debs} ${field} OUTPUT_VARIABLE value
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT value MATCHES "${pattern}")
    fail("${field}: \"${value}\" does not match ${pattern}")
  endif()
endforeach()

# --- Contents ------------------------------------------------------------------------

file(GLOB_RECURSE files RELATIVE ${root} LIST_DIRECTORIES false ${root}/*)
foreach(path IN LISTS files)
  if(NOT path MATCHES "^usr/" OR path MATCHES "^usr/bin/")
    fail("${path} lies outside the package's folders")
  endif()
endforeach()
check_layout(${root}/usr games)
if(failures)
  message(FATAL_ERROR "The package's contents are incomplete:\n${failures}")
endif()
check_metadata(${root}/usr)

# The changelog names this version, or Debian's tools see another one.
execute_process(COMMAND ${GZIP} -dc ${root}/usr/share/doc/pirokko/changelog.gz
                OUTPUT_VARIABLE changelog)
if(NOT changelog MATCHES "^pirokko \\(${VERSION}\\) ")
  fail("the changelog does not begin with version ${VERSION}")
endif()

find_program(LINTIAN lintian)
if(LINTIAN)
  execute_process(COMMAND ${LINTIAN} --fail-on error ${debs}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    fail("lintian finds errors:\n${out}${err}")
  endif()
else()
  message(STATUS "lintian not found: the package's policy is left unchecked")
endif()
if(failures)
  message(FATAL_ERROR "The package is not as it should be:\n${failures}")
endif()

# --- Start it ------------------------------------------------------------------------

check_first_frame(${root}/usr/games/pirokko)
check_export(${root}/usr/games/pirokko ${root}/usr/share/pirokko/web)
if(failures)
  message(FATAL_ERROR "The unpacked program does not start as it should:\n${failures}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
message(STATUS "Packaged, unpacked and started: ${debs}")
