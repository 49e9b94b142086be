# Runs the whole road of the sample lecture under cuescript, in a fresh folder: cuerec8
# records the talk on the substitute presentation program into talk/lecture6.txt, then
# cuebuild reads that log and "Write HTM, RAM, RAE" writes the presentation beside it.
# Then a one-minute talk of the same slides with audio a browser plays (play/).
#   cmake -DCUESCRIPT=... -DCEVENTS=... -DWORKDIR=... [-DLINKCHECK=...] -P rundemo.cmake
# With LINKCHECK, every relative link and image of the written pages must resolve.

foreach(var CUESCRIPT CEVENTS WORKDIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "rundemo: -D${var}=... is missing")
    endif()
endforeach()
set(demo ${CMAKE_CURRENT_LIST_DIR})

file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
# The slide images lie where the image pattern ../{PF}/sld000.gif points from the log.
file(COPY ${demo}/lecture6 DESTINATION ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR}/talk)
file(COPY ${demo}/play/lecture6.txt ${demo}/play/lecture6.ra.mp3 ${demo}/play/captions.vtt
    DESTINATION ${WORKDIR}/play)
set(CEVENTS_LOCATION ${CEVENTS})
configure_file(${demo}/settings/CuemarkPost.ini.in ${WORKDIR}/settings/CuemarkPost.ini @ONLY)

execute_process(COMMAND ${CUESCRIPT} ${demo}/record.cues
    WORKING_DIRECTORY ${WORKDIR}/talk
    OUTPUT_VARIABLE recorded
    ERROR_VARIABLE errors
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message("${recorded}${errors}")
    message(FATAL_ERROR "rundemo: recording the talk ended with status ${status}")
endif()
message("Recorded the talk into ${WORKDIR}/talk/lecture6.txt")

execute_process(COMMAND ${CUESCRIPT} ${demo}/demo.cues
    WORKING_DIRECTORY ${WORKDIR}
    OUTPUT_VARIABLE shown
    ERROR_VARIABLE errors
    RESULT_VARIABLE status)
message("${shown}${errors}")
if(NOT status EQUAL 0)
    message(FATAL_ERROR "rundemo: cuescript ended with status ${status}")
endif()

foreach(output ${WORKDIR}/talk ${WORKDIR}/play)
    file(GLOB written RELATIVE ${output} ${output}/*)
    list(REMOVE_ITEM written lecture6.txt)
    list(SORT written)
    message("The presentation is in ${output}:")
    foreach(name ${written})
        file(SIZE ${output}/${name} size)
        message("  ${name} (${size} bytes)")
    endforeach()
    if(NOT EXISTS ${output}/lecture6.rae)
        message(FATAL_ERROR "rundemo: cevents did not write ${output}/lecture6.rae")
    endif()

    if(DEFINED LINKCHECK)
        execute_process(COMMAND ${LINKCHECK} ${output} OUTPUT_VARIABLE checked
            RESULT_VARIABLE status)
        message("Link check: ${checked}")
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "rundemo: the written pages have broken links")
        endif()
    endif()
endforeach()
message("To hear the lecture with its pages turning: node tools/serve.js ${WORKDIR}, then open "
    "play/sld001.htm at the address it prints.")
