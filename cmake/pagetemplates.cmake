cmake_minimum_required(VERSION 3.21)
# Writes the page templates the post-processor reads (firstsld.htm, slides.htm, lastsld.htm,
# preload.htm, index.htm) from the sources in templates/pages and the player and style
# sheet esbuild bundled from them: both go into every page, so a written presentation
# needs no file besides its pages.
#   cmake -DSRC=templates/pages -DBUNDLE=build/generated/pages -DOUT=build/bin -P pagetemplates.cmake
# A source line starting with [first] or [last] is kept only in that template; one starting
# with [!first] or [!last] is kept in every other template.

foreach(var SRC BUNDLE OUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "pagetemplates: -D${var}=... is missing")
    endif()
endforeach()

# The writers fill in lines by these markers and stop at the first "</script" or "</style";
# shipped code carrying one would be rewritten or cut off in every page.
function(check_inlined name text)
    string(TOLOWER "${text}" lower)
    foreach(bad "**fixit**" "<!--*** -->" "**lecture**" "**slidetext**" "</script" "</style")
        string(FIND "${lower}" "${bad}" at)
        if(NOT at EQUAL -1)
            message(FATAL_ERROR "pagetemplates: ${name} must not contain \"${bad}\"")
        endif()
    endforeach()
    # A link checker reading the pages as text would take it for a link.
    if(lower MATCHES "[ \t\n](href|src)[ \t]*=")
        message(FATAL_ERROR "pagetemplates: ${name} must not hold \"${CMAKE_MATCH_0}\"")
    endif()
endfunction()

file(READ ${BUNDLE}/player.js script)
file(READ ${BUNDLE}/player.css style)
check_inlined(player.js "${script}")
check_inlined(player.css "${style}")

function(inline text result)
    string(REPLACE "<!-- cm:inline player.css -->" "<style>\n${style}</style>" text "${text}")
    string(REPLACE "<!-- cm:inline player.js -->" "<script>\n${script}</script>" text "${text}")
    set(${result} "${text}" PARENT_SCOPE)
endfunction()

function(write_if_changed path text)
    if(EXISTS ${path})
        file(READ ${path} old)
        if(old STREQUAL text)
            return()
        endif()
    endif()
    file(WRITE ${path} "${text}")
endfunction()

foreach(page preload index)
    file(READ ${SRC}/${page}.htm text)
    inline("${text}" text)
    write_if_changed(${OUT}/${page}.htm "${text}")
endforeach()

file(READ ${SRC}/slide.htm slide)
set(slide "\n${slide}")
foreach(variant firstsld slides lastsld)
    set(keep "!first;!last")
    if(variant STREQUAL "firstsld")
        set(keep "first;!last")
    elseif(variant STREQUAL "lastsld")
        set(keep "!first;last")
    endif()
    set(text "${slide}")
    foreach(tag first !first last !last)
        if(tag IN_LIST keep)
            string(REPLACE "\n[${tag}]" "\n" text "${text}")
        else()
            string(REGEX REPLACE "\n\\[${tag}\\][^\n]*" "" text "${text}")
        endif()
    endforeach()
    string(SUBSTRING "${text}" 1 -1 text)
    inline("${text}" text)
    write_if_changed(${OUT}/${variant}.htm "${text}")
endforeach()
