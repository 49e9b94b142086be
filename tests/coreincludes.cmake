# Fails when a core source includes a Qt Widgets or Qt Gui header, in any spelling:
# <QtWidgets/QWidget>, <QWidget>, "QPixmap", <QtGui>, <qwidget.h> ...
#   cmake -DSOURCES=list-file -DFORBIDDEN_DIRS="dir;dir" -P coreincludes.cmake
# SOURCES names one core source a line; FORBIDDEN_DIRS are the Qt Widgets and Qt Gui
# include folders, whose headers the core must not name.

foreach(var SOURCES FORBIDDEN_DIRS)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "coreincludes: -D${var}=... is missing")
    endif()
endforeach()

file(STRINGS ${SOURCES} sources)
set(faults "")
foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line ${includes})
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" header "${line}")
        set(bad FALSE)
        if(header MATCHES "^Qt(Widgets|Gui)(/|$)")
            set(bad TRUE)
        else()
            foreach(dir ${FORBIDDEN_DIRS})
                if(NOT header MATCHES "/" AND EXISTS ${dir}/${header})
                    set(bad TRUE)
                endif()
            endforeach()
        endif()
        if(bad)
            string(APPEND faults "  ${source}: ${line}\n")
        endif()
    endforeach()
endforeach()

if(faults)
    message(FATAL_ERROR "Qt Widgets or Qt Gui headers in the core:\n${faults}")
endif()
list(LENGTH sources count)
message(STATUS "${count} core sources include no Qt Widgets or Qt Gui header")
