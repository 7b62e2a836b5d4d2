# HTML parser and selector queries.
velmora_test(html SOURCES tst_html.cpp LINK velmora_netcat)
velmora_test(htmlselector SOURCES tst_htmlselector.cpp LINK velmora_netcat)
