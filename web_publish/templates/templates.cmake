# The page templates, installed into "KZV网页项目模板" of the demo base
# directory: files that the site build unscrambles are stored scrambled (by
# template_scrambler), files that it copies are stored plain, and the
# pictures are drawn from the SVG sources here.
include(${PROJECT_SOURCE_DIR}/tools/asset_builder/asset_builder.cmake)

set(tpl_src ${CMAKE_CURRENT_SOURCE_DIR}/templates)
set(tpl_root ${CMAKE_BINARY_DIR}/demo-base/KZV网页项目模板)
set(tpl_outputs)

function(tpl_scramble source output)
  get_filename_component(dir ${output} DIRECTORY)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND template_scrambler ${source} ${output}
    DEPENDS ${source} template_scrambler
    COMMENT "Scrambling template ${source}"
    VERBATIM)
  set(tpl_outputs ${tpl_outputs} ${output} PARENT_SCOPE)
endfunction()

function(tpl_copy source output)
  get_filename_component(dir ${output} DIRECTORY)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${output}
    DEPENDS ${source}
    COMMENT "Copying template ${source}"
    VERBATIM)
  set(tpl_outputs ${tpl_outputs} ${output} PARENT_SCOPE)
endfunction()

# The two fitting rooms: tabs below ([下标]) and above ([上标]) the thumbnails.
foreach(pair "网页试衣间[下标]模板;bottom" "网页试衣间[上标]模板;top")
  list(GET pair 0 name)
  list(GET pair 1 variant)
  set(dir ${tpl_root}/${name})
  tpl_scramble(${tpl_src}/fitting/FittoraWeb_${variant}.htm ${dir}/kzv_FittoraWeb.htm)
  tpl_scramble(${tpl_src}/common/Const.js ${dir}/jsFile/kzv_Const.js)
  tpl_scramble(${tpl_src}/common/mootools.v1.1.js ${dir}/jsFile/kzv_mootools.v1.1.js)
  tpl_scramble(${tpl_src}/fitting/Space_1.0_kzv.js ${dir}/jsFile/kzv_Space_1.0_kzv.js)
  tpl_scramble(${tpl_src}/fitting/styles.css ${dir}/jsFile/kzv_styles.css)
  tpl_scramble(${tpl_src}/common/Cloth_part1.js ${dir}/jsFile/kzv_Cloth_part1.js)
  tpl_scramble(${tpl_src}/common/Cloth_part2.js ${dir}/jsFile/kzv_Cloth_part2.js)
  render_svg(OUTPUT ${dir}/模板缩略图.jpg SOURCE ${tpl_src}/pictures/thumb_${variant}.svg ARGS --size 200x240 --quality 92)
  render_svg(OUTPUT ${dir}/基本图片/kzv_stage.png SOURCE ${tpl_src}/pictures/kzv_stage.svg ARGS --size 460x520)
  render_svg(OUTPUT ${dir}/基本图片/kzv_hanger.png SOURCE ${tpl_src}/pictures/kzv_hanger.svg ARGS --size 32x32)
  list(APPEND tpl_outputs ${dir}/模板缩略图.jpg ${dir}/基本图片/kzv_stage.png ${dir}/基本图片/kzv_hanger.png)
endforeach()

# The video page.
set(dir ${tpl_root}/视频播放模板)
tpl_scramble(${tpl_src}/common/Const.js ${dir}/jsFile/kzv_Const.js)
tpl_scramble(${tpl_src}/common/mootools.v1.1.js ${dir}/jsFile/kzv_mootools.v1.1.js)
tpl_scramble(${tpl_src}/common/videoDaLst_part1.js ${dir}/jsFile/kzv_videoDaLst_part1.js)
tpl_scramble(${tpl_src}/common/videoDaLst_part2.js ${dir}/jsFile/kzv_videoDaLst_part2.js)
foreach(file kzvVideoPlayer.htm common2.js kzvPlayer2.0.js kzvplayer.css kzvplayer_block.css Player2.0.js)
  tpl_copy(${tpl_src}/video/${file} ${dir}/jsFile/${file})
endforeach()
render_svg(OUTPUT ${dir}/模板缩略图.jpg SOURCE ${tpl_src}/pictures/thumb_video.svg ARGS --size 200x240 --quality 92)
render_svg(OUTPUT ${dir}/基本图片/kzv_screen.png SOURCE ${tpl_src}/pictures/kzv_screen.svg ARGS --size 640x400)
list(APPEND tpl_outputs ${dir}/模板缩略图.jpg ${dir}/基本图片/kzv_screen.png)

add_custom_target(web_templates ALL DEPENDS ${tpl_outputs})
add_dependencies(Pavanel web_templates)
set(WEB_TEMPLATE_SOURCE_DIR ${tpl_src} CACHE INTERNAL "page template sources")
