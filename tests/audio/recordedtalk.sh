#!/bin/sh
# A talk recorded from a virtual input and turned into a web presentation, then heard:
# each slide change carries a short tone, and the web form must hold each tone within
# 0.5 s of its slide's page start.
#   recordedtalk.sh BIN WORKDIR
# BIN holds cuescript and audiotool. A PulseAudio server of the test's own runs in user
# mode with a null sink whose monitor is the default source; espeak-ng speaks over it.
# Until the logger records by itself, parec stands in for it and the sync file is made
# from where the first tone lies in the capture.
# Exit 77: no sound server or no speech here.
set -eu
bin=$1
work=$2
tone=3000
# The slide changes, in seconds after the first slide line.
changes="0 3.3 7.1 10.2"
lead=1.5

for tool in pulseaudio pactl parec espeak-ng; do
    command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work/run" "$work/home" "$work/talk"
export XDG_RUNTIME_DIR="$work/run" HOME="$work/home" PULSE_RUNTIME_PATH="$work/run/pulse" \
    PULSE_STATE_PATH="$work/home/pulse"
unset PULSE_SERVER DISPLAY

cat > "$work/server.pa" <<EOF
load-module module-native-protocol-unix
load-module module-null-sink sink_name=talk rate=48000 channels=1
set-default-sink talk
set-default-source talk.monitor
EOF
pulseaudio -n -F "$work/server.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --log-target=stderr --log-level=error 2> "$work/server.log" &
server=$!
recorder=
stop() {
    [ -z "$recorder" ] || kill "$recorder" 2>/dev/null || true
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
}
trap stop EXIT
i=0
until pactl info >/dev/null 2>&1; do
    i=$((i + 1))
    [ $i -lt 50 ] || { cat "$work/server.log"; echo "the sound server did not start"; exit 1; }
    sleep 0.1
done
echo "sound server: $(pactl info | grep -E '^Default (Sink|Source)' | tr '\n' ' ')"

espeak-ng -v en -s 160 -w "$work/speech.wav" \
    "Welcome to the lecture on caching. First, the agenda. Why do we cache at all? \
Locality of reference is the answer. Where should a cache go? That is our last question."
feedTones=$(echo $changes | awk -v lead=$lead '{ for (i = 1; i <= NF; i++) printf "%s ", $i + lead }')
"$bin/audiotool" feed "$work/feed.wav" "$work/speech.wav" $tone $feedTones

# The capture, from before the feed to its end.
parec --rate=48000 --channels=1 --format=s16le --file-format=wav "$work/talk/q3.wav" &
recorder=$!
sleep 0.5
"$bin/audiotool" play "$work/feed.wav" < /dev/null
sleep 0.3
kill -INT "$recorder"
wait "$recorder" 2>/dev/null || true
recorder=

# The sync file: the first slide line where the first tone is in the capture.
first=$("$bin/audiotool" tones "$work/talk/q3.wav" $tone | head -1)
[ -n "$first" ] || { echo "no tone in the capture"; exit 1; }
firstMs=$(echo "$first" | awk '{ printf "%d", $1 * 1000 }')
printf 'Cuemark Recording\r\naudio q3.wav\r\nrate 48000\r\nchannels 1\r\nfirst-line-ms %s\r\n' \
    "$firstMs" > "$work/talk/q3.sync"

# The log of the same changes, as the logger writes it in whole seconds after the first.
{
    echo "ppt deck C:\\Talks\\q3.ppt One Two Three Four"
    echo "clock 10:00:00"
    echo "dialog talk/q3.txt"
    echo "program cuerec8"
    n=0
    for d in $changes; do
        n=$((n + 1))
        s=$(printf '%.0f' "$d")
        echo "clock 10:00:$(printf %02d "$s")"
        [ $n -eq 1 ] && echo "ppt start 1" || echo "ppt goto $n"
        echo "tick"
    done
    echo "clock 10:00:14"
    echo "answer OK"
    echo "click cmdEnd"
    echo "program cuebuild"
    echo "dialog talk/q3.txt"
    echo "click mnuRdLog"
    echo "dump"
    echo "click mnuWrtAll"
} > "$work/talk.cues"
(cd "$work" && "$bin/cuescript" talk.cues > cuescript.out)
grep -E '^  (text txtAudioURL |text txtTapeEarly |row [1-4] )' "$work/cuescript.out" || true

# Heard: each page start against the tone of its slide.
"$bin/audiotool" level "$work/talk/q3.ra.mp3"
"$bin/audiotool" tones "$work/talk/q3.ra.mp3" $tone > "$work/tones.txt"
grep -E '^  row [1-4] ' "$work/cuescript.out" | awk '{ print $4 }' | tr -d '"' > "$work/starts.txt"
echo "page start, tone, offset (s):"
paste "$work/starts.txt" "$work/tones.txt" | awk -v want="$(echo $changes | wc -w)" '
    { split($1, t, ":"); start = t[1] * 3600 + t[2] * 60 + t[3]; off = $2 - start;
      printf "  %s %7.3f %+6.3f\n", $1, $2, off; n++;
      if (off < -0.5 || off > 0.5) bad++ }
    END { if (n != want) { print "expected " want " tones and pages, found " n; exit 1 }
          if (bad) { print bad " tones more than 0.5 s from their page"; exit 1 } }'
