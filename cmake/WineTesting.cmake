# Windows test programs built here run under Wine: in a prefix of this build's own (made on first
# use, so a fresh clone needs nothing set up by hand) and with one wine server that the CTest
# fixture "wine" starts before them and stops after them.
set(MOTOR_PANEL_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh ${MOTOR_PANEL_WINE_DIR})

add_test(NAME wine_server_start
         COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-server.sh start ${MOTOR_PANEL_WINE_DIR})
add_test(NAME wine_server_stop
         COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-server.sh stop ${MOTOR_PANEL_WINE_DIR})
set_tests_properties(wine_server_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine)
