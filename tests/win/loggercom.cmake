# A logger bound to the test automation server through COM, driven at its window like an
# operator, in a wine prefix of its own on the virtual display xvfb-run gives it.
#   MODE=road      the server registered, a show logged (forward, back, ended, restarted),
#                  End Log confirmed; the log is checked and kept in WORKDIR for the import
#   MODE=noserver  no server registered: the error box, Open Log again, the window closed
#   MODE=busy7, busy8  cuerec7 or cuerec8 through two busy spells of the server: a short
#                  one ridden out within a call, and one that lasts several polls, in which
#                  the slide changed; the log holds each slide once, the server was bound
#                  once, and the status line said busy
#   MODE=import    the Linux cuescript (CUESCRIPT) reads the road's log in cuebuild and dumps
#                  the grid; the rows are compared, their times masked
# In: MODE, WORKDIR, EXPECTED, and for the Windows modes WINE, WINESERVER, PREFIX, BIN
# (the folder of cuerec8.exe, pptserver.exe, windriver.exe), PICTURES.

function(check_output actual)
    file(READ ${EXPECTED} expected)
    if(NOT actual STREQUAL expected)
        file(WRITE ${WORKDIR}/actual.out "${actual}")
        execute_process(COMMAND diff -u ${EXPECTED} ${WORKDIR}/actual.out)
        message(FATAL_ERROR "${MODE}: the output differs from ${EXPECTED}")
    endif()
endfunction()

if(MODE STREQUAL "import")
    if(NOT EXISTS "${CUESCRIPT}")
        message("skipped: no Linux build's cuescript (${CUESCRIPT}) to read the log; build "
                "build/ first or configure with -DCUE_HOST_BUILD=<Linux build>")
        return()
    endif()
    get_filename_component(tests ${WORKDIR} DIRECTORY)
    set(log ${tests}/logger_com_road/talk.txt)
    if(NOT EXISTS ${log})
        message(FATAL_ERROR "import: the road's log ${log} is missing")
    endif()
    file(REMOVE_RECURSE ${WORKDIR})
    file(MAKE_DIRECTORY ${WORKDIR})
    file(COPY ${log} DESTINATION ${WORKDIR})
    file(WRITE ${WORKDIR}/import.cues "program cuebuild\ndialog talk.txt\nclick mnuRdLog\ndump\n")
    execute_process(COMMAND ${CUESCRIPT} import.cues WORKING_DIRECTORY ${WORKDIR}
        OUTPUT_VARIABLE dump RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "import: cuescript ended with ${status}:\n${dump}")
    endif()
    # The rows, with their lengths and times as "t": those follow the real clock.
    string(REGEX MATCHALL "\n  (row|state RowCount)[^\n]*" rows "${dump}")
    string(REPLACE ";" "" rows "${rows}")
    string(REGEX REPLACE "\"[0-9][0-9]:[0-9][0-9]:[0-9][0-9]\"" "t" rows "${rows}")
    check_output("${rows}\n")
    return()
endif()

set(ENV{WINEPREFIX} ${PREFIX})
set(ENV{WINEDEBUG} -all)
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=")
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR} ${PICTURES})
# The prefix's own wineserver is started on this display (one left from a run on another
# display would hold windows there), and kept running with its services from outside the
# pipe below: a wineserver started inside it would hold the pipe open.
execute_process(COMMAND ${WINESERVER} -k ERROR_QUIET OUTPUT_QUIET)
execute_process(COMMAND ${WINESERVER} -p OUTPUT_FILE ${WORKDIR}/wineserver.out
    ERROR_FILE ${WORKDIR}/wineserver.err)

set(server ${BIN}/pptserver.exe)
execute_process(COMMAND ${WINE} ${server} /UnregServer RESULT_VARIABLE status
    OUTPUT_FILE ${WORKDIR}/wine.out ERROR_FILE ${WORKDIR}/wine.err)
if(MODE STREQUAL "road")
    # Four slides, one without a title; two polls between steps.
    file(WRITE ${WORKDIR}/show.txt
        "presentation C:\\Talks\\lecture6.ppt\n"
        "slide Welcome\n"
        "slide Agenda, week 2\n"
        "untitled\n"
        "slide Caf\\xe9 results\n"
        "step 2 start 1\nstep 2 goto 2\nstep 2 goto 3\nstep 2 goto 2\nstep 2 end\n"
        "step 4 start 3\nstep 2 goto 4\n")
    # CMake strings hold no byte escapes: the 8-bit title is written by sed-free means.
    file(READ ${WORKDIR}/show.txt show)
    string(ASCII 233 eacute)
    string(REPLACE "\\xe9" "${eacute}" show "${show}")
    file(WRITE ${WORKDIR}/show.txt "${show}")
    execute_process(COMMAND ${WINE} ${server} /RegServer 8 show.txt
        WORKING_DIRECTORY ${WORKDIR} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "road: registering the server failed (${status})")
    endif()
    set(log ${WORKDIR}/talk)
    set(steps window "Cuemark Logger 8" file "Log File" ${log}
        lines ${WORKDIR}/talk.txt 4 shot logger_com_binding
        lines ${WORKDIR}/talk.txt 7
        click "Cuemark Logger 8" "End Log" box "End Log" OK gone "Cuemark Logger 8")
