# Runs one script under cuescript in a fresh work folder holding a copy of the samples,
# and compares what it printed with the script's .expected file.
#   cmake -DCUESCRIPT=... -DSCRIPT=x.cues -DWORKDIR=... -DSAMPLES=... -P runscript.cmake
# A first line "# exit: N" in the script sets the expected exit status (default 0); a
# sibling .stderr file, when there is one, is what the error output must be. Each line
# "# file: PATH" appends "file PATH" and that file's bytes (relative to the work folder)
# to the output, so a golden shows what the run wrote.

foreach(var CUESCRIPT SCRIPT WORKDIR SAMPLES)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "runscript: -D${var}=... is missing")
    endif()
endforeach()

get_filename_component(script_dir ${SCRIPT} DIRECTORY)
get_filename_component(script_name ${SCRIPT} NAME_WE)
set(expected_file ${script_dir}/${script_name}.expected)
if(NOT EXISTS ${expected_file})
    message(FATAL_ERROR "runscript: ${expected_file} is missing")
endif()

file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
if(IS_DIRECTORY ${SAMPLES})
    file(COPY ${SAMPLES} DESTINATION ${WORKDIR})
else()
    file(MAKE_DIRECTORY ${WORKDIR}/samples)
endif()

set(expected_status 0)
file(STRINGS ${SCRIPT} first_line LIMIT_COUNT 1)
if(first_line MATCHES "^# exit: ([0-9]+)")
    set(expected_status ${CMAKE_MATCH_1})
endif()

execute_process(
    COMMAND ${CUESCRIPT} ${SCRIPT}
    WORKING_DIRECTORY ${WORKDIR}
    OUTPUT_VARIABLE actual
    ERROR_VARIABLE errors
    RESULT_VARIABLE status)

file(STRINGS ${SCRIPT} file_lines REGEX "^# file: ")
foreach(line ${file_lines})
    string(REGEX REPLACE "^# file: " "" shown ${line})
    string(APPEND actual "file ${shown}\n")
    if(EXISTS ${WORKDIR}/${shown})
        file(READ ${WORKDIR}/${shown} bytes)
        string(APPEND actual "${bytes}")
    else()
        string(APPEND actual "(missing)\n")
    endif()
endforeach()

file(READ ${expected_file} expected)
set(failed FALSE)
if(NOT actual STREQUAL expected)
    set(failed TRUE)
    file(WRITE ${WORKDIR}/actual.out "${actual}")
    find_program(DIFF diff)
    if(DIFF)
        execute_process(COMMAND ${DIFF} -u ${expected_file} ${WORKDIR}/actual.out
                        OUTPUT_VARIABLE difference)
        message("Output differs from ${expected_file} (- expected, + actual):\n${difference}")
    else()
        message("Expected output:\n${expected}\nActual output:\n${actual}")
    endif()
endif()
set(stderr_file ${script_dir}/${script_name}.stderr)
if(EXISTS ${stderr_file})
    file(READ ${stderr_file} expected_errors)
    if(NOT errors STREQUAL expected_errors)
        set(failed TRUE)
        message("Error output differs from ${stderr_file}:\n${errors}")
    endif()
endif()
if(NOT status STREQUAL expected_status)
    set(failed TRUE)
    message("Exit status ${status}, expected ${expected_status}")
endif()
if(failed)
    if(errors)
        message("Error output:\n${errors}")
    endif()
    message(FATAL_ERROR "script ${script_name} failed")
endif()
