# The operation guide's pages, "服饰搭配使用说明\使用说明_PAG<n>.jpg": our own
# drawings of the suite's controls, one JPEG per page. Included by
# demo/CMakeLists.txt, which collects demo_outputs.
foreach(page 1 2 3)
  set(out ${DEMO_BASE_DIR}/服饰搭配使用说明/使用说明_PAG${page}.jpg)
  render_svg(OUTPUT ${out} SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/guide/guide_page${page}.svg
             ARGS --size 800x540 --quality 90)
  list(APPEND demo_outputs ${out})
endforeach()
