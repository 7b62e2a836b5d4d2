velmora_test(inputcode SOURCES tst_inputcode.cpp LINK velmora_inputcode)

# The command runs the real velmora-admin, standard input included.
velmora_test(inputcode_command SOURCES tst_inputcode_command.cpp)
add_dependencies(test_catalogue_inputcode_command velmora-admin)
target_compile_definitions(test_catalogue_inputcode_command PRIVATE
                           VELMORA_ADMIN="$<TARGET_FILE:velmora-admin>")
