velmora_test(shutdown GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_shutdown.cpp LINK velmora_shell)
velmora_test(startup DATABASE GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_startup.cpp LINK velmora_shell)
