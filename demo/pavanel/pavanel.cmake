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
