#!/bin/sh
# The Windows setup program end to end under wine64, on the X display xvfb-run gives:
# installs silently into the default folder and into one the operator names, checks the
# files, the Start menu and the Add/Remove Programs entry, starts the installed cuebuild
# and sees its main window, then uninstalls silently and checks that nothing is left.
#   installtest.sh CPACK CPACKCONFIG WINE WORKDIR RUNTIMEDIR VERSION "PROGRAMS" "FILES" "MENU"
# PROGRAMS: the installed programs; FILES: what ships beside them (from RUNTIMEDIR);
# MENU: the Start menu entries' labels, separated by "|".
set -u
cpack=$1 config=$2 wine=$3 work=$4 runtime=$5 version=$6
programs=$7 files=$8 menu=$9
fail() { printf "FAIL: %s\n" "$*"; exit 1; }
# A setup program that waits for an answer would wait for ever: it gets two minutes.
wine_run() { timeout 120 "$wine" "$@"; }

# Wine in a prefix of the test's own, kept between runs (its first start takes a while):
# the test owns its desktop and its display, and no link lands in the real menus.
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wineserver=$(dirname "$wine")/wineserver
"$wineserver" -k 2>/dev/null
rm -rf "$work/pkg" "$WINEPREFIX/drive_c/Program Files/Cuemark" "$WINEPREFIX/drive_c/Cuemark Test"
mkdir -p "$work"

"$cpack" -G NSIS -B "$work/pkg" --config "$config" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack -G NSIS"; }
setup=$(ls "$work"/pkg/Cuemark-"$version"-win64.exe 2>/dev/null) ||
    fail "no setup program Cuemark-$version-win64.exe in $work/pkg"

# The setup program must itself be a 64-bit program: NSIS's usual 32-bit stub would not
# run on a 64-bit-only system (nor on this machine's kernel).
byte() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }
pe=$(($(byte "$setup" 60) + 256 * $(byte "$setup" 61)))
machine=$(($(byte "$setup" $((pe + 4))) + 256 * $(byte "$setup" $((pe + 5)))))
[ "$machine" = $((0x8664)) ] || fail "the setup program is not an x86-64 program (machine $machine)"

startmenu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Cuemark System"
regkey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Cuemark'

# check_installed UNIXDIR WINDIR: every file in place and nothing else, the shipped files
# unchanged, the Start menu and the Add/Remove Programs entry.
check_installed() {
    dir=$1 windir=$2
    { for p in $programs; do echo "$p.exe"; done
      for f in $files; do echo "$f"; done
      echo Uninstall.exe; } | sort >"$work/expected"
    (cd "$dir" 2>/dev/null && find . -type f | sed 's|^\./||' | sort) >"$work/actual"
    missing=$(comm -23 "$work/expected" "$work/actual")
    extra=$(comm -13 "$work/expected" "$work/actual")
    [ -z "$missing" ] || fail "not installed in $windir: $missing"
    [ -z "$extra" ] || fail "installed in $windir but not expected: $extra"
    for f in $files; do
        cmp -s "$runtime/$f" "$dir/$f" || fail "$windir\\$f differs from the build's $f"
    done
    old_ifs=$IFS
    IFS='|'
    for label in Uninstall $menu; do
        [ -f "$startmenu/$label.lnk" ] || fail "no Start menu entry \"$label\""
    done
    IFS=$old_ifs
    out=$("$wine" reg query "$regkey" 2>&1) || fail "not in Add/Remove Programs: $out"
    printf "%s\n" "$out" | grep -q "DisplayName.*Cuemark System $version" ||
        fail "Add/Remove Programs shows no \"Cuemark System $version\": $out"
    printf "%s\n" "$out" | grep -qF "UninstallString    REG_SZ    \"$windir\\Uninstall.exe\"" ||
        fail "Add/Remove Programs does not uninstall from $windir: $out"
}

# uninstall UNIXDIR WINDIR: NSIS's uninstaller runs from a copy of itself and returns at
# once; the prefix is the test's own, so the end of all its programs is the copy's end.
uninstall() {
    wine_run "$2\\Uninstall.exe" /S || fail "the uninstaller in $2 failed"
    timeout 120 "$wineserver" -w || fail "the uninstaller did not end within two minutes"
    [ ! -e "$1" ] || fail "$2 is left after uninstalling: $(cd "$1" && find . | head)"
    [ ! -e "$startmenu" ] || fail "the Start menu folder is left after uninstalling"
    ! "$wine" reg query "$regkey" >/dev/null 2>&1 || fail "Add/Remove Programs still lists it"
}

# 1. The default folder, Program Files.
dir="$WINEPREFIX/drive_c/Program Files/Cuemark"
windir='C:\Program Files\Cuemark'
wine_run "$setup" /S || fail "the silent install failed"
check_installed "$dir" "$windir"
printf "%s\n" "installed into $windir"

case " $programs " in
*" cuebuild "*)
    sh "$(dirname "$0")/showwindow.sh" "$wine" "$windir\\cuebuild.exe" "Cuemark PostProcessor" \
        "$work/cuebuild.png" || fail "the installed cuebuild.exe showed no main window"
    ;;
*)
    echo "window check skipped: this build makes no cuebuild.exe yet"
    out=$("$wine" "$windir\\cuescript.exe" --version 2>&1) || fail "cuescript.exe --version: $out"
    printf "%s\n" "$out" | grep -qF "$version" || fail "cuescript.exe --version says: $out"
    ;;
esac
uninstall "$dir" "$windir"
printf "%s\n" "uninstalled from $windir"

# 2. A folder the operator names, with a blank in it, installed twice as a repair or an
# update would. NSIS takes /D= only last and unquoted, so the name goes as two arguments
# that wine joins with a blank.
dir="$WINEPREFIX/drive_c/Cuemark Test"
windir='C:\Cuemark Test'
for run in first second; do
    wine_run "$setup" /S '/D=C:\Cuemark' Test || fail "the $run silent install into $windir failed"
    check_installed "$dir" "$windir"
done
uninstall "$dir" "$windir"
printf "%s\n" "installed twice into and uninstalled from $windir"
"$wineserver" -k 2>/dev/null
exit 0
