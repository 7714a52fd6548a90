# The programs' words in other languages. Each .ts file is compiled at build
# time and built into the desktop backend as a resource, so a copied program still
# speaks them. `cmake --build build --target update_translations` gathers the
# words from the sources into the .ts files; a test fails while one has words
# left to translate or words the sources no longer use.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)

set(PIROKKO_TS_FILES ${CMAKE_SOURCE_DIR}/translations/pirokko_ja.ts)
# Game code asks for its words through platform::trText, which lupdate reads
# as Qt's translate(context, source).
set(PIROKKO_LUPDATE_OPTIONS -locations none -tr-function-alias translate+=trText)
# The tests run lupdate the same way.
set(PIROKKO_TS_FILES ${PIROKKO_TS_FILES} PARENT_SCOPE)
set(PIROKKO_LUPDATE_OPTIONS ${PIROKKO_LUPDATE_OPTIONS} PARENT_SCOPE)

qt_add_lrelease(pirokko_desktop
  TS_FILES ${PIROKKO_TS_FILES}
  QM_FILES_OUTPUT_VARIABLE PIROKKO_QM_FILES)
qt_add_resources(pirokko_desktop pirokko_translations
  PREFIX /i18n
  BASE ${CMAKE_CURRENT_BINARY_DIR}
  FILES ${PIROKKO_QM_FILES})

add_custom_target(update_translations
  COMMAND Qt6::lupdate ${PIROKKO_LUPDATE_OPTIONS} -no-obsolete ${CMAKE_SOURCE_DIR}/src -ts ${PIROKKO_TS_FILES}
  COMMENT "Gathering the words to translate into translations/*.ts"
  VERBATIM)
