# The market window's menu buttons under "服饰搭配sysproj": "marketMnu_<x>.png"
# for the chosen button and "marketMnu_<x>(no).png" for the others, made from
# one template. Included by demo/CMakeLists.txt, which collects demo_outputs.
set(market_made ${CMAKE_CURRENT_BINARY_DIR}/market)
set(market_sysproj ${DEMO_BASE_DIR}/服饰搭配sysproj)

# Face light/dark, edge, rule and text: chosen, then not chosen.
set(market_on  "#f7a35c;#d9641e;#8a3a0c;#ffe1c4;#ffffff")
set(market_off "#fbf8f3;#e6dfd3;#9b8d78;#ffffff;#5a4a36")

# Marks: a small figure before the word.
set(mark_man   [[<circle cx="14" cy="15" r="3.2" fill="@TEXT@"/><path d="M9.5 27 L10.5 20.5 L17.5 20.5 L18.5 27 Z" fill="@TEXT@"/>]])
set(mark_woman [[<circle cx="14" cy="15" r="3.2" fill="@TEXT@"/><path d="M8.5 28 L11.5 20 L16.5 20 L19.5 28 Z" fill="@TEXT@"/>]])
set(mark_child [[<circle cx="14" cy="17" r="2.8" fill="@TEXT@"/><path d="M10.5 27.5 L11.5 21.5 L16.5 21.5 L17.5 27.5 Z" fill="@TEXT@"/>]])
set(mark_self  [[<path d="M9 14 L19 14 L19 27 L9 27 Z M11 17 L17 17 M11 20 L17 20 M11 23 L15 23" fill="none" stroke="@TEXT@" stroke-width="1.4"/>]])
set(mark_face  [[<path d="M8.5 14.5 L13 14.5 L13 19 L8.5 19 Z M15 14.5 L19.5 14.5 L19.5 19 L15 19 Z M8.5 21 L13 21 L13 25.5 L8.5 25.5 Z M15 21 L19.5 21 L19.5 25.5 L15 25.5 Z" fill="@TEXT@"/>]])

function(make_market_button name label mark colours size)
  list(GET colours 0 FACE_LIGHT)
  list(GET colours 1 FACE_DARK)
  list(GET colours 2 EDGE)
  list(GET colours 3 RULE)
  list(GET colours 4 TEXT)
  set(LABEL ${label})
  set(FONT_SIZE ${size})
  set(TEXT_X 46)
  string(CONFIGURE "${mark}" MARK @ONLY)
  set(drawing ${market_made}/${name}.svg)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/interface/templates/market_button.svg.in ${drawing} @ONLY)
  set(out ${market_sysproj}/${name}.png)
  render_svg(OUTPUT ${out} SOURCE ${drawing} ARGS --size 78x35)
  set(demo_outputs ${demo_outputs} ${out} PARENT_SCOPE)
endfunction()

foreach(entry "man;男装;13" "woman;女装;13" "child;童装;13" "self;自选项目;11.5" "face;换样式;12")
  list(GET entry 0 key)
  list(GET entry 1 word)
  list(GET entry 2 size)
  make_market_button("marketMnu_${key}" ${word} "${mark_${key}}" "${market_on}" ${size})
  make_market_button("marketMnu_${key}(no)" ${word} "${mark_${key}}" "${market_off}" ${size})
endforeach()
