# Helpers that hold the level map: a core library never sees wx (a wx include
# there fails to compile, as the wx include path is not on it), a window
# library does, and every window library shares one precompiled wx header.

add_library(suite_wx INTERFACE)
target_include_directories(suite_wx SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
target_compile_definitions(suite_wx INTERFACE ${wxWidgets_DEFINITIONS})
target_compile_options(suite_wx INTERFACE ${wxWidgets_CXX_FLAGS})
target_link_libraries(suite_wx INTERFACE ${wxWidgets_LIBRARIES})

add_library(suite_wx_pch STATIC ${PROJECT_SOURCE_DIR}/cmake/wx_pch.cpp)
target_include_directories(suite_wx_pch PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(suite_wx_pch PUBLIC suite_wx)
target_precompile_headers(suite_wx_pch PRIVATE
    <wx/wx.h> <wx/graphics.h> <wx/dcmemory.h> <wx/image.h>
    <string> <vector> <memory> <functional>)

# suite_core(<name> SOURCES ... LINKS ...): logic without windows.
function(suite_core name)
  cmake_parse_arguments(A "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_LINKS})
endfunction()

# suite_window(<name> SOURCES ... LINKS ...): window code on top of the cores.
function(suite_window name)
  cmake_parse_arguments(A "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC suite_wx ${A_LINKS})
  target_precompile_headers(${name} REUSE_FROM suite_wx_pch)
endfunction()

# suite_gtest(<name> SOURCES ... LINKS ... [DISPLAY]): a test program.
# DISPLAY marks tests that open windows (an X server; Xvfb in CI) and links
# the main that starts wx; logic tests use GoogleTest's own main.
function(suite_gtest name)
  cmake_parse_arguments(A "DISPLAY" "" "SOURCES;LINKS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LINKS} suite_test_support GTest::gmock)
  if(A_DISPLAY)
    target_link_libraries(${name} PRIVATE suite_test_wx_main)
    set_property(GLOBAL APPEND PROPERTY SUITE_DISPLAY_TESTS ${name})
    # Window tests share one X server, its focus and its synthetic input:
    # they run one at a time.
    set(props LABELS display RESOURCE_LOCK x_display)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
    set(props LABELS logic)
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES ${props}
    DISCOVERY_TIMEOUT 60)
endfunction()
