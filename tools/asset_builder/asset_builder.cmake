# render_svg(OUTPUT <picture> SOURCE <drawing.svg> [ARGS <asset_builder options>...])
# Adds the build rule that draws one picture; it runs again only when the
# drawing or the tool changes. The caller collects the outputs in a target.
include_guard(GLOBAL)

function(render_svg)
  cmake_parse_arguments(A "" "OUTPUT;SOURCE" "ARGS" ${ARGN})
  if(NOT A_OUTPUT OR NOT A_SOURCE)
    message(FATAL_ERROR "render_svg needs OUTPUT and SOURCE")
  endif()
  file(RELATIVE_PATH shown ${CMAKE_BINARY_DIR} ${A_OUTPUT})
  add_custom_command(
    OUTPUT ${A_OUTPUT}
    COMMAND asset_builder ${A_ARGS} ${A_SOURCE} ${A_OUTPUT}
    DEPENDS ${A_SOURCE} asset_builder
    COMMENT "Drawing ${shown}"
    VERBATIM)
endfunction()
