# cmake -DOUT=<file.svg> -DINPUTS=<a.svg|b.svg|...> -P compose_svg.cmake
# Lays drawings of the shared 500 x 1000 figure frame over each other, in
# order, as one drawing: a dressed actor from a figure and its garments. Each
# drawing's ids get a prefix of their own so that gradients do not collide.
string(REPLACE "|" ";" inputs "${INPUTS}")
set(body "")
set(i 0)
foreach(input IN LISTS inputs)
  file(READ ${input} text)
  string(FIND "${text}" "<svg" start)
  string(SUBSTRING "${text}" ${start} -1 text)
  string(FIND "${text}" ">" open)
  math(EXPR open "${open} + 1")
  string(SUBSTRING "${text}" ${open} -1 text)
  string(FIND "${text}" "</svg>" close REVERSE)
  string(SUBSTRING "${text}" 0 ${close} text)
  string(REPLACE "id=\"" "id=\"d${i}_" text "${text}")
  string(REPLACE "url(#" "url(#d${i}_" text "${text}")
  string(REPLACE "href=\"#" "href=\"#d${i}_" text "${text}")
  string(APPEND body "<g>${text}</g>\n")
  math(EXPR i "${i} + 1")
endforeach()
file(WRITE ${OUT} "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 500 1000\">\n${body}</svg>\n")
