# Script of the refresh_glyphs target: every drawing of demo/ and resources/
# (and those the build makes from templates) goes to glyph_extract.
file(GLOB_RECURSE drawings ${ROOT}/demo/*.svg ${ROOT}/resources/*.svg ${BUILD}/demo/*.svg)
execute_process(COMMAND ${EXTRACT} ${FONT} ${OUT} ${drawings} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "glyph_extract failed")
endif()
