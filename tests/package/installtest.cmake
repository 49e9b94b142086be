# Builds the Debian package, unpacks it into a scratch root and starts what it installed:
#   cmake -DBUILD_DIR=... -DWORKDIR=... -DSOURCE_DIR=... -P installtest.cmake
# The installed programs run with a scratch home, so no real settings are touched.
foreach(var BUILD_DIR WORKDIR SOURCE_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "installtest: -D${var}=... is missing")
    endif()
endforeach()

function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR}/home)
run("cpack" ${CMAKE_CPACK_COMMAND} -G DEB -B ${WORKDIR}/pkg --config ${BUILD_DIR}/CPackConfig.cmake)
file(GLOB debs ${WORKDIR}/pkg/*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one package in ${WORKDIR}/pkg, found: ${debs}")
endif()
run("dpkg-deb -f" dpkg-deb -f ${debs} Package Depends)
message(STATUS "package: ${out}")
run("dpkg -x" dpkg -x ${debs} ${WORKDIR}/root)

set(root ${WORKDIR}/root/usr)
set(expected lib/cuemark/cuebuild bin/cuebuild share/applications/cuebuild.desktop
    lib/cuemark/cuescript bin/cuescript)
# Whatever ships beside the programs in the build ships beside them in the package.
file(GLOB shipped LIST_DIRECTORIES false RELATIVE ${SOURCE_DIR}/templates
    ${SOURCE_DIR}/templates/*)
# The page templates are made in the build from templates/pages.
list(APPEND shipped firstsld.htm slides.htm lastsld.htm preload.htm index.htm)
foreach(f ${shipped})
    list(APPEND expected lib/cuemark/${f})
endforeach()
foreach(optional cuerec7 cuerec8 cevents)
    if(EXISTS ${BUILD_DIR}/bin/${optional})
        list(APPEND expected lib/cuemark/${optional} bin/${optional})
        if(NOT optional STREQUAL cevents)
            list(APPEND expected share/applications/${optional}.desktop)
        endif()
    endif()
endforeach()
foreach(f ${expected})
    if(NOT EXISTS ${root}/${f})
        message(FATAL_ERROR "the package does not install /usr/${f}")
    endif()
endforeach()

run("ldd" ldd ${root}/lib/cuemark/cuebuild)
if(out MATCHES "not found")
    message(FATAL_ERROR "the installed cuebuild misses libraries:\n${out}")
endif()

set(env ${CMAKE_COMMAND} -E env HOME=${WORKDIR}/home XDG_CONFIG_HOME=${WORKDIR}/home/.config
    QT_QPA_PLATFORM=offscreen)

# The installed script runner reads a log with the installed program's files.
file(COPY ${SOURCE_DIR}/tests/samples/q3.txt DESTINATION ${WORKDIR})
file(WRITE ${WORKDIR}/road.cues "program cuebuild\ndialog q3.txt\nclick mnuRdLog\ndump\n")
execute_process(COMMAND ${env} ${root}/bin/cuescript road.cues WORKING_DIRECTORY ${WORKDIR}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "row 3 \"00:00:27\"[^\n]*\"NO TITLE\"")
    message(FATAL_ERROR "installed cuescript (${rc}):\n${out}\n${err}")
endif()

# The installed program through its link: the splash closes, the main window opens and the
# program waits for the operator until the timeout ends it.
execute_process(COMMAND ${env} timeout 5 ${root}/bin/cuebuild WORKING_DIRECTORY ${WORKDIR}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 124)
    message(FATAL_ERROR "installed cuebuild ended at start-up (${rc}):\n${out}\n${err}")
endif()
message(STATUS "installed into ${WORKDIR}/root and started")
