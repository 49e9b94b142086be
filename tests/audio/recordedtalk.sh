#!/bin/sh
# A talk recorded by the logger itself from a virtual input, turned into a web presentation
# by cuebuild, then heard: each slide's transition sound begins with a short tone, and the
# web form must hold each tone within 0.5 s of its slide's page start.
#   recordedtalk.sh BIN WORKDIR
# BIN holds cuescript and audiotool. A PulseAudio server of the test's own runs in user
# mode with a null sink whose monitor is the default source: the substitute presentation
# program plays each slide's sound into it as the show reaches the slide, and cuerec8,
# with Record Audio on, records it in real time while it polls the show.
# Exit 77: no sound server or no speech here.
set -eu
bin=$1
work=$2
tone=3000
here=$(cd "$(dirname "$0")" && pwd)

for tool in pulseaudio pactl espeak-ng; do
    command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work/talk" "$work/settings"
. "$here/../../tools/soundserver.sh"
start_sound_server "$work"

# Each slide's sound: its tone, then a sentence.
n=0
for sentence in "Welcome to the lecture on caching." "First, the agenda." \
    "Why do we cache at all? Locality of reference is the answer." \
    "Where should a cache go?" "That is our last question."; do
    n=$((n + 1))
    espeak-ng -v en -s 160 -w "$work/speech$n.wav" "$sentence"
    "$bin/audiotool" feed "$work/slide$n.wav" "$work/speech$n.wav" $tone 0
done

# The changes fall 0.1 to 0.4 s after a poll of the logger's 500 ms timer (the script's
# waits keep to that timer's pace from the program's start), so a tone may lie anywhere
# the logger's resolution allows and still 0.1 s from its limit.
printf '[Options]\r\nRecordAudio=True\r\n' > "$work/settings/CuemarkLog.ini"
cat > "$work/talk.cues" <<CUES
settings settings
audio input
ppt deck C:\\Talks\\q3.ppt One Two Three Four Five
ppt sound 1 slide1.wav
ppt sound 2 slide2.wav
ppt sound 3 slide3.wav
ppt sound 4 slide4.wav
ppt sound 5 slide5.wav
clock real
dialog talk/q3.txt
program cuerec8
wait 1.1
ppt start 1
wait 3.15
ppt goto 2
wait 3.15
ppt goto 3
wait 4.75
ppt goto 4
wait 3.2
ppt goto 5
wait 3
dump
answer OK
click cmdEnd
program cuebuild
dialog talk/q3.txt
click mnuRdLog
dump
click mnuWrtAll
CUES
(cd "$work" && "$bin/cuescript" talk.cues > cuescript.out)
grep -E '^  (label lblStatus |text txtAudioURL |text txtTapeEarly |row [1-5] )' \
    "$work/cuescript.out" || true
cat "$work/talk/q3.sync"

# Heard: each page start against the tone of its slide.
"$bin/audiotool" level "$work/talk/q3.ra.mp3"
"$bin/audiotool" tones "$work/talk/q3.ra.mp3" $tone > "$work/tones.txt"
grep -E '^  row [1-5] ' "$work/cuescript.out" | awk '{ print $4 }' | tr -d '"' > "$work/starts.txt"
echo "page start, tone, offset (s):"
paste "$work/starts.txt" "$work/tones.txt" | awk -v want=5 '
    { split($1, t, ":"); start = t[1] * 3600 + t[2] * 60 + t[3]; off = $2 - start;
      printf "  %s %7.3f %+6.3f\n", $1, $2, off; n++;
      if (off < -0.5 || off > 0.5) bad++ }
    END { if (n != want) { print "expected " want " tones and pages, found " n; exit 1 }
          if (bad) { print bad " tones more than 0.5 s from their page"; exit 1 } }'
