# MARC records, standard numbers and prices.
velmora_test(marc SOURCES tst_marc.cpp LINK velmora_netcat)
velmora_test(price SOURCES tst_price.cpp LINK velmora_netcat)
velmora_fuzz(marc SOURCES tst_marc_fuzz.cpp LINK velmora_netcat
             CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/data/marc-corpus SECONDS 40)
# The velmora-admin commands, built from their own sources so they need no database code.
velmora_test(marc_commands SOURCES tst_marc_commands.cpp ${CMAKE_SOURCE_DIR}/src/admin/PriceCommand.cpp
             ${CMAKE_SOURCE_DIR}/src/admin/MarcCommand.cpp LINK velmora_netcat)
