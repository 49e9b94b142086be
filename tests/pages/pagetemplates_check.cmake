# The templates are refused when the bundled player or style sheet holds what a writer
# would rewrite or stop at, or text a link checker would take for a link; a clean bundle
# gives all five templates.
#   cmake -DSOURCE_DIR=... -DWORKDIR=... -P pagetemplates_check.cmake
cmake_minimum_required(VERSION 3.21)
# (No ";" in the scripts below: it would split the list.)
set(cases
    "ok|var a=1|"
    "marker|var a='**FIXIT**'|**fixit**"
    "index marker|var a='<!--*** -->'|<!--*** -->"
    "lecture marker|var a='<!-- **Lecture** -->'|**lecture**"
    "slide text marker|var a='**SLIDETEXT**'|**slidetext**"
    "script end|var a='</SCRIPT>'|</script"
    "link|var a=' href = x'|href"
    "image|var a='\\t src=x'|src")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 name)
    list(GET parts 1 script)
    list(LENGTH parts count)
    set(refusal "")
    if(count GREATER 2)
        list(GET parts 2 refusal)
    endif()
    set(dir ${WORKDIR}/${name})
    file(REMOVE_RECURSE ${dir})
    file(MAKE_DIRECTORY ${dir}/bundle ${dir}/out)
    file(WRITE ${dir}/bundle/player.js "${script}\n")
    file(WRITE ${dir}/bundle/player.css "body{margin:0}\n")
    execute_process(COMMAND ${CMAKE_COMMAND} -DSRC=${SOURCE_DIR}/templates/pages -DBUNDLE=${dir}/bundle
            -DOUT=${dir}/out -P ${SOURCE_DIR}/cmake/pagetemplates.cmake
        RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_QUIET)
    file(GLOB written ${dir}/out/*.htm)
    list(LENGTH written pages)
    if(refusal STREQUAL "")
        if(NOT status EQUAL 0 OR NOT pages EQUAL 5)
            message(FATAL_ERROR "${name}: status ${status}, ${pages} templates:\n${errors}")
        endif()
    else()
        string(FIND "${errors}" "${refusal}" at)
        if(status EQUAL 0 OR at EQUAL -1 OR NOT pages EQUAL 0)
            message(FATAL_ERROR "${name}: status ${status}, ${pages} templates, expected a refusal naming "
                "\"${refusal}\":\n${errors}")
        endif()
    endif()
endforeach()
message("pagetemplates refused every bundle it must and wrote a clean one")
