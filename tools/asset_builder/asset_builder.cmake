# render_svg(OUTPUT <picture> SOURCE <drawing.svg> [ORIGIN <file>] [ARGS <asset_builder options>...])
# Adds the build rule that draws one picture; it runs again only when the
# drawing, the glyph file or the tool changes. Texts in the drawing are laid
# out with the glyph file. ORIGIN (with --trim) also writes the picture's
# place in the drawing's pixel grid. The caller collects the outputs in a target.
include_guard(GLOBAL)

function(render_svg)
  cmake_parse_arguments(A "" "OUTPUT;SOURCE;ORIGIN" "ARGS" ${ARGN})
  if(NOT A_OUTPUT OR NOT A_SOURCE)
    message(FATAL_ERROR "render_svg needs OUTPUT and SOURCE")
  endif()
  file(RELATIVE_PATH shown ${CMAKE_BINARY_DIR} ${A_OUTPUT})
  # The outlines of the characters that the drawings' texts use (see the
  # target refresh_glyphs in this folder's build file).
  set(glyphs ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/glyphs.txt)
  set(origin_args)
  if(A_ORIGIN)
    set(origin_args --origin ${A_ORIGIN})
  endif()
  add_custom_command(
    OUTPUT ${A_OUTPUT} ${A_ORIGIN}
    COMMAND asset_builder --glyphs ${glyphs} ${origin_args} ${A_ARGS} ${A_SOURCE} ${A_OUTPUT}
    DEPENDS ${A_SOURCE} ${glyphs} asset_builder
    COMMENT "Drawing ${shown}"
    VERBATIM)
endfunction()
