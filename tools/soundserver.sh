# A PulseAudio server of its own, in user mode, sourced by the sound tests and the demo:
#   start_sound_server WORKDIR    the server, its input plugged in
#   unplug_input, plug_in_input   the input goes away and comes back, as a USB microphone
# The input is a null sink "talk" whose monitor is the default source; the server and its
# clients keep their files under WORKDIR and the server ends with the shell.
# module-rescue-streams is not loaded, so a source that goes away ends the streams
# recording from it. The sink takes back nothing it rendered (norewinds), and a faint noise
# plays into it all along at a short latency, as a room's noise reaches a microphone: an
# idle null sink renders in slow bursts, and one whose latency drops takes back what its
# monitor had not yet given out, where a microphone gives its sound at an even pace (and
# never exact zeros, which a recording keeps for a time its input was gone).
start_sound_server() {
    mkdir -p "$1/run" "$1/home"
    export XDG_RUNTIME_DIR="$1/run" HOME="$1/home" PULSE_RUNTIME_PATH="$1/run/pulse" \
        PULSE_STATE_PATH="$1/home/pulse"
    unset PULSE_SERVER DISPLAY PULSE_SOURCE
    echo "load-module module-native-protocol-unix" > "$1/server.pa"
    pulseaudio -n -F "$1/server.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
        --log-target=stderr --log-level=error 2> "$1/server.log" &
    sound_server=$!
    silence=
    trap 'kill $silence $sound_server 2>/dev/null || true; wait $sound_server 2>/dev/null || true' EXIT
    i=0
    until pactl info >/dev/null 2>&1; do
        i=$((i + 1))
        [ $i -lt 50 ] || { cat "$1/server.log"; echo "the sound server did not start"; exit 1; }
        sleep 0.1
    done
    plug_in_input
    echo "sound server: $(pactl info | grep -E '^Default (Sink|Source)' | tr '\n' ' ')"
}

plug_in_input() {
    pactl load-module module-null-sink sink_name=talk rate=48000 channels=1 norewinds=1 >/dev/null
    pactl set-default-sink talk
    pactl set-default-source talk.monitor
    pacat --playback --latency-msec=20 --volume=8000 --raw --rate=48000 --channels=1 \
        --format=s16le /dev/urandom 2>/dev/null &
    silence=$!
}

unplug_input() {
    kill $silence 2>/dev/null || true
    pactl unload-module module-null-sink
}
