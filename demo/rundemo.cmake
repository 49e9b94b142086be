# Runs the whole road of the sample lecture under cuescript, in a fresh folder: cuerec8
# records the talk on the substitute presentation program into talk/lecture6.txt, then
# cuebuild reads that log and "Write HTM, RAM, RAE" writes the presentation beside it.
# Then a one-minute talk of the same slides given in real time and recorded by the logger
# from a sound server's virtual input, whose pages a browser plays with that sound (play/).
#   cmake -DCUESCRIPT=... -DCEVENTS=... -DWORKDIR=... [-DCUESLIDES=...] [-DLINKCHECK=...]
#         -P rundemo.cmake
# With CUESLIDES_REQUIRED, the images must be drawn by cueslides.
# With LINKCHECK, every relative link and image of the written pages must resolve.

foreach(var CUESCRIPT CEVENTS WORKDIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "rundemo: -D${var}=... is missing")
    endif()
endforeach()
set(demo ${CMAKE_CURRENT_LIST_DIR})

file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
# The slide images lie where the image pattern ../{PF}/sld000.gif points from the log:
# drawn from the deck by cueslides, which writes them there by itself, or where no office
# can draw them, the images kept in demo/lecture6.
set(drawn FALSE)
if(DEFINED CUESLIDES AND EXISTS "${CUESLIDES}")
    file(COPY ${demo}/lecture6.fodp DESTINATION ${WORKDIR})
    execute_process(COMMAND ${CUESLIDES} --width 480 ${WORKDIR}/lecture6.fodp
        OUTPUT_QUIET
        ERROR_VARIABLE errors
        RESULT_VARIABLE status
        TIMEOUT 300)
    if(status EQUAL 0)
        set(drawn TRUE)
        message("Drew the slide images from demo/lecture6.fodp with cueslides into "
            "${WORKDIR}/lecture6")
    else()
        message("cueslides could not draw the slides (status ${status}):\n${errors}")
        file(REMOVE_RECURSE ${WORKDIR}/lecture6)
    endif()
endif()
if(NOT drawn AND CUESLIDES_REQUIRED)
    message(FATAL_ERROR "rundemo: cueslides was to draw the slide images")
endif()
if(NOT drawn)
    message("No office draws the slides here: using the images kept in demo/lecture6")
    file(COPY ${demo}/lecture6 DESTINATION ${WORKDIR})
endif()
file(MAKE_DIRECTORY ${WORKDIR}/talk)
set(CEVENTS_LOCATION ${CEVENTS})
configure_file(${demo}/settings/CuemarkPost.ini.in ${WORKDIR}/settings/CuemarkPost.ini @ONLY)

execute_process(COMMAND sh ${demo}/recordtalk.sh ${CUESCRIPT} ${WORKDIR}
    RESULT_VARIABLE status
    OUTPUT_VARIABLE said
    ERROR_VARIABLE said)
if(status EQUAL 77)
    message(FATAL_ERROR "rundemo: the recorded talk needs ${said}(make demo installs "
        "pulseaudio, pulseaudio-utils and espeak-ng)")
elseif(NOT status EQUAL 0)
    message(FATAL_ERROR "rundemo: recording the one-minute talk ended with status ${status}:\n${said}")
endif()
message("${said}Recorded the one-minute talk and its sound into ${WORKDIR}/play")

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

# The talk's captions, as a transcript of the recording would give them: each slide's
# words from its page's start, which the event list cuebuild wrote says.
file(STRINGS ${WORKDIR}/play/cevents.txt events REGEX "^u ")
file(STRINGS ${demo}/spoken.txt spoken REGEX "^[^#]")
set(captions "WEBVTT\n")
foreach(event words IN ZIP_LISTS events spoken)
    if(NOT event OR NOT words)
        break()
    endif()
    # A pause has its own page, so what is said during it is captioned like a slide's words.
    string(REGEX MATCH "^[^ ]+ [0-9]+ (.*)$" said "${words}")
    set(text "${CMAKE_MATCH_1}")
    string(REGEX MATCH "^u 00:([0-9:]+[.][0-9]) 00:([0-9:]+[.][0-9])" times "${event}")
    string(APPEND captions "\n${CMAKE_MATCH_1}00 --> ${CMAKE_MATCH_2}00\n${text}\n")
endforeach()
file(WRITE ${WORKDIR}/play/captions.vtt "${captions}")

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
