# The measurement space's demo data in "人体测量图片及数据": the two model
# figures as bitmaps (the fitting models on the measuring wall's colour, as wide
# as the left half of the picture area), the
# wall, the size pictures, the market's size reference picture, and the body
# records and size chart written by measure_builder.
set(measure_dir ${DEMO_BASE_DIR}/人体测量图片及数据)
set(measure_src ${CMAKE_CURRENT_SOURCE_DIR}/measure)
function(measure_picture name source)
  render_svg(OUTPUT ${measure_dir}/${name} SOURCE ${source} ARGS ${ARGN})
  set(demo_outputs ${demo_outputs} ${measure_dir}/${name} PARENT_SCOPE)
endfunction()
set(figures ${CMAKE_CURRENT_SOURCE_DIR}/figures)
measure_picture("男模特(人体测量).bmp" ${figures}/figure_man.svg --size 250x470 --matte 240,236,228)
measure_picture("女模特(人体测量).bmp" ${figures}/figure_woman.svg --size 250x470 --matte 240,236,228)
measure_picture("人体测量背景图.jpg" ${measure_src}/figure_background.svg --size 480x470 --quality 90)
measure_picture("尺码图_上装.jpg" ${measure_src}/size_picture_tops.svg --size 480x470 --quality 90)
measure_picture("尺码图_下装.jpg" ${measure_src}/size_picture_bottoms.svg --size 480x470 --quality 90)
measure_picture("服装尺寸参考图.jpg" ${measure_src}/size_reference.svg --size 640x400 --quality 90)

add_executable(measure_builder ${measure_src}/measure_builder.cpp)
target_link_libraries(measure_builder PRIVATE measure_core)
set(measure_records ${measure_dir}/人体测量记录表.by3 ${measure_dir}/服饰尺码记录表.cd3)
add_custom_command(
  OUTPUT ${measure_records}
  COMMAND measure_builder ${measure_src}/customers.txt ${measure_src}/size_chart.txt ${DEMO_BASE_DIR}
  DEPENDS measure_builder ${measure_src}/customers.txt ${measure_src}/size_chart.txt
  COMMENT "Writing the demo body records and size chart"
  VERBATIM)
list(APPEND demo_outputs ${measure_records})
