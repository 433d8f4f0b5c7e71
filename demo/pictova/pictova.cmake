# The photo editor's part of the demo base directory: its tool pictures
# ("ephoto_syspic/imgEdit_*.png"), the make-up swatches, the default
# background picture, a demo photo in the photo folder and the three icon
# lists; and, beside the programs, the make-up menu's toolbar strip.
# Included by demo/CMakeLists.txt, which collects demo_outputs.
set(pictova_src ${CMAKE_CURRENT_SOURCE_DIR}/pictova)
add_executable(pictova_demo ${pictova_src}/pictova_demo.cpp)
target_link_libraries(pictova_demo PRIVATE platform suite_wx)
target_include_directories(pictova_demo PRIVATE ${PROJECT_SOURCE_DIR})
set_target_properties(pictova_demo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

file(GLOB pictova_icons CONFIGURE_DEPENDS ${pictova_src}/icons/*.svg)
foreach(svg IN LISTS pictova_icons)
  get_filename_component(name ${svg} NAME_WE)
  set(out ${DEMO_BASE_DIR}/ephoto_syspic/${name}.png)
  render_svg(OUTPUT ${out} SOURCE ${svg} ARGS --size 48x48)
  list(APPEND demo_outputs ${out})
endforeach()

set(bg ${DEMO_BASE_DIR}/kzvEcamsys背景图片/背景图001.jpg)
render_svg(OUTPUT ${bg} SOURCE ${pictova_src}/background_park.svg ARGS --size 640x480 --quality 92)
list(APPEND demo_outputs ${bg})

# The demo photo: the person drawn transparent, then put on a plain backdrop.
set(person ${CMAKE_CURRENT_BINARY_DIR}/pictova/demo_person.png)
render_svg(OUTPUT ${person} SOURCE ${pictova_src}/demo_person.svg ARGS --size 400x480)
set(photo ${DEMO_BASE_DIR}/服饰搭配拍照图片/演示照片.png)
add_custom_command(OUTPUT ${photo}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_BASE_DIR}/服饰搭配拍照图片
    COMMAND pictova_demo photo ${person} ${photo} cfdde6
    DEPENDS ${person} pictova_demo
    COMMENT "Drawing demo-base/服饰搭配拍照图片/演示照片.png"
    VERBATIM)
list(APPEND demo_outputs ${photo})

# Make-up swatches: lip, cheek and eye colours.
set(swatch_colours
    e0526e d43a4f b5283c f07f8f f4a3b1 e98a7a c9705a f2b59a d99a86 b87a6a
    9c5b8e 7b4a8c 5b6fb0 4a8fb0 3f9f8a 8c6b4a 6b4a3a 2f2a2a f7c6c0 e8b0a0)
set(n 1)
foreach(colour IN LISTS swatch_colours)
  if(n LESS 10)
    set(num 0${n})
  else()
    set(num ${n})
  endif()
  set(out ${DEMO_BASE_DIR}/ephoto_syspic/kzvECam化装盒_COLOR${num}.png)
  add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_BASE_DIR}/ephoto_syspic
      COMMAND pictova_demo swatch ${colour} ${out}
      DEPENDS pictova_demo
      COMMENT "Drawing demo-base/ephoto_syspic/kzvECam化装盒_COLOR${num}.png"
      VERBATIM)
  list(APPEND demo_outputs ${out})
  math(EXPR n "${n} + 1")
endforeach()

# The icon lists.
function(pictova_jxd out kind)
  get_filename_component(dir ${out} DIRECTORY)
  add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND pictova_demo jxd ${out} ${kind} ${ARGN}
      DEPENDS pictova_demo
      COMMENT "Writing an icon list ${kind}"
      VERBATIM)
  set(demo_outputs ${demo_outputs} ${out} PARENT_SCOPE)
endfunction()
pictova_jxd(${DEMO_BASE_DIR}/服饰图标/服饰图标列表.jxd B "上装=衬衫,T恤,开衫" "下装=裙子,长裤" "饰品=围巾,项链,墨镜")
pictova_jxd(${DEMO_BASE_DIR}/通用图标/通用图标列表.jxd C "箭头=左箭头,右箭头" "形状=圆,方,星")
pictova_jxd(${DEMO_BASE_DIR}/搭配图片/搭配图片记录表.jxd P "春夏=通勤,度假" "秋冬=大衣,针织")

# The make-up menu's toolbar beside the programs (resources/Pictova).
set(strip ${SUITE_BIN_DIR}/resources/Pictova/bitmap/154.png)
render_svg(OUTPUT ${strip} SOURCE ${pictova_src}/icon_menu_154.svg ARGS --size 96x16 --mask 192,192,192)
set(strip_ids ${SUITE_BIN_DIR}/resources/Pictova/toolbar/154.txt)
add_custom_command(OUTPUT ${strip_ids}
    COMMAND ${CMAKE_COMMAND} -E copy ${pictova_src}/icon_menu_154.txt ${strip_ids}
    DEPENDS ${pictova_src}/icon_menu_154.txt
    VERBATIM)
list(APPEND demo_outputs ${strip} ${strip_ids})
