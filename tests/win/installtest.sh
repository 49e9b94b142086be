#!/bin/sh
# The Windows setup program end to end under wine64, on the display xvfb-run gives: silent
# installs, the files, Start menu and Add/Remove Programs entry, the installed cuebuild's
# main window on the screen, and a silent uninstall that leaves nothing; then the setup
# program's pages as the operator goes through them, pictured, and a second install into
# another folder that replaces the first and keeps the user's settings.
#   installtest.sh CPACK CPACKCONFIG WINE WORKDIR RUNTIMEDIR VERSION PROGRAMS FILES MENU
#                  WINDRIVER PICTURES
# PROGRAMS and FILES (shipped, from RUNTIMEDIR) are blank-separated; MENU's labels "|".
set -u
cpack=$1 config=$2 wine=$3 work=$4 runtime=$5 version=$6 programs=$7 files=$8 menu=$9
driver=${10} pictures=${11}
fail() { printf "FAIL: %s\n" "$*"; exit 1; }
# A setup program waiting for an answer would wait for ever.
wine_run() { timeout 120 "$wine" "$@"; }

# A prefix of the test's own, kept between runs (a first start is slow): its desktop is on
# this display, and no link lands in the real menus.
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$work"
wineserver=$(dirname "$wine")/wineserver
"$wineserver" -k 2>/dev/null
rm -rf "$work/pkg" "$WINEPREFIX/drive_c/Program Files/Cuemark" "$WINEPREFIX/drive_c/Cuemark Test"
"$cpack" -G NSIS -B "$work/pkg" --config "$config" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack -G NSIS"; }
setup="$work/pkg/Cuemark-$version-win64.exe"
[ -f "$setup" ] || fail "no setup program $setup"

# NSIS's usual 32-bit stub would not run on a 64-bit-only system (nor on this kernel).
byte() { od -An -tu1 -j "$1" -N1 "$setup" | tr -d ' '; }
pe=$(($(byte 60) + 256 * $(byte 61)))
[ $(($(byte $((pe + 4))) + 256 * $(byte $((pe + 5))))) = $((0x8664)) ] ||
    fail "the setup program is not an x86-64 program"

startmenu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Cuemark System"
regkey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Cuemark'

# check_installed DIR WINDIR: these files and no others, the Start menu, the uninstall entry.
check_installed() {
    { for p in $programs; do echo "$p.exe"; done; for f in $files Uninstall.exe; do echo "$f"; done; } |
        sort >"$work/expected"
    (cd "$1" 2>/dev/null && find . -type f | sed 's|^\./||' | sort) >"$work/actual"
    diff "$work/expected" "$work/actual" >/dev/null ||
        fail "$2 holds other files than expected: $(diff "$work/expected" "$work/actual")"
    for f in $files; do cmp -s "$runtime/$f" "$1/$f" || fail "$2\\$f is not the build's"; done
    IFS='|'
    for label in Uninstall $menu; do
        [ -f "$startmenu/$label.lnk" ] || fail "no Start menu entry \"$label\""
    done
    unset IFS
    out=$("$wine" reg query "$regkey" 2>&1) || fail "not in Add/Remove Programs: $out"
    printf "%s\n" "$out" | grep -q "DisplayName.*Cuemark System $version" &&
        printf "%s\n" "$out" | grep -qF "UninstallString    REG_SZ    \"$2\\Uninstall.exe\"" ||
        fail "Add/Remove Programs entry: $out"
}

# show_window WINDIR: cuebuild's main window, by its exact title, mapped on the screen;
# then closed as the close box would (taskkill without /F sends WM_CLOSE).
show_window() {
    "$wine" "$1\\cuebuild.exe" &
    pid=$!
    title='"Cuemark PostProcessor": '
    i=0
    until xwininfo -root -tree | grep -F "$title" | awk '{print $1}' |
        xargs -r -n1 xwininfo -id | grep -q "IsViewable"; do
        i=$((i + 1))
        [ $i -lt 120 ] && kill -0 $pid 2>/dev/null || fail "no window $title on the screen"
        sleep 0.5
    done
    sleep 1
    import -window root "$work/cuebuild.png" 2>/dev/null
    "$wine" taskkill /IM cuebuild.exe >/dev/null 2>&1
    timeout 30 sh -c "while kill -0 $pid 2>/dev/null; do sleep 0.5; done" ||
        { kill $pid; fail "cuebuild.exe did not end when its window was closed"; }
    wait $pid || fail "cuebuild.exe ended with status $?"
}

