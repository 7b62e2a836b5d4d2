# The library's dynamic symbol table holds exactly the documented functions.
set(expected CloseConnect InitDispenser ModifySectorKey OpenConnect RF_Authenticate
    RF_GetLastError RF_WritrAuthenticate ReadBlock ReadCardID ReaderBeep ReaderLed
    ReaderVersion ResetCard WriteBlock)
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE listing
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(exported)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* " "" symbol "${line}")
  list(APPEND exported ${symbol})
endforeach()
list(SORT exported)
list(SORT expected)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "exported: ${exported}\nexpected: ${expected}")
endif()
