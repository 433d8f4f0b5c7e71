# The market: order lines and the order file, the market view's menu and
# picture geometry (core); the market view, the order form, its grids, the
# order-list dialog and the child frame (window).
suite_core(market_core SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/market_menu.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/order_file.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/order_lines.cpp
  LINKS platform fitting_room_core)

suite_window(market_ui SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/market_child_frame.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/market_view.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/order_grid.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/order_list_dlg.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/sale_form.cpp
  LINKS market_core measure_core fitting_room_ui controls_ui platform_ui shell_core)
