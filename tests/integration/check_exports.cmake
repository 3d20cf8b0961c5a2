# Compares the dynamic symbols a shared library defines with a list.
execute_process(COMMAND nm -D --defined-only --format=just-symbols ${LIBRARY}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" symbols "${symbols}")
list(REMOVE_ITEM symbols "")
list(SORT symbols)
file(STRINGS ${EXPECTED} expected)
list(SORT expected)
if(NOT symbols STREQUAL expected)
  message(FATAL_ERROR "exported symbols differ.\nexported: ${symbols}\nexpected: ${expected}")
endif()
