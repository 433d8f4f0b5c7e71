# The market: order lines, the order file and the view's menu without a
# display; the market window under Xvfb.
suite_gtest(market_tests
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/order_lines_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/order_file_test.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/market_menu_test.cpp
    LINKS market_core)

suite_gtest(market_window_tests SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/window/market_window_test.cpp
    LINKS market_ui shell_ui DISPLAY)
