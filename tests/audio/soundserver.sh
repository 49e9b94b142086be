# A PulseAudio server of a test's own, in user mode, sourced by the sound tests:
#   start_sound_server WORKDIR
# A null sink "talk" whose monitor is the default source; the server and its clients keep
# their files under WORKDIR and the server ends with the shell. module-rescue-streams is
# not loaded, so a source that goes away ends the streams recording from it. Silence plays
# into the sink all along, at a short latency: an idle null sink renders in slow bursts,
# and a sink whose latency drops (when a stream asks for a short one) takes back what its
# monitor had not yet given out, where a microphone gives its sound at an even pace.
start_sound_server() {
    mkdir -p "$1/run" "$1/home"
    export XDG_RUNTIME_DIR="$1/run" HOME="$1/home" PULSE_RUNTIME_PATH="$1/run/pulse" \
        PULSE_STATE_PATH="$1/home/pulse"
    unset PULSE_SERVER DISPLAY PULSE_SOURCE
    cat > "$1/server.pa" <<PA
load-module module-native-protocol-unix
load-module module-null-sink sink_name=talk rate=48000 channels=1 norewinds=1
set-default-sink talk
set-default-source talk.monitor
PA
    pulseaudio -n -F "$1/server.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
        --log-target=stderr --log-level=error 2> "$1/server.log" &
    sound_server=$!
    trap 'kill $sound_server 2>/dev/null || true; wait $sound_server 2>/dev/null || true' EXIT
    i=0
    until pactl info >/dev/null 2>&1; do
        i=$((i + 1))
        [ $i -lt 50 ] || { cat "$1/server.log"; echo "the sound server did not start"; exit 1; }
        sleep 0.1
    done
    pacat --playback --latency-msec=20 --raw --rate=48000 --channels=1 --format=s16le /dev/zero &
    silence=$!
    trap 'kill $silence $sound_server 2>/dev/null || true; wait $sound_server 2>/dev/null || true' EXIT
    echo "sound server: $(pactl info | grep -E '^Default (Sink|Source)' | tr '\n' ' ')"
}
