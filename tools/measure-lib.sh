# Shared pieces of the tools/measure-*.sh scripts (sourced, not run): a private virtual display,
# a private PulseAudio with a null sink, a fresh home folder or the demo service's, CPU readings
# and the summary line. Every process started here is remembered and ended by measure_cleanup
# (run on EXIT), the demo service too.

measure_pids=()
measure_dirs=()

measure_cleanup() {
    local p
    for p in "${measure_pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${measure_pids[@]}"; do wait "$p" 2>/dev/null || true; done
    for p in "${measure_dirs[@]}"; do rm -rf "$p"; done
    if declare -F demo_service_stop >/dev/null; then demo_service_stop; fi
}

measure_tmpdir() { # prints a new folder that measure_cleanup removes
    local d
    d=$(mktemp -d)
    measure_dirs+=("$d")
    echo "$d"
}

# measure_xvfb DISPLAY [SCREEN=1280x800x24]: starts Xvfb on DISPLAY, or on the next free number
# when another X server holds it (measurements run side by side: the player and the clicks must
# not land on someone else's display), and exports DISPLAY; sets xvfb_pid.
measure_xvfb() {
    local n=${1#:} _
    for _ in $(seq 20); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ] &&
            ! xdpyinfo -display ":$n" >/dev/null 2>&1; then
            Xvfb ":$n" -screen 0 "${2:-1280x800x24}" -nolisten tcp >/dev/null 2>&1 &
            xvfb_pid=$!
            measure_pids+=("$xvfb_pid")
            export DISPLAY=:$n
            for _ in $(seq 50); do
                kill -0 "$xvfb_pid" 2>/dev/null || break # another server took the number first
                if xdpyinfo >/dev/null 2>&1; then
                    [ ":$n" = "$1" ] || echo "Xvfb on :$n ($1 is taken)" >&2
                    return 0
                fi
                sleep 0.1
            done
            if kill -0 "$xvfb_pid" 2>/dev/null; then
                echo "Xvfb did not start on :$n" >&2
                return 1
            fi
        fi
        n=$((n + 1))
    done
    echo "no free display from $1 on" >&2
    return 1
}

# measure_pulse DIR: starts a PulseAudio of our own with one null sink, reachable only through
# DIR/pulse.sock; exports PULSE_SERVER and sets pulse_pid.
measure_pulse() {
    local dir=$1
    HOME=$dir XDG_RUNTIME_DIR=$dir pulseaudio -n --daemonize=no --exit-idle-time=-1 \
        --use-pid-file=no --log-level=error \
        -L "module-null-sink sink_name=measure" \
        -L "module-native-protocol-unix socket=$dir/pulse.sock auth-anonymous=1" \
        >"$dir/pulse.log" 2>&1 &
    pulse_pid=$!
    measure_pids+=("$pulse_pid")
    export PULSE_SERVER=unix:$dir/pulse.sock
    local _
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && return 0; sleep 0.1; done
    echo "PulseAudio did not start (see $dir/pulse.log)" >&2
    return 1
}

# measure_cpu PID: user + system CPU time of the process so far, in milliseconds.
measure_cpu() {
    awk -v hz="$(getconf CLK_TCK)" '{ sub(/^.*\) /, ""); print int(($12 + $13) * 1000 / hz) }' \
        "/proc/$1/stat"
}

# measure_summary LABEL UNIT VALUES...: "LABEL: median M UNIT (range A–B, N runs: ...)".
measure_summary() {
    local label=$1 unit=$2
    shift 2
    local sorted n
    sorted=$(printf '%s\n' "$@" | sort -n)
    n=$#
    printf '%s: median %s %s (range %s–%s, %d runs: %s)\n' "$label" \
        "$(sed -n "$(((n + 1) / 2))p" <<<"$sorted")" "$unit" \
        "$(head -1 <<<"$sorted")" "$(tail -1 <<<"$sorted")" "$n" "$*"
}

# measure_load: the machine's load when the measurement starts, for the record.
measure_load() {
    echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
}

# measure_config HOME [XML]: writes the player's settings file in HOME with XML inside the root,
# and a service address on a closed port, so that no service is reachable whatever runs on
# this machine (the library window stays hidden, as the figures assume).
measure_config() {
    mkdir -p "$1/Documents/Tunola"
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<TUNOLA.CONFIG><Service HOST="127.0.0.1:1"/>%s</TUNOLA.CONFIG>\n' \
        "${2:-}" >"$1/Documents/Tunola/tunola.xml"
}

# measure_private_home: a fresh home folder with the settings of measure_config, made HOME and
# XDG_RUNTIME_DIR, with the start-up trace on (the player's "first paint at" line); sets home.
measure_private_home() {
    home=$(measure_tmpdir)
    chmod 700 "$home"
    measure_config "$home"
    export HOME=$home XDG_RUNTIME_DIR=$home
    export QT_LOGGING_RULES="tunola.startup.info=true"
}

# measure_demo_home: starts the demo music service (scripts/demo-service.sh, from the source
# folder) and makes its demo home this script's HOME, with a private XDG_RUNTIME_DIR in it.
# demo-service.sh sets its own EXIT trap; this puts measure_cleanup back, which stops the service.
measure_demo_home() {
    . scripts/demo-service.sh
    trap measure_cleanup EXIT
    export HOME=$DEMO_HOME
    export XDG_RUNTIME_DIR=$demo_dir/run
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
}

# measure_window TITLE: waits up to 10 s for a shown window of that title; prints its id, or
# nothing when there is no such window.
measure_window() {
    local w="" _
    for _ in $(seq 100); do
        w=$(xdotool search --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$w" ] && xwininfo -id "$w" | grep -q IsViewable && break
        sleep 0.1
    done
    echo "$w"
}
