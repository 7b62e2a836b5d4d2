# HTML parser and selector queries.
velmora_test(html SOURCES tst_html.cpp LINK velmora_netcat)
velmora_test(htmlselector SOURCES tst_htmlselector.cpp LINK velmora_netcat)
velmora_fuzz(html SOURCES tst_html_fuzz.cpp LINK velmora_netcat
             CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/data/html-corpus SECONDS 40)
# The velmora-admin command, built from its own source so it needs no database code.
velmora_test(html_command SOURCES tst_html_command.cpp ${CMAKE_SOURCE_DIR}/src/admin/HtmlCommand.cpp
             LINK velmora_netcat)