# Where, how often (the second install over the first is a repair or an update) and with
# which arguments: NSIS takes /D= last and unquoted, and wine joins the split name again.
while IFS='|' read -r dir windir times args <&3; do
    dir="$WINEPREFIX/drive_c/$dir"
    for _ in $(seq "$times"); do
        wine_run "$setup" /S $args || fail "the silent install into $windir failed"
        check_installed "$dir" "$windir"
    done
    show_window "$windir"
    # The uninstaller runs from a copy of itself and returns at once: the prefix is ours,
    # so the end of all its programs is the copy's end.
    wine_run "$windir\\Uninstall.exe" /S && timeout 120 "$wineserver" -w ||
        fail "the uninstaller in $windir failed"
    [ ! -e "$dir" ] || fail "$windir is left after uninstalling"
    [ ! -e "$startmenu" ] || fail "the Start menu folder is left after uninstalling"
    ! "$wine" reg query "$regkey" >/dev/null 2>&1 || fail "Add/Remove Programs still lists it"
    printf "%s\n" "installed $times time(s) into, then uninstalled from, $windir"
done 3<<'EOF'
Program Files/Cuemark|C:\Program Files\Cuemark|1|
Cuemark Test|C:\Cuemark Test|2|/D=C:\Cuemark Test
EOF

# The pages as the operator sees them, each pictured, through to the end: the default
# folder. windriver asks for each picture on its output; the reader takes the screen.
mkdir -p "$pictures"
title="Cuemark System Setup"
rm -f "$work"/*.done "$work/pages.failed"
wine_run "$setup" &
setup_pid=$!
# A cold wine start may take longer than the driver waits for a window.
i=0
until xwininfo -root -tree | grep -qF "\"$title"; do
    i=$((i + 1))
    [ $i -lt 240 ] && kill -0 $setup_pid 2>/dev/null || fail "no window \"$title\" on the screen"
    sleep 0.5
done
# Each page adds its name to the title.
page="$title*"
(cd "$work" && timeout 300 "$wine" "$driver" \
        window "$page" label "$page" "Welcome" shot installer-welcome click "$page" "Next >" \
        label "$page" "License Agreement" shot installer-licence click "$page" "I Agree" \
        label "$page" "Choose Install Location" shot installer-folder click "$page" "Next >" \
        label "$page" "Choose Start Menu Folder" shot installer-startmenu click "$page" "Install" \
        label "$page" "Completing" shot installer-finish click "$page" "Finish" gone "$page" |
    while IFS= read -r line; do
        line=$(printf '%s' "$line" | tr -d '\r')
        case "$line" in
        "screenshot "*)
            import -window root "$pictures/${line#screenshot }.png" 2>/dev/null
            : >"${line#screenshot }.done" ;;
        FAILED*) printf '%s\n' "$line"; echo failed >pages.failed ;;
        esac
    done) || true
wait $setup_pid
[ ! -e "$work/pages.failed" ] || fail "going through the setup program's pages"
default="$WINEPREFIX/drive_c/Program Files/Cuemark"
check_installed "$default" 'C:\Program Files\Cuemark'
for page in welcome licence folder startmenu finish; do
    [ -s "$pictures/installer-$page.png" ] || fail "no picture of the $page page"
done

# A user's setting, then a second install into another folder: the first copy is
# uninstalled (its folder gone, one entry listed), the setting stays.
settings='HKCU\Software\Cuemark\CuemarkPost\Options'
"$wine" reg add "$settings" /v KeptByUpgrade /d yes /f >/dev/null 2>&1 ||
    fail "could not write a setting"
# NSIS takes /D= last and unquoted: wine joins the two words again.
wine_run "$setup" /S '/D=C:\Cuemark' Test || fail "the second install failed"
timeout 120 "$wineserver" -w
check_installed "$WINEPREFIX/drive_c/Cuemark Test" 'C:\Cuemark Test'
[ ! -e "$default" ] || fail "the first copy is left in C:\\Program Files\\Cuemark: $(ls "$default")"
"$wine" reg query "$settings" /v KeptByUpgrade 2>/dev/null | grep -q yes ||
    fail "the second install lost the user's settings"
# An upgrade without a folder goes where the installed copy is.
wine_run "$setup" /S || fail "the upgrade failed"
timeout 120 "$wineserver" -w
check_installed "$WINEPREFIX/drive_c/Cuemark Test" 'C:\Cuemark Test'
[ ! -e "$default" ] || fail "the upgrade went into C:\Program Files\Cuemark, not the installed copy's folder"
"$wine" reg query "$settings" /v KeptByUpgrade 2>/dev/null | grep -q yes ||
    fail "the upgrade lost the user's settings"
wine_run 'C:\Cuemark Test\Uninstall.exe' /S && timeout 120 "$wineserver" -w ||
    fail "the uninstaller in C:\\Cuemark Test failed"
! "$wine" reg query "$regkey" >/dev/null 2>&1 || fail "Add/Remove Programs still lists it"
"$wine" reg query "$settings" /v KeptByUpgrade 2>/dev/null | grep -q yes ||
    fail "uninstalling lost the user's settings"
"$wine" reg delete 'HKCU\Software\Cuemark' /f >/dev/null 2>&1
printf "%s\n" "pages pictured; a second install into another folder replaced the first, an upgrade went into its folder, and the settings were kept"
"$wineserver" -k 2>/dev/null
