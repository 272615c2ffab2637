# Fails unless LIBRARY exports exactly the twelve engine functions.
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
    OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${out}")
set(exported)
foreach(line IN LISTS lines)
    # "address type name"; only code and data symbols are exports.
    if(line MATCHES "^[0-9a-fA-F]+ [TDBRVWtdbr] ([^ ]+)$")
        list(APPEND exported ${CMAKE_MATCH_1})
    endif()
endforeach()
list(SORT exported)
set(expected lxv_closefile lxv_find lxv_history_clear lxv_history_count lxv_history_getword
    lxv_openfile lxv_print_buf lxv_printhtml_buf lxv_wordlist_at lxv_wordlist_count
    lxv_wordlist_nearest lxv_wordlist_on)
if(NOT exported STREQUAL expected)
    message(FATAL_ERROR "exported: ${exported}\nexpected: ${expected}")
endif()
message(STATUS "liblexicore exports exactly: ${exported}")
