# The client's manual of the camera and the photo editor, which "查看操作说明"
# opens: the Word document "Lumora服饰搭配之摄像头拍照及图片编辑.doc" in the
# base directory, converted from the flat OpenDocument source here by the
# office suite's converter (libreoffice-writer-nogui; tools/setup.sh installs
# it). The converter runs on a profile of its own in the build folder, so it
# neither needs nor touches the user's.
find_program(DEMO_SOFFICE soffice)
if(NOT DEMO_SOFFICE)
  message(FATAL_ERROR "soffice is needed to build the manual document of the demo base: "
                      "install libreoffice-writer-nogui (bash tools/setup.sh)")
endif()
set(manual_source ${CMAKE_CURRENT_SOURCE_DIR}/manual/camera_photo_manual.fodt)
set(manual_work ${CMAKE_CURRENT_BINARY_DIR}/manual)
set(manual_doc ${DEMO_BASE_DIR}/Lumora服饰搭配之摄像头拍照及图片编辑.doc)
add_custom_command(
  OUTPUT ${manual_doc}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${manual_work}
  COMMAND ${DEMO_SOFFICE} --headless --norestore -env:UserInstallation=file://${manual_work}/profile
          --convert-to "doc:MS Word 97" --outdir ${manual_work} ${manual_source}
  COMMAND ${CMAKE_COMMAND} -E copy ${manual_work}/camera_photo_manual.doc ${manual_doc}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${manual_work}/profile
  DEPENDS ${manual_source}
  COMMENT "Writing demo-base/Lumora服饰搭配之摄像头拍照及图片编辑.doc"
  VERBATIM)
list(APPEND demo_outputs ${manual_doc})