elseif(MODE MATCHES "^busy([78])$")
    set(version ${CMAKE_MATCH_1})
    set(logger cuerec${version})
    set(title "Cuemark Logger ${version}")
    file(WRITE ${WORKDIR}/show.txt
        "presentation C:\\Talks\\lecture6.ppt\n"
        "slide Welcome\n"
        "slide Agenda\n"
        "report served.txt\n"
        "step 2 start 1\nstep 2 busy 100\nstep 2 goto 2\nstep 0 busy 3000\nstep 2 end\n")
    execute_process(COMMAND ${WINE} ${server} /RegServer ${version} show.txt
        WORKING_DIRECTORY ${WORKDIR} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${MODE}: registering the server failed (${status})")
    endif()
    set(log ${WORKDIR}/talk)
    set(steps window ${title} file "Log File" ${log} lines ${WORKDIR}/talk.txt 1
        label ${title} "is busy since" label ${title} "answers again since"
        lines ${WORKDIR}/talk.txt 3
        click ${title} "End Log" box "End Log" OK gone ${title})
else()
    set(steps window "Cuemark Logger 8" see "Cuemark Logger" shot logger_com_noserver
        box "Cuemark Logger" OK click "Cuemark Logger 8" "Open Log" box "Cuemark Logger" OK
        close "Cuemark Logger 8" gone "Cuemark Logger 8")
endif()

# The logger, the driver and a reader of the driver's lines run side by side; the reader
# takes the screen when asked and answers through NAME.done.
file(WRITE ${WORKDIR}/shots.sh [[
cr=$(printf '\r')
while IFS= read -r line; do
    line=${line%"$cr"}
    case "$line" in
    "screenshot "*)
        name=${line#screenshot }
        import -window root "$PICTURES/$name.png" && echo "screenshot $name"
        : > "$name.done" ;;
    *) printf '%s\n' "$line" ;;
    esac
done
]])
set(ENV{PICTURES} ${PICTURES})
if(NOT logger)
    set(logger cuerec8)
endif()
execute_process(
    COMMAND ${WINE} ${BIN}/${logger}.exe
    COMMAND ${WINE} ${BIN}/windriver.exe ${steps}
    COMMAND sh ${WORKDIR}/shots.sh
    WORKING_DIRECTORY ${WORKDIR}
    TIMEOUT 150
    OUTPUT_VARIABLE driven
    RESULTS_VARIABLE statuses)
execute_process(COMMAND ${WINE} ${server} /UnregServer)
execute_process(COMMAND ${WINESERVER} -k ERROR_QUIET OUTPUT_QUIET)
string(REPLACE "\r" "" driven "${driven}")
# The driver shows the log's name as the dialog took it: on wine's Z: drive, with '\'.
string(REPLACE "/" "\\" wine_log "Z:${log}")
string(REPLACE "${wine_log}" "LOG" driven "${driven}")
string(REPLACE "${log}" "LOG" driven "${driven}")
if(NOT statuses MATCHES "^0;0;0$")
    message(FATAL_ERROR "${MODE}: the logger, driver and reader ended with ${statuses}:\n${driven}")
endif()

if(NOT MODE STREQUAL "noserver")
    # The log without its clock fields: kind and what follows the time of day.
    file(READ ${WORKDIR}/talk.txt bytes)
    string(REGEX REPLACE "[^\n]* , (Slide|Event) , [^,]* , [^,]* , " "\\1 , " lines "${bytes}")
    string(APPEND driven "log\n${lines}")
endif()
if(MODE MATCHES "^busy")
    # The server's own count: bound once at start-up, and calls turned away.
    file(READ ${WORKDIR}/served.txt served)
    string(REGEX REPLACE "rejected [1-9][0-9]*" "rejected some" served "${served}")
    string(REPLACE "\r" "" served "${served}")
    string(APPEND driven "served\n${served}")
    file(READ ${EXPECTED} expected)
    string(REPLACE "@VERSION@" "${version}" expected "${expected}")
    file(WRITE ${WORKDIR}/expected.out "${expected}")
    set(EXPECTED ${WORKDIR}/expected.out)
endif()
check_output("${driven}")
