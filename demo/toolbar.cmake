# The fitting room's picture toolbar under "服饰搭配sysproj": twelve picture
# buttons (PNG) and an open and a closed ".ico" icon for each category.
# Included by demo/CMakeLists.txt, which collects demo_outputs.
add_executable(ico_pack ${CMAKE_CURRENT_SOURCE_DIR}/ico_pack.cpp)
target_link_libraries(ico_pack PRIVATE suite_wx)

set(toolbar_pictures
    "DressTBAR_AddRepCloth.png  toolbar/add_replace.svg       44x44"
    "DressTBAR_womanModel.png   toolbar/woman_model.svg       44x44"
    "DressTBAR_SWITCHFORM.png   toolbar/switch_form.svg       44x44"
    "DressTBAR_FlashVideo.png   toolbar/show_pictures.svg     44x44"
    "DressTBAR_MUSICSOUND.png   toolbar/music.svg             40x40"
    "DressTBAR_GoWeb.png        toolbar/go_web.svg            44x44"
    "DressTBAR_CAMERA.png       toolbar/camera.svg            40x40"
    "DressTBAR_PHOTO.png        toolbar/photo.svg             44x44"
    "DressTBAR_HouseMnu.png     toolbar/house_menu.svg        40x40"
    "DressTBAR_HousBkg.png      toolbar/house_background.svg  36x36"
    "DressTBAR_PlateBkg.png     toolbar/plate_background.svg  34x34"
    "DressTBAR_HELP.png         toolbar/help.svg              34x34")
render_picture_list(toolbar_pictures ${sysproj})

foreach(pair "自选;custom" "童装;children" "女装;women" "男装;men")
  list(GET pair 0 word)
  list(GET pair 1 drawing)
  foreach(state Open Close)
    set(png ${made}/toolbar_${drawing}_${state}.png)
    render_svg(OUTPUT ${png} SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/interface/toolbar/${drawing}_${state}.svg
               ARGS --size 42x42)
    set(ico ${sysproj}/${word}${state}.ico)
    add_custom_command(OUTPUT ${ico} COMMAND ico_pack ${png} ${ico} DEPENDS ${png} ico_pack
                       COMMENT "Packing ${word}${state}.ico" VERBATIM)
    list(APPEND demo_outputs ${ico})
  endforeach()
endforeach()
