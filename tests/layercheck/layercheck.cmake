# The core layer check itself: each case configures the tiny tree beside this file and
# must pass or fail with the road it names.
#   cmake -DSOURCE_DIR=<tree> -DWORKDIR=<scratch> -P layercheck.cmake

# case | configures | what the message must name
set(cases
    "clean|TRUE|Core layers checked: 2"
    "layer links Qt|FALSE|base -> Qt6::Core"
    "helper links Qt privately|FALSE|top -> base -> helper -> Qt6::Core"
    "layer links a Qt file|FALSE|base -> /usr/lib/x86_64-linux-gnu/libQt6Core.so.6"
    "Qt inside a generator expression|FALSE|base -> helper -> \\$<\\$<BOOL:1>:Qt6::Core>"
    "undeclared link|FALSE|top links helper, which it does not allow")

set(failures "")
set(index 0)
foreach(entry IN LISTS cases)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 name)
    list(GET fields 1 passes)
    list(GET fields 2 expected)
    math(EXPR index "${index} + 1")
    file(REMOVE_RECURSE ${WORKDIR}/${index})
    execute_process(
        COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/layercheck -B ${WORKDIR}/${index}
            -DCUE_SOURCE_DIR=${SOURCE_DIR} "-DCASE=${name}"
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(rc EQUAL 0)
        set(configured TRUE)
    else()
        set(configured FALSE)
    endif()
    string(REPLACE "\n" " " text "${out} ${err}")
    if(NOT configured STREQUAL passes OR NOT text MATCHES "${expected}")
        string(APPEND failures "${name}: configured ${configured}, expected ${passes} with "
                               "\"${expected}\":\n${out}${err}\n")
    else()
        message(STATUS "${name}: configured ${configured} as it must")
    endif()
endforeach()
if(failures)
    message(FATAL_ERROR "${failures}")
endif()
