# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a generator twice into OUTPUT_DIR and fails unless both runs agree byte for byte with
# each other and with the committed copies in REFERENCE_DIR, and, when EXPECTED is given,
# unless it wrote exactly those comma-separated files. UPDATE_TARGET names the target that
# rewrites the committed copies.
foreach(var IN ITEMS GENERATOR REFERENCE_DIR OUTPUT_DIR UPDATE_TARGET)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "CompareGenerated.cmake needs -D${var}=...")
    endif()
endforeach()

file(REMOVE_RECURSE "${OUTPUT_DIR}")
foreach(run IN ITEMS first second)
    execute_process(COMMAND "${GENERATOR}" "${OUTPUT_DIR}/${run}" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${GENERATOR} failed: ${rc}")
    endif()
endforeach()

file(GLOB_RECURSE generated RELATIVE "${OUTPUT_DIR}/first" "${OUTPUT_DIR}/first/*")
if(NOT generated)
    message(FATAL_ERROR "${GENERATOR} wrote nothing")
endif()
list(SORT generated)

string(REPLACE "," ";" expected "${EXPECTED}")
list(SORT expected)
if(DEFINED EXPECTED AND NOT generated STREQUAL expected)
    set(missing ${expected})
    list(REMOVE_ITEM missing ${generated})
    set(extra ${generated})
    list(REMOVE_ITEM extra ${expected})
    message(FATAL_ERROR "The generator's files differ from the expected list.\n"
        "  not written: ${missing}\n  not expected: ${extra}")
endif()

set(unstable)
set(stale)
foreach(name IN LISTS generated)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
        "${OUTPUT_DIR}/first/${name}" "${OUTPUT_DIR}/second/${name}" RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        list(APPEND unstable "${name}")
    endif()
    if(NOT EXISTS "${REFERENCE_DIR}/${name}")
        list(APPEND stale "${name} (missing)")
        continue()
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
        "${OUTPUT_DIR}/first/${name}" "${REFERENCE_DIR}/${name}" RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        list(APPEND stale "${name}")
    endif()
endforeach()

if(unstable)
    list(JOIN unstable "\n  " text)
    message(FATAL_ERROR "Two runs of the generator disagree on:\n  ${text}")
endif()
if(stale)
    list(JOIN stale "\n  " text)
    message(FATAL_ERROR "Out of date in ${REFERENCE_DIR}:\n  ${text}\n"
        "Regenerate with: cmake --build <build-dir> --target ${UPDATE_TARGET}")
endif()
list(LENGTH generated count)
message(STATUS "${count} generated files match ${REFERENCE_DIR}")
