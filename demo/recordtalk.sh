#!/bin/sh
# The demo's one-minute talk given in real time and recorded by the logger itself: a sound
# server of its own whose input hears each slide's words as the substitute presentation
# program shows the slide (espeak-ng speaks them), and cuerec8 with Record Audio on.
#   recordtalk.sh CUESCRIPT WORKDIR
# Writes WORKDIR/play/lecture6.txt with lecture6.wav and lecture6.sync beside it; cuebuild
# makes the web form from them. Exit 77 when the sound tools are not installed.
set -eu
cuescript=$1
work=$2
demo=$(cd "$(dirname "$0")" && pwd)
for tool in pulseaudio pactl pacat espeak-ng; do
    command -v $tool >/dev/null || { echo "$tool is not installed"; exit 77; }
done
mkdir -p "$work/play" "$work/sound" "$work/settings"
. "$demo/../tools/soundserver.sh"
start_sound_server "$work/sound"
printf '[Options]\r\nRecordAudio=True\r\n' > "$work/settings/CuemarkLog.ini"

script=$work/sound/talk.cues
{
    echo "settings settings"
    echo "audio input"
    grep '^ppt deck ' "$demo/record.cues"
    echo "clock real"
    echo "dialog play/lecture6.txt"
    echo "program cuerec8"
    echo "wait 1.2"
} > "$script"
n=0
running=
grep -v '^#' "$demo/spoken.txt" | while read -r slide seconds words; do
    n=$((n + 1))
    if [ "$slide" = - ]; then
        # A pause: the show ends and the room is quiet.
        echo "ppt end" >> "$script"
        running=
    else
        espeak-ng -v en-gb -s 150 -w "$work/sound/words$n.wav" "$words"
        echo "ppt sound $slide sound/words$n.wav" >> "$script"
        if [ -z "$running" ]; then
            echo "ppt start $slide" >> "$script"
        else
            echo "ppt goto $slide" >> "$script"
        fi
        running=yes
    fi
    echo "wait $seconds" >> "$script"
done
{
    echo "answer OK"
    echo "click cmdEnd"
} >> "$script"
echo "Giving the one-minute talk in real time, recorded by cuerec8 ..."
(cd "$work" && "$cuescript" sound/talk.cues > sound/talk.out)
