# Compiles the core layers, which need no Qt, with the i686 mingw-w64 cross compiler, links
# the COM binding into a PE32 program, and checks both are 32-bit x86 code.
# In: COMPILER, SOURCE_DIR, GENERATED_DIR (headers written by the build), SOURCES
# (separated by "|"), PROBE, WORKDIR.
if(NOT COMPILER)
    message(FATAL_ERROR "i686-w64-mingw32-g++ is not installed (make deps installs g++-mingw-w64-i686)")
endif()
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
# The definitions of the Windows builds (cmake/mingw-w64-common.cmake): the Unicode calls.
set(FLAGS -std=c++20 -O0 -Wall -Wextra -Werror -Wno-unused-parameter
    -Wno-missing-field-initializers -I${SOURCE_DIR} -I${GENERATED_DIR}
    -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601)

# The machine field of a COFF header: 4c01 is i386.
function(expect_i386 hexAtOffset what)
    if(NOT hexAtOffset STREQUAL "4c01")
        message(FATAL_ERROR "${what} is not 32-bit x86 code (machine ${hexAtOffset})")
    endif()
endfunction()

string(REPLACE "|" ";" SOURCES "${SOURCES}")
set(OBJECTS)
foreach(src ${SOURCES})
    string(REPLACE "/" "_" obj ${src})
    set(obj ${WORKDIR}/${obj}.o)
    execute_process(COMMAND ${COMPILER} ${FLAGS} -c ${SOURCE_DIR}/${src} -o ${obj}
        RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "cross compile of ${src} failed")
    endif()
    file(READ ${obj} machine LIMIT 2 HEX)
    expect_i386("${machine}" ${src})
    list(APPEND OBJECTS ${obj})
endforeach()

set(EXE ${WORKDIR}/comprobe.exe)
execute_process(COMMAND ${COMPILER} ${FLAGS} ${PROBE}
    ${SOURCE_DIR}/logger/comautomation.cpp ${SOURCE_DIR}/logger/automation.cpp
    -o ${EXE} -static-libgcc -static-libstdc++ -lole32 -loleaut32 -luuid
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "linking the COM probe failed")
endif()

# A PE file: "MZ", the PE header's offset at 0x3c, "PE\0\0" there and the machine.
file(READ ${EXE} mz LIMIT 2 HEX)
file(READ ${EXE} peOffsetHex LIMIT 4 OFFSET 60 HEX)
string(SUBSTRING ${peOffsetHex} 0 2 b0)
string(SUBSTRING ${peOffsetHex} 2 2 b1)
math(EXPR peOffset "0x${b1}${b0}")
file(READ ${EXE} signature LIMIT 4 OFFSET ${peOffset} HEX)
math(EXPR machineOffset "${peOffset} + 4")
file(READ ${EXE} machine LIMIT 2 OFFSET ${machineOffset} HEX)
if(NOT mz STREQUAL "4d5a" OR NOT signature STREQUAL "50450000")
    message(FATAL_ERROR "comprobe.exe is not a PE file")
endif()
expect_i386("${machine}" comprobe.exe)
list(LENGTH OBJECTS count)
message(STATUS "PE32 comprobe.exe linked; ${count} core sources compiled for i686")
