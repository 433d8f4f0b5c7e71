# The interface pictures of the fitting room under "服饰搭配sysproj": the
# garment lists' category buttons and tabs (made from two templates for every
# word, style and colour scheme), list backgrounds and cell frames, and the
# fitting window's menu buttons and tips. Included by demo/CMakeLists.txt,
# which collects demo_outputs.
set(sysproj ${DEMO_BASE_DIR}/服饰搭配sysproj)
set(made ${CMAKE_CURRENT_BINARY_DIR}/interface)

# Colours of the two schemes: face light/dark, edge, rule and text of a solid
# button; the tinted body of an outlined one.
set(scheme_RED_solid   "#ef6a6a;#c52f3e;#7d1421;#f7b2b8;#ffffff")
set(scheme_RED_tint    "#fff5f3;#f9d9d4;#c0414c;#e7a7a7;#b1283a")
set(scheme_BLUE_solid  "#6aa2ea;#2f64b8;#173d78;#a9c8f2;#ffffff")
set(scheme_BLUE_tint   "#f5f9ff;#d7e6f9;#3f72c0;#a8c4ea;#24559f")

set(words_A 上装 下装 包鞋类 饰品 套装)
set(words_B 发型 帽子等 耳坠等 动物等 礼品等)
set(mark_A [[<circle cx="13" cy="10.5" r="2.6" fill="@MARK_COLOUR@"/>]])
set(mark_B [[<path d="M13 6.5 L16 10.5 L13 14.5 L10 10.5 Z" fill="@MARK_COLOUR@"/>]])

# make_button(<template> <output name> <label> <colours> [<mark>])
function(make_button template name label colours)
  list(GET colours 0 FACE_LIGHT)
  list(GET colours 1 FACE_DARK)
  list(GET colours 2 EDGE)
  list(GET colours 3 RULE)
  list(GET colours 4 TEXT)
  set(LABEL ${label})
  set(MARK_COLOUR ${TEXT})
  set(MARK "")
  if(ARGC GREATER 4)
    string(CONFIGURE "${ARGV4}" MARK @ONLY)
  endif()
  set(drawing ${made}/${name}.svg)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/interface/templates/${template}.svg.in ${drawing} @ONLY)
  set(out ${sysproj}/${name}.png)
  if(template STREQUAL "category_button")
    render_svg(OUTPUT ${out} SOURCE ${drawing} ARGS --size 20x108)
  else()
    render_svg(OUTPUT ${out} SOURCE ${drawing} ARGS --size 26x68)
  endif()
  set(demo_outputs ${demo_outputs} ${out} PARENT_SCOPE)
endfunction()

foreach(scheme RED BLUE)
  foreach(word IN LISTS words_A)
    # Style 'A' (garments): solid buttons.
    make_button(category_button LEFT${scheme}AR_${word} ${word} "${scheme_${scheme}_solid}")
    make_button(page_tab TOPAGE${scheme}_NO${word} ${word} "${scheme_${scheme}_tint}" "${mark_A}")
    make_button(page_tab TOPAGE${scheme}_YES${word} ${word} "${scheme_${scheme}_solid}" "${mark_A}")
  endforeach()
  foreach(word IN LISTS words_B)
    # Style 'B' (accessories): outlined buttons, diamond marks on the tabs.
    make_button(category_button ALEFT${scheme}AR_${word} ${word} "${scheme_${scheme}_tint}")
    make_button(page_tab BTOPAGE${scheme}_NO${word} ${word} "${scheme_${scheme}_tint}" "${mark_B}")
    make_button(page_tab BTOPAGE${scheme}_YES${word} ${word} "${scheme_${scheme}_solid}" "${mark_B}")
  endforeach()
endforeach()

# render_picture_list(<list> <folder> [extra options]): each entry of the list
# is "<picture> <svg under interface/> <W>x<H>", drawn into the folder.
macro(render_picture_list list folder)
  foreach(entry IN LISTS ${list})
    string(REGEX MATCH "^([^ ]+) +([^ ]+) +([0-9]+x[0-9]+)$" matched "${entry}")
    if(NOT matched)
      message(FATAL_ERROR "interface.cmake: cannot read \"${entry}\"")
    endif()
    set(out ${folder}/${CMAKE_MATCH_1})
    render_svg(OUTPUT ${out} SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/interface/${CMAKE_MATCH_2}
               ARGS --size ${CMAKE_MATCH_3} ${ARGN})
    list(APPEND demo_outputs ${out})
  endforeach()
endmacro()

# Pictures drawn as they are: output name, drawing under interface/, size.
set(interface_pictures
    "图片列表背景RED.png       list_background_red.svg      300x900"
    "图片列表背景BLUE.png      list_background_blue.svg     300x900"
    "图片框背景RED.png         cell_frame_red.svg           86x86"
    "图片框背景BLUE.png        cell_frame_blue.svg          86x86"
    "DressHouseMnu_Clear.png       menu_clear.svg          116x28"
    "DressHouseMnu_DeepDown.png    menu_deep_down.svg      56x32"
    "DressHouseMnu_DeepUp.png      menu_deep_up.svg        56x32"
    "DressHouseMnu_PicMovPlate.png menu_move_pad.svg       60x57"
    "DressHouseMnu_PlaNum1.png     menu_step_1.svg         22x20"
    "DressHouseMnu_PlaNum3.png     menu_step_3.svg         22x20"
    "DressHouseMnu_PlaNum7.png     menu_step_7.svg         22x20"
    "DressHouseMnu_Small.png       menu_small.svg          56x44"
    "DressHouseMnu_Large.png       menu_large.svg          56x44"
    "DressHouseMnu_ClothSEL.png    menu_cloth_select.svg   56x56"
    "DressHouseMnu_LDecoSEL.png    menu_deco_select.svg    56x56"
    "DressHouseMnu_ClothDel.png    menu_delete.svg         34x40"
    "DressHouseMnu_SaveDeco.png    menu_store_group.svg    104x28"
    "DressHouseMnu_PhotoShowOn.png  menu_photo_on.svg      116x34"
    "DressHouseMnu_PhotoShowOff.png menu_photo_off.svg     116x34"
    "DressHouseMnu_PhotoMovSca.png menu_photo_place.svg    116x34"
    "DressHouse_TipPhotoMov.png    tip_photo_move.svg      330x58"
    "DressHouse_TipPhotoMicro.png  tip_photo_fine.svg      330x58")
render_picture_list(interface_pictures ${sysproj})


# Room and platform backgrounds, listed by the background chooser by their
# name patterns "试衣间背景图*.jpg" and "试衣平台背景*.jpg"; the transparent room
# background is the platform seen through the stage (the program rewrites it).
set(background_pictures
    "试衣间背景图.jpg            room_boutique.svg       920x1040"
    "试衣间背景图_花园.jpg       room_garden.svg         920x1040"
    "试衣间背景图_摄影棚.jpg     room_studio.svg         920x1040"
    "试衣平台背景.jpg            platform_soft.svg       1920x1080"
    "试衣平台背景_木纹.jpg       platform_wood.svg       1920x1080")
render_picture_list(background_pictures ${DEMO_BASE_DIR}/服饰搭配背景图 --quality 90)

set(out ${DEMO_BASE_DIR}/服饰搭配背景图/kzv_透明试衣间背景.jpg)
render_svg(OUTPUT ${out} SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/interface/platform_soft.svg
           ARGS --view 730,280,460,520 --size 460x520 --quality 90)
list(APPEND demo_outputs ${out})
