# Builds the Debian packages, checks them with lintian, unpacks them into a scratch root and
# starts what they installed:
#   cmake -DBUILD_DIR=... -DWORKDIR=... -DSOURCE_DIR=... -DVERSION=... -P installtest.cmake
# The installed programs run with a scratch home, so no real settings are touched.
foreach(var BUILD_DIR WORKDIR SOURCE_DIR VERSION)
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
set(packages cuemark cuemark-loggers)
foreach(package ${packages})
    file(GLOB deb ${WORKDIR}/pkg/${package}_*.deb)
    list(LENGTH deb count)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "expected one package ${package} in ${WORKDIR}/pkg, found: ${deb}")
    endif()
    set(deb_${package} ${deb})
    list(APPEND debs ${deb})
endforeach()

# Errors and warnings fail; pedantic and informational tags are only shown.
find_program(LINTIAN lintian)
if(NOT LINTIAN)
    message(FATAL_ERROR "lintian is missing: make deps installs it")
endif()
execute_process(COMMAND ${LINTIAN} --fail-on error,warning --display-info --pedantic ${debs}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "lintian (${rc}):\n${out}${err}")
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "lintian found errors or warnings")
endif()

set(root ${WORKDIR}/root/usr)
foreach(package ${packages})
    run("dpkg -x" dpkg -x ${deb_${package}} ${WORKDIR}/root)
    run("dpkg-deb -f" dpkg-deb -f ${deb_${package}} Depends)
    string(STRIP "${out}" depends_${package})
    message(STATUS "${package} depends on: ${depends_${package}}")
endforeach()

# Each program is where its package puts it, with its link, manual page and (for the
# desktop programs) desktop entry; cuebuild installs without an office.
set(programs_cuemark cuebuild cuescript cevents)
set(programs_cuemark-loggers cuerec7 cuerec8)
foreach(package ${packages})
    foreach(program ${programs_${package}})
        set(expected lib/cuemark/${program} bin/${program} share/man/man1/${program}.1.gz)
        if(program MATCHES "^(cuebuild|cuerec)")
            list(APPEND expected share/applications/${program}.desktop)
        endif()
        foreach(f ${expected})
            if(NOT EXISTS ${root}/${f})
                message(FATAL_ERROR "the packages do not install /usr/${f}")
            endif()
        endforeach()
    endforeach()
    foreach(f copyright changelog.gz)
        if(NOT EXISTS ${root}/share/doc/${package}/${f})
            message(FATAL_ERROR "${package} has no /usr/share/doc/${package}/${f}")
        endif()
    endforeach()
endforeach()
if(depends_cuemark MATCHES "libreoffice|libuno")
    message(FATAL_ERROR "cuemark must install without an office: ${depends_cuemark}")
endif()
# Whatever ships beside the programs in the build ships beside them in the package.
file(GLOB shipped LIST_DIRECTORIES false RELATIVE ${SOURCE_DIR}/templates
    ${SOURCE_DIR}/templates/*)
# The page templates are made in the build from templates/pages.
list(APPEND shipped firstsld.htm slides.htm lastsld.htm preload.htm index.htm)
foreach(f ${shipped})
    if(NOT EXISTS ${root}/lib/cuemark/${f})
        message(FATAL_ERROR "the packages do not install /usr/lib/cuemark/${f}")
    endif()
endforeach()

# The dependencies come from the binaries: every library a program needs is found, and
# the package that holds it is one its package depends on.
foreach(package ${packages})
    foreach(program ${programs_${package}})
        set(binary ${root}/lib/cuemark/${program})
        run("ldd" ldd ${binary})
        set(ldd "${out}")
        if(ldd MATCHES "not found")
            message(FATAL_ERROR "the installed ${program} misses libraries:\n${ldd}")
        endif()
        # No library search path, but the office's folder for the loggers, whose UNO runtime
        # needs its private libraries; in the build as installed, never an empty entry.
        foreach(built ${BUILD_DIR}/bin/${program} ${binary})
            run("readelf" readelf -d ${built})
            if(out MATCHES "R(UN)?PATH[^\n]*\\[([^]\n]*)\\]")
                set(searched "${CMAKE_MATCH_2}")
                if(package STREQUAL cuemark OR NOT searched STREQUAL "/usr/lib/libreoffice/program")
                    message(FATAL_ERROR "${built} searches libraries in: ${searched}")
                endif()
            endif()
        endforeach()
        string(REGEX MATCHALL "Shared library: \\[[^]]+\\]" needed "${out}")
        foreach(entry ${needed})
            string(REGEX REPLACE "Shared library: \\[([^]]+)\\]" "\\1" library "${entry}")
            string(REGEX REPLACE "([+.])" "\\\\\\1" library_pattern "${library}")
            # "NAME => PATH", or the loader's own "PATH" alone.
            if(ldd MATCHES "${library_pattern} => ([^ ]+)")
                set(path ${CMAKE_MATCH_1})
            elseif(ldd MATCHES "([^ \t\n]+/${library_pattern}) ")
                set(path ${CMAKE_MATCH_1})
            else()
                message(FATAL_ERROR "${program}: ${library} not in ldd's answer:\n${ldd}")
            endif()
            # The path as the loader found it, else the file it leads to.
            execute_process(COMMAND dpkg -S ${path} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                ERROR_QUIET)
            if(NOT rc EQUAL 0)
                file(REAL_PATH ${path} path)
                run("dpkg -S" dpkg -S ${path})
            endif()
            string(REGEX REPLACE "[:,].*" "" owner "${out}")
            string(REGEX REPLACE "([+.])" "\\\\\\1" owner_pattern "${owner}")
            if(NOT ", ${depends_${package}}," MATCHES "[ |]${owner_pattern}[ ,(]")
                message(FATAL_ERROR "${program} needs ${library} of ${owner}, which ${package} "
                    "does not depend on: ${depends_${package}}")
            endif()
        endforeach()
    endforeach()
endforeach()

find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    file(GLOB metainfo ${root}/share/metainfo/*.xml)
    run("appstreamcli validate" ${APPSTREAMCLI} validate --no-net ${metainfo})
endif()

# Every process started from here carries the marker, so one left running is found.
set(marker CUE_INSTALLTEST=${WORKDIR})
set(env ${CMAKE_COMMAND} -E env HOME=${WORKDIR}/home XDG_CONFIG_HOME=${WORKDIR}/home/.config
    QT_QPA_PLATFORM=offscreen ${marker})

# --help and --version answer at once, open nothing and start nothing.
foreach(program ${programs_cuemark} ${programs_cuemark-loggers})
    foreach(option --help --version)
        execute_process(COMMAND ${env} ${root}/bin/${program} ${option}
            WORKING_DIRECTORY ${WORKDIR} TIMEOUT 1
            RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
        if(NOT rc EQUAL 0 OR NOT out MATCHES "${program}")
            message(FATAL_ERROR "${program} ${option} (${rc}):\n${out}\n${err}")
        endif()
        if(option STREQUAL --version AND NOT out STREQUAL "${program} ${VERSION}\n")
            message(FATAL_ERROR "${program} --version: ${out}")
        endif()
    endforeach()
endforeach()

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

execute_process(COMMAND sh -c "grep -lsa '${marker}' /proc/[0-9]*/environ"
    OUTPUT_VARIABLE left)
if(left)
    message(FATAL_ERROR "processes left running:\n${left}")
endif()
message(STATUS "installed into ${WORKDIR}/root and started")
