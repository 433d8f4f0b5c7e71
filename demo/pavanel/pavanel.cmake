# Pavanel's demo content, included by demo/CMakeLists.txt (which collects
# demo_outputs): the stage editor's two icons, a reference picture in
# "KZV背景图片", the manual page, and (from the tool pavanel_demo) the builder
# settings record and the series project's voices. The series project itself,
# "2010秋冬女装", is one of DEMO_PROJECTS.
add_executable(pavanel_demo ${CMAKE_CURRENT_SOURCE_DIR}/pavanel/pavanel_demo.cpp)
target_link_libraries(pavanel_demo PRIVATE project_editor_core platform)
set_target_properties(pavanel_demo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

set(pavanel_src ${CMAKE_CURRENT_SOURCE_DIR}/pavanel)
foreach(pair "build_group_trans.svg;build_GroupTrans.png" "build_trans_dress.svg;build_TransDress.png")
  list(GET pair 0 svg)
  list(GET pair 1 png)
  set(out ${DEMO_BASE_DIR}/服饰搭配sysproj/${png})
  render_svg(OUTPUT ${out} SOURCE ${pavanel_src}/${svg} ARGS --size 50x50)
  list(APPEND demo_outputs ${out})
endforeach()

set(reference ${DEMO_BASE_DIR}/KZV背景图片/秋日街景.jpg)
render_svg(OUTPUT ${reference} SOURCE ${pavanel_src}/reference_autumn_street.svg ARGS --size 1200x900 --quality 90)
list(APPEND demo_outputs ${reference})

set(manual ${DEMO_BASE_DIR}/KZV软件使用说明.htm)
add_custom_command(
  OUTPUT ${manual}
  COMMAND ${CMAKE_COMMAND} -E copy ${pavanel_src}/KZV软件使用说明.htm ${manual}
  DEPENDS ${pavanel_src}/KZV软件使用说明.htm
  COMMENT "Copying demo-base/KZV软件使用说明.htm"
  VERBATIM)
list(APPEND demo_outputs ${manual})

set(pavanel_stamp ${CMAKE_CURRENT_BINARY_DIR}/pavanel_demo.stamp)
add_custom_command(
  OUTPUT ${pavanel_stamp}
  COMMAND pavanel_demo ${DEMO_BASE_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${pavanel_stamp}
  DEPENDS pavanel_demo ${DEMO_BASE_DIR}/KZV网页项目文件/2010秋冬女装.dm3
  COMMENT "Writing demo-base/sysSetInfo.sy3 and the series project's voices"
  VERBATIM)
list(APPEND demo_outputs ${pavanel_stamp})

# The system pictures every new project copies ("KZVSYSPIC"; the sounds come
# from pavanel_demo above), two more backgrounds for "底图片", and the three
# reference templates of "试衣搭配模板SYSMDL": the women's, men's and
# children's basic projects with their folders, each as "<kind>模板/<kind>.dm3".
set(sys_dir ${DEMO_BASE_DIR}/KZVSYSPIC)
set(interface_src ${CMAKE_CURRENT_SOURCE_DIR}/interface)
render_svg(OUTPUT ${sys_dir}/photo.png SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/figures/figure_woman.svg ARGS --fit 180x400)
render_svg(OUTPUT ${sys_dir}/onLineHelp_dress.jpg SOURCE ${pavanel_src}/reference_autumn_street.svg
           ARGS --size 480x360 --quality 88)
list(APPEND demo_outputs ${sys_dir}/photo.png ${sys_dir}/onLineHelp_dress.jpg)
set(stage_backgrounds room_boutique room_garden room_studio platform_soft platform_wood)
set(index 1)
foreach(svg IN LISTS stage_backgrounds)
  set(out ${sys_dir}/stageBkg00${index}.jpg)
  render_svg(OUTPUT ${out} SOURCE ${interface_src}/${svg}.svg ARGS --fit 800x800 --quality 88)
  list(APPEND demo_outputs ${out})
  math(EXPR index "${index} + 1")
endforeach()
foreach(pair "room_garden;花园" "room_studio;摄影棚")
  list(GET pair 0 svg)
  list(GET pair 1 title)
  set(out ${DEMO_BASE_DIR}/KZV背景图片/${title}.jpg)
  render_svg(OUTPUT ${out} SOURCE ${interface_src}/${svg}.svg ARGS --fit 900x900 --quality 88)
  list(APPEND demo_outputs ${out})
endforeach()

set(template_stamp ${CMAKE_CURRENT_BINARY_DIR}/reference_templates.stamp)
set(template_commands)
set(template_depends)
foreach(kind 女装 男装 童装)
  set(from ${DEMO_BASE_DIR}/服饰搭配基本项目)
  set(to ${DEMO_BASE_DIR}/试衣搭配模板SYSMDL/${kind}模板)
  list(APPEND template_commands
       COMMAND ${CMAKE_COMMAND} -E make_directory ${to}/试衣及按钮图片 ${to}/音乐及语音 ${to}/展示及说明图片
       COMMAND ${CMAKE_COMMAND} -E copy_directory ${from}/${kind} ${to}
       COMMAND ${CMAKE_COMMAND} -E copy ${from}/${kind}.dm3 ${to}/${kind}.dm3)
  list(APPEND template_depends ${from}/${kind}.dm3)
endforeach()
add_custom_command(
  OUTPUT ${template_stamp}
  ${template_commands}
  COMMAND ${CMAKE_COMMAND} -E touch ${template_stamp}
  DEPENDS ${template_depends}
  COMMENT "Copying the reference templates into demo-base/试衣搭配模板SYSMDL"
  VERBATIM)
list(APPEND demo_outputs ${template_stamp})
