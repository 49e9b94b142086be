# Each desktop program carries the manifest that asks to run as the invoking user, so
# Windows turns off file virtualization for it, beside common controls 6 and per-monitor
# DPI awareness.
#   cmake -DPROGRAMS="a.exe;b.exe" -P manifestcheck.cmake
foreach(program IN LISTS PROGRAMS)
    foreach(wanted
            "requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\""
            "Microsoft.Windows.Common-Controls"
            "PerMonitorV2")
        file(STRINGS "${program}" found LIMIT_COUNT 1 REGEX "${wanted}")
        if(NOT found)
            message(FATAL_ERROR "${program}: the embedded manifest lacks ${wanted}")
        endif()
    endforeach()
endforeach()
message(STATUS "manifests checked: ${PROGRAMS}")
