# The translations keep up with the sources.
foreach(ts IN LISTS PIROKKO_TS_FILES)
  get_filename_component(name ${ts} NAME_WE)
  add_test(NAME i18n.${name}_in_step
    COMMAND ${CMAKE_COMMAND} -DLUPDATE=$<TARGET_FILE:Qt6::lupdate> -DSOURCES=${CMAKE_SOURCE_DIR}/src
            -DTS=${ts} "-DOPTIONS=${PIROKKO_LUPDATE_OPTIONS}"
            -DSCRATCH=${CMAKE_CURRENT_BINARY_DIR}/i18n-${name}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/i18n/ts_in_step.cmake)
endforeach()

# The error box under a Japanese and an English session.
add_executable(i18n_tests i18n/FaultBoxTest.cpp)
target_link_libraries(i18n_tests PRIVATE pirokko_test_support)
foreach(lang ja_JP.UTF-8 C.UTF-8)
  add_test(NAME i18n.fault_box_${lang} COMMAND i18n_tests)
  set_tests_properties(i18n.fault_box_${lang} PROPERTIES
    ENVIRONMENT "${PIROKKO_TEST_ENV};LANGUAGE=;LC_ALL=;LC_MESSAGES=;LANG=${lang}")
endforeach()
