# The demo show in "服饰发布展台图片": the script (written in GBK), the actors
# (figures dressed in the demo garments, as BMP pictures on the script's key
# colour RGB(255,0,255)) and the beats made by beat_maker: the show's own
# "T台节拍.wav" and the default beat "服饰搭配sysproj/kzv节奏音.wav".
# Included by demo/CMakeLists.txt, which collects demo_outputs.
set(show_dir ${DEMO_BASE_DIR}/服饰发布展台图片)
set(show_src ${CMAKE_CURRENT_SOURCE_DIR}/show)

add_executable(beat_maker ${show_src}/beat_maker.cpp)
target_link_libraries(beat_maker PRIVATE platform)
target_include_directories(beat_maker PRIVATE ${PROJECT_SOURCE_DIR})
foreach(beat "${show_dir}/T台节拍.wav|126|4|49" "${DEMO_BASE_DIR}/服饰搭配sysproj/kzv节奏音.wav|116|4|55")
  string(REPLACE "|" ";" beat "${beat}")
  list(GET beat 0 wav)
  list(GET beat 1 bpm)
  list(GET beat 2 bars)
  list(GET beat 3 root)
  get_filename_component(wav_dir ${wav} DIRECTORY)
  add_custom_command(OUTPUT ${wav}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${wav_dir}
      COMMAND beat_maker ${wav} ${bpm} ${bars} ${root}
      DEPENDS beat_maker COMMENT "Making the beat ${wav}" VERBATIM)
  list(APPEND demo_outputs ${wav})
endforeach()

# The script, in the GBK the show stage reads.
find_program(ICONV iconv REQUIRED)
set(script ${show_dir}/KZV动画描述.txt)
add_custom_command(OUTPUT ${script}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${show_dir}
    COMMAND ${ICONV} -f UTF-8 -t GBK -o ${script} ${show_src}/KZV动画描述.txt
    DEPENDS ${show_src}/KZV动画描述.txt COMMENT "Writing the show script in GBK" VERBATIM)
list(APPEND demo_outputs ${script})

# Actors: each line of actors.txt names a picture and its drawings.
set(actor_list ${show_src}/actors.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${actor_list})
file(STRINGS ${actor_list} actor_lines ENCODING UTF-8)
foreach(line IN LISTS actor_lines)
  if(line MATCHES "^[ \t]*(#|$)")
    continue()
  endif()
  string(REGEX REPLACE "[ \t]+" ";" words "${line}")
  list(POP_FRONT words name)
  set(inputs)
  foreach(drawing IN LISTS words)
    set(file ${CMAKE_CURRENT_SOURCE_DIR}/figures/${drawing}.svg)
    if(NOT EXISTS ${file})
      set(file ${CMAKE_CURRENT_SOURCE_DIR}/garments/${drawing}.svg)
    endif()
    if(NOT EXISTS ${file})
      message(FATAL_ERROR "show/actors.txt: no drawing ${drawing} in figures/ or garments/")
    endif()
    list(APPEND inputs ${file})
  endforeach()
  string(REPLACE ";" "|" joined "${inputs}")
  set(composed ${CMAKE_CURRENT_BINARY_DIR}/show/${name}.svg)
  add_custom_command(OUTPUT ${composed}
      COMMAND ${CMAKE_COMMAND} -DOUT=${composed} -DINPUTS=${joined} -P ${show_src}/compose_svg.cmake
      DEPENDS ${inputs} ${show_src}/compose_svg.cmake COMMENT "Dressing the actor ${name}" VERBATIM)
  set(bmp ${show_dir}/${name}.bmp)
  render_svg(OUTPUT ${bmp} SOURCE ${composed} ARGS --fit 120x270 --pad 1 --mask 255,0,255)
  list(APPEND demo_outputs ${bmp})
endforeach()
