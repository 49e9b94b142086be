#!/bin/sh
# One desktop program under wine on a virtual display, driven as an operator would through
# winprobe: each window it opens is printed and compared with tests/win/desktop/, and
# pictured into PICTURES/win-*.png. The program must end when its main window closes.
#   desktopsmoke.sh WINE BINDIR WINPROBE PICTURES EXPECTED PROGRAM WORKDIR
set -u
wine=$1 bin=$2 probe=$3 pictures=$4 expected=$5 program=$6 work=$7
rm -rf "$work"
mkdir -p "$work" "$pictures"
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

# A wine prefix of these tests alone: no PowerPoint stand-in another test registers, and
# no window of another program that runs meanwhile.
WINEPREFIX=$(dirname "$work")/desktopprefix
export WINEPREFIX
# No window manager runs on the virtual display: wine draws the frames and title bars.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# Each run starts from the stored defaults: the programs' settings are removed.
"$wine" reg delete 'HKCU\Software\Cuemark' /f >/dev/null 2>&1

"$wine" "$bin/$program.exe" &
pid=$!

# show NAME TITLE: prints the window into WORKDIR/NAME.txt, compares it, pictures it.
show() {
    if ! "$wine" "$probe" "$2" >"$work/$1.txt"; then
        fail "no window \"$2\""
        return
    fi
    tr -d '\r' <"$work/$1.txt" >"$work/$1.out"
    diff -u "$expected/$1.txt" "$work/$1.out" || fail "window \"$2\" differs from $1.txt"
    sleep 1
    import -window root "$pictures/win-$1.png" || fail "no picture of \"$2\""
}
act() {
    "$wine" "$probe" "$@" || fail "winprobe $*"
    sleep 1
}

case $program in
cuebuild)
    show cuebuild "Cuemark PostProcessor"
    act "Cuemark PostProcessor" --open-menu f
    import -window root "$pictures/win-cuebuild-filemenu.png" || fail "no picture of the menu"
    act "Cuemark PostProcessor" --close-menu
    # Configuration (1013) and About (1017) from the menus, by their command ids.
    act "Cuemark PostProcessor" --command 1013
    show cuebuild-config "Cuemark Initial Configuration"
    # A pattern without {PF} typed into IMG File (#106) reaches the window: Save warns,
    # Cancel keeps the window open with nothing stored, and its own Cancel closes it.
    act "Cuemark Initial Configuration" --set 106 "../slides/sld000.gif"
    act "Cuemark Initial Configuration" --press Save
    show cuebuild-config-warning "WARNING"
    act "WARNING" --press Cancel
    show cuebuild-config-kept "Cuemark Initial Configuration"
    act "Cuemark Initial Configuration" --press Cancel
    act "Cuemark PostProcessor" --command 1017
    show cuebuild-about "About"
    # Enter presses OK, the box's default button, wherever the focus is.
    act "About" --key return
    act "About" --gone
    act "Cuemark PostProcessor" --close
    ;;
cuerec7 | cuerec8)
    version=${program#cuerec}
    # Without PowerPoint the binding fails with its box; the window stays usable.
    show "$program-nopowerpoint" "Cuemark Logger"
    act "Cuemark Logger" --press OK
    show "$program" "Cuemark Logger $version"
    act "Cuemark Logger $version" --command 1011
    show "$program-about" "About"
    # One logger closes the box with its OK button, the other with Enter.
    if [ "$version" = 8 ]; then
        act "About" --key return
    else
        act "About" --press OK
    fi
    act "About" --gone
    act "Cuemark Logger $version" --close
    ;;
esac

# The program ends once its main window has closed.
for _ in 1 2 3 4 5 6 7 8 9 10; do
    kill -0 "$pid" 2>/dev/null || break
    sleep 1
done
if kill -0 "$pid" 2>/dev/null; then
    fail "$program still runs after its window closed"
    kill "$pid"
fi
"${wine%wine64}wineserver" -k 2>/dev/null
exit $failed
