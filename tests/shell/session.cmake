velmora_test(parameters DATABASE GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_parameters.cpp LINK velmora_shell)
velmora_test(session_wiring DATABASE GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_session_wiring.cpp LINK velmora_shell)
