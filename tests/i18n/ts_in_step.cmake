# Fails when a translation file is behind the sources: words the sources use
# that are not translated yet, or translated words the sources no longer use.
# lupdate works on a copy, so the file in the repository is never touched.
#   cmake -DLUPDATE=... -DSOURCES=dir -DTS=file.ts "-DOPTIONS=a;b" -DSCRATCH=dir -P ts_in_step.cmake
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
get_filename_component(name ${TS} NAME)
set(copy ${SCRATCH}/${name})
file(COPY_FILE ${TS} ${copy})
execute_process(COMMAND ${LUPDATE} ${OPTIONS} ${SOURCES} -ts ${copy}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lupdate failed on ${name}: ${errors}")
endif()

file(READ ${copy} updated)
set(problems "")
foreach(kind unfinished vanished obsolete)
  string(REGEX MATCHALL "<message>[^<]*<source>[^<]*</source>[^<]*<translation type=\"${kind}\""
         found "${updated}")
  foreach(entry IN LISTS found)
    string(REGEX REPLACE ".*<source>([^<]*)</source>.*" "\\1" text "${entry}")
    string(APPEND problems "  ${kind}: ${text}\n")
  endforeach()
endforeach()
if(problems)
  message(FATAL_ERROR "${name} is behind the sources (run the update_translations target, "
                      "then translate):\n${problems}")
endif()

file(READ ${TS} original)
if(NOT original STREQUAL updated)
  message(FATAL_ERROR "${name} differs from what lupdate makes of it: run the "
                      "update_translations target and commit the result")
endif()
message(STATUS "${name} is in step with the sources")
