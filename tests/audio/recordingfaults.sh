#!/bin/sh
# What the logger's recording does when things go wrong, with a real sound server:
# - the input pulled out mid-talk and plugged in again, and the disk down to the room kept
#   for the log: the status line says so at once, and every log line is still written;
# - the logger killed mid-talk: what it recorded plays, and cuebuild makes the web form.
#   recordingfaults.sh BIN WORKDIR
# Exit 77: no sound server here.
set -eu
bin=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
for tool in pulseaudio pactl pacat; do
    command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work/talk" "$work/killed" "$work/settings"
. "$here/../../tools/soundserver.sh"
start_sound_server "$work"
printf '[Options]\r\nRecordAudio=True\r\n' > "$work/settings/CuemarkLog.ini"
fail() { echo "FAILED: $*"; exit 1; }
status() { grep '^  label lblStatus ' "$1" | sed -n "$2p"; }

# The talk's folder on a disk of its own, when this machine lets us mount one: 40 MB, of
# which a little more than the 32 MB the recording leaves to the log is free.
disk=
if mount -t tmpfs -o size=40m tmpfs "$work/talk" 2>/dev/null; then
    disk=$work/talk
    trap 'umount "$disk" 2>/dev/null || true; kill $silence $sound_server 2>/dev/null || true' EXIT
    free=$(df -k --output=avail "$disk" | tail -1)
    fallocate -l $(( (free - 32 * 1024 - 900) * 1024 )) "$disk/filler"
fi

# The input is pulled out at about 2 s and plugged in again at about 4.5 s, while the show
# goes on; the logger polls in real time.
cat > "$work/talk.cues" <<CUES
settings settings
audio input
ppt deck C:\\Talks\\q3.ppt One Two Three Four
clock real
dialog talk/q3.txt
program cuerec8
wait 1.1
ppt start 1
wait 1.5
dump
ppt goto 2
wait 2
dump
wait 2
ppt goto 3
wait 1
dump
wait 3
ppt goto 4
wait 1
dump
answer OK
click cmdEnd
CUES
(cd "$work" && "$bin/cuescript" talk.cues > talk.out) &
talk=$!
sleep 2
unplug_input
sleep 2.5
plug_in_input
wait $talk || fail "cuescript ended with status $?"
for n in 1 2 3 4; do status "$work/talk.out" $n; done
status "$work/talk.out" 2 | grep -q '"NOT RECORDING after ' || fail "the lost input was not told"
status "$work/talk.out" 3 | grep -q '"Recording ' || fail "the input that came back is not recorded"
if [ -n "$disk" ]; then
    status "$work/talk.out" 4 | grep -q 'RECORDING STOPPED at .*kept for the log; logging goes on' ||
        fail "the disk down to the log's room was not told"
fi
lines=$(grep -c . "$work/talk/q3.txt")
[ "$lines" -eq 5 ] || fail "the log holds $lines lines, not 5"
"$bin/audiotool" wav "$work/talk/q3.wav" | tee "$work/wav.txt"
grep -Eq ', ([3-9]|[1-9][0-9]) silent tenths' "$work/wav.txt" ||
    fail "the time the input was gone is not kept as silence"

# Killed mid-talk: the recording plays up to the last seconds, and cuebuild writes its
# web form.
cat > "$work/killed.cues" <<CUES
settings settings
audio input
ppt deck C:\\Talks\\q3.ppt One Two
clock real
dialog killed/q3.txt
program cuerec8
wait 1.1
ppt start 1
wait 1.5
ppt goto 2
wait 60
CUES
(cd "$work" && exec "$bin/cuescript" killed.cues > killed.out) &
killed=$!
sleep 8
kill -KILL $killed
wait $killed 2>/dev/null || true
"$bin/audiotool" wav "$work/killed/q3.wav" | tee "$work/killed.txt"
seconds=$(sed 's/ s.*//' "$work/killed.txt")
awk -v s="$seconds" 'BEGIN { exit !(s >= 4 && s <= 8.5) }' ||
    fail "the killed logger's recording holds $seconds s of about 8"
# A log cut off is not read until it has its closing line: the operator adds it by hand.
printf ' 1.15740740740741E-05  , Event , 0:00:01 , 3:14:28 PM , Logging Stopped\r\n' \
    >> "$work/killed/q3.txt"
cat > "$work/build.cues" <<CUES
program cuebuild
dialog killed/q3.txt
click mnuRdLog
click mnuWrtAll
CUES
(cd "$work" && "$bin/cuescript" build.cues > build.out) || { cat "$work/build.out"; fail "cuebuild"; }
"$bin/audiotool" level "$work/killed/q3.ra.mp3" | tee "$work/level.txt"
mp3=$(sed 's/.* dBTP //; s/ s$//' "$work/level.txt")
awk -v s="$mp3" 'BEGIN { exit !(s >= 3) }' || fail "the web form holds $mp3 s"
