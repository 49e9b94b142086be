#!/bin/sh
# Starts a Windows program under wine on the current X display, waits until a window of
# exactly TITLE is on the screen, leaves a picture of the screen in PICTURE, then closes the
# program as the operator's close box would and waits for it to end with status 0.
#   showwindow.sh WINE PROGRAM TITLE PICTURE
set -u
wine=$1 program=$2 title=$3 picture=$4
fail() { printf "FAIL: %s\n" "$*"; exit 1; }
[ -n "${DISPLAY:-}" ] || fail "no X display (run under xvfb-run)"

"$wine" "$program" &
pid=$!

# The splash comes first; the main window follows it (a fresh wine prefix is slow).
window=
i=0
while [ -z "$window" ] && [ $i -lt 120 ] && kill -0 $pid 2>/dev/null; do
    sleep 0.5
    i=$((i + 1))
    for id in $(xwininfo -root -tree | grep -F "\"$title\": " | awk '{print $1}'); do
        xwininfo -id "$id" | grep -q "Map State: IsViewable" && window=$id
    done
done
[ -n "$window" ] || {
    kill $pid 2>/dev/null
    fail "no window \"$title\" on the screen within 60 s; windows: $(xwininfo -root -tree | grep '"' | head -20)"
}
printf "%s\n" "window \"$title\" is on the screen ($window)"
sleep 1
command -v import >/dev/null && import -window root "$picture" 2>/dev/null

# taskkill without /F asks the program's windows to close (WM_CLOSE), as the close box does.
"$wine" taskkill /IM "$(basename "$(printf '%s' "$program" | tr '\\' /)")" >/dev/null 2>&1
i=0
while kill -0 $pid 2>/dev/null && [ $i -lt 60 ]; do sleep 0.5; i=$((i + 1)); done
if kill -0 $pid 2>/dev/null; then
    kill $pid
    fail "the program did not end within 30 s of being asked to close"
fi
wait $pid
rc=$?
[ $rc -eq 0 ] || fail "the program ended with status $rc"
printf "%s\n" "closed"
