# cueslides.exe exporting a deck through the test automation server, registered as the
# version-free "PowerPoint.Application", in the COM tests' settled prefix: per case the
# images (names, format, size), slides.txt, and whether the server was closed and quit.
# In: WINE, WINESERVER, BIN (cueslides.exe, pptserver.exe), WORKDIR.

# The deck: a paragraph end and a line break in a text, an 8-bit title, two notes (the
# body and a text box of its own), an untitled slide.
set(deck_show
    "slide Welcome\n"
    "text Cuemark\\rturns a talk\\vinto pages\n"
    "notes Say hello.\n"
    "slide Caf@E9@ results\n"
    "text first box\ntext second box\n"
    "notes Body note\nnotes A note of its own\n"
    "untitled\ntext Only a text\n")
string(ASCII 233 eacute)
# What cueslides writes of it, in UTF-8.
set(expected_text
    "Cuemark Slide Text\nslide 1\ntitle Welcome\ntext Cuemark\ntext turns a talk\n"
    "text into pages\nnote Say hello.\nslide 2\ntitle Café results\ntext first box\n"
    "text second box\nnote Body note\nnote A note of its own\nslide 3\ntext Only a text\n")
string(CONCAT expected_text ${expected_text})

# name | what the program held before | options | extension | width,height | quit calls
set(cases
    "idle program|idle|--width,320|gif|320,240|1"
    "operator's presentation|presentation C:/Talks/own.ppt|--format,png,--width,200|png|200,150|0")

set(ENV{WINEDEBUG} -all)
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR}/talks)
file(WRITE ${WORKDIR}/talks/lecture6.ppt "a deck")
set(failures "")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 held)
    list(GET fields 2 options)
    list(GET fields 3 extension)
    list(GET fields 4 size)
    list(GET fields 5 quits)
    string(REPLACE "," ";" options "${options}")
    # Each case in a wine session of its own, so no server of the last one answers.
    execute_process(COMMAND ${WINESERVER} -k ERROR_QUIET OUTPUT_QUIET)
    file(REMOVE_RECURSE ${WORKDIR}/talks/lecture6 ${WORKDIR}/served.txt)
    string(CONCAT show "${held}\nreport served.txt\n" ${deck_show})
    string(REPLACE "@E9@" "${eacute}" show "${show}")
    file(WRITE ${WORKDIR}/show.txt "${show}")
    # Output into files: a server or service wine starts keeps no pipe of ours open.
    execute_process(COMMAND ${WINE} ${BIN}/pptserver.exe /RegServer free show.txt
        WORKING_DIRECTORY ${WORKDIR} RESULT_VARIABLE status
        OUTPUT_FILE ${WORKDIR}/register.out ERROR_FILE ${WORKDIR}/register.err)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${name}: registering the server failed (${status})")
    endif()
    execute_process(COMMAND ${WINE} ${BIN}/cueslides.exe talks\\lecture6.ppt ${options}
        WORKING_DIRECTORY ${WORKDIR} RESULT_VARIABLE status TIMEOUT 60
        OUTPUT_FILE ${WORKDIR}/cueslides.out ERROR_FILE ${WORKDIR}/cueslides.err)
    file(READ ${WORKDIR}/cueslides.err errors)
    if(NOT status EQUAL 0 OR NOT errors STREQUAL "")
        string(APPEND failures "${name}: cueslides ended with ${status}: ${errors}\n")
        continue()
    endif()

    set(folder ${WORKDIR}/talks/lecture6)
    file(GLOB written RELATIVE ${folder} ${folder}/*)
    list(SORT written)
    set(expected sld001.${extension} sld002.${extension} sld003.${extension} slides.txt)
    if(NOT written STREQUAL expected)
        string(APPEND failures "${name}: wrote \"${written}\", not \"${expected}\"\n")
    endif()
    # The image's own size, read from its header.
    foreach(image sld001 sld002 sld003)
        if(NOT EXISTS ${folder}/${image}.${extension})
            continue()
        endif()
        file(READ ${folder}/${image}.${extension} head HEX LIMIT 24)
        if(extension STREQUAL "gif" AND head MATCHES "^474946383961(..)(..)(..)(..)")
            math(EXPR width "0x${CMAKE_MATCH_2}${CMAKE_MATCH_1}")
            math(EXPR height "0x${CMAKE_MATCH_4}${CMAKE_MATCH_3}")
        elseif(extension STREQUAL "png" AND head MATCHES
                "^89504e470d0a1a0a0000000d49484452(........)(........)")
            math(EXPR width "0x${CMAKE_MATCH_1}")
            math(EXPR height "0x${CMAKE_MATCH_2}")
        else()
            set(width "no ${extension}")
            set(height "")
        endif()
        if(NOT "${width},${height}" STREQUAL "${size}")
            string(APPEND failures "${name}: ${image} is ${width},${height}, not ${size}\n")
        endif()
    endforeach()
    if(EXISTS ${folder}/slides.txt)
        file(READ ${folder}/slides.txt text)
        string(REPLACE "\r\n" "\n" text "${text}")
        if(NOT text STREQUAL expected_text)
            string(APPEND failures "${name}: slides.txt reads\n${text}")
        endif()
    endif()
    # The deck closed again; the program quit only when it held nothing before.
    file(READ ${WORKDIR}/served.txt served)
    string(REPLACE "\r" "" served "${served}")
    if(NOT served MATCHES "\nopen 0\nquit ${quits}\n")
        string(APPEND failures "${name}: the server reports\n${served}")
    endif()
endforeach()
execute_process(COMMAND ${WINE} ${BIN}/pptserver.exe /UnregServer
    OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND ${WINESERVER} -k ERROR_QUIET OUTPUT_QUIET)
if(NOT failures STREQUAL "")
    message(FATAL_ERROR "${failures}")
endif()
