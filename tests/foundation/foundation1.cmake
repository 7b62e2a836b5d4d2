velmora_test(configs SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_configs.cpp)
velmora_test(schema DATABASE SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_schema.cpp)
velmora_test(connection DATABASE SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_connection.cpp)
velmora_test(application GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_application.cpp)
