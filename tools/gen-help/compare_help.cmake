# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when the committed help page is not what its sources and the string table make.
string(REPLACE "|" ";" sources "${SOURCES}")
execute_process(COMMAND ${PYTHON} ${SCRIPT} ${TABLE} ${OUT} ${sources} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "make_help.py failed")
endif()
file(SHA256 ${OUT} made)
file(SHA256 ${COMMITTED} kept)
if(NOT made STREQUAL kept)
    message(FATAL_ERROR "resources/help/VELMAR.html is out of date: build velmar_update_help")
endif()
