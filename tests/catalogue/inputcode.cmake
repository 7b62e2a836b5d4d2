velmora_test(inputcode SOURCES tst_inputcode.cpp LINK velmora_inputcode)

# The command runs the real velmora-admin, standard input included.
velmora_test(inputcode_command SOURCES tst_inputcode_command.cpp)
add_dependencies(test_catalogue_inputcode_command velmora-admin)
target_compile_definitions(test_catalogue_inputcode_command PRIVATE
                           VELMORA_ADMIN="$<TARGET_FILE:velmora-admin>")

# The committed pinyin table is exactly what the generator makes of the installed Unihan data.
find_program(PYTHON3_PROGRAM python3)
if(PYTHON3_PROGRAM AND EXISTS /usr/share/unicode/Unihan_Readings.txt.bz2)
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/PinyinTable.cpp)
  add_test(NAME catalogue.inputcode_table
           COMMAND ${PYTHON3_PROGRAM} ${CMAKE_SOURCE_DIR}/tools/gen-pinyin-table.py --output ${generated})
  add_test(NAME catalogue.inputcode_table_committed
           COMMAND ${CMAKE_COMMAND} -E compare_files ${generated} ${CMAKE_SOURCE_DIR}/src/catalogue/inputcode/PinyinTable.cpp)
  set_tests_properties(catalogue.inputcode_table PROPERTIES LABELS catalogue FIXTURES_SETUP pinyin_table)
  set_tests_properties(catalogue.inputcode_table_committed PROPERTIES LABELS catalogue FIXTURES_REQUIRED pinyin_table)
endif()
