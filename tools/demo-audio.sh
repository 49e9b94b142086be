#!/bin/sh
# Makes the demo lecture's audio: one spoken sentence per slide, each padded or cut to its
# slide's length, joined and written as a small mono MP3. Run once by hand; the result is
# committed, so no build needs espeak-ng, sox or lame.
#   tools/demo-audio.sh OUT.mp3 < lines      (each line: SECONDS TEXT)
# Needs: espeak-ng sox lame (Debian packages of those names).
set -eu
out=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
n=0
while read -r seconds text; do
    [ -n "$seconds" ] || continue
    n=$((n + 1))
    espeak-ng -v en-gb -s 150 -w "$work/say.wav" "$text"
    sox -V1 "$work/say.wav" -r 22050 -c 1 "$work/part$(printf %03d $n).wav" pad 0.3 "$seconds" trim 0 "$seconds"
done
sox "$work"/part*.wav "$work/all.wav"
lame --quiet -m m -b 24 --resample 22.05 "$work/all.wav" "$out"
soxi -D "$work/all.wav"
