# shellcheck shell=bash
# Shared by the scripts/measure-* scripts; sourced, not run.

# Sets $build to the Release build to measure: $VORN_BUILD_DIR as given, or
# build-rel, built now. Figures of a Debug or sanitizer build say nothing
# about what a user feels.
release_build() {
    local top=$1
    build=${VORN_BUILD_DIR:-}
    if [ -z "$build" ]; then
        build=$top/build-rel
        "$top/scripts/build" "$build" -DCMAKE_BUILD_TYPE=Release -DVORN_BUILD_TESTS=OFF
    fi
    build=$(cd "$build" && pwd)
    if [ ! -x "$build/bench/vorn_windowprobe" ]; then
        echo "$build has no bench/vorn_windowprobe (is libx11-dev installed?)" >&2
        return 1
    fi
}

# The machine's load average (1, 5, 15 minutes): every figure is printed with
# it, since the machines these run on are shared and a busy one stalls any
# program.
load_average() {
    cut -d' ' -f1-3 /proc/loadavg
}

# The value of KEY in a line of key=value pairs (the probe's, mpv-watch's).
field() {
    sed -n "s/.*\b$2=\([^ ]*\).*/\1/p" <<<"$1"
}

# The probe's figures after the first answer: the stalls, not the start.
stalls() {
    echo "pings=${1#*pings=}"
}

# Runs a command on its own session bus and a virtual X server, without the
# bus daemon's warning that it may not raise its file limit in a container.
# Its errors pass through a pipe, not a process substitution, so that they
# are all out when it returns; its exit status is the command's.
on_display() {
    { dbus-run-session -- xvfb-run -a -s "-screen 0 1280x800x24" "$@" 2>&1 1>&3 3>&- |
        { grep --line-buffered -v 'Failed to set fd limit' >&2 || true; }; } 3>&1
}

# User plus system CPU time of a process, all its threads, in clock ticks.
cpu_ticks() {
    # The command name in field 2 may hold spaces: count from its ")".
    sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

# Writes "SECONDS TICKS" every half second until process PID ends: the wall
# time, and the CPU ticks so far of its thread THREAD together with those of
# its child processes named CHILD (children come and go: each counts with its
# last reading). When that work was busy, seen from outside.
work_ticks() {
    local pid=$1 thread=$2 child=$3 task kid ticks total
    local -A kids=()
    while kill -0 "$pid" 2>/dev/null; do
        total=0
        for task in /proc/"$pid"/task/*; do
            if [ "$(cat "$task/comm" 2>/dev/null)" = "$thread" ]; then
                ticks=$(sed 's/.*) //' "$task/stat" 2>/dev/null | awk '{ print $12 + $13 }')
                total=$((total + ${ticks:-0}))
            fi
        done
        for kid in $(pgrep -P "$pid" -x "$child"); do
            ticks=$(cpu_ticks "$kid" 2>/dev/null) && [ -n "$ticks" ] && kids[$kid]=$ticks
        done
        for kid in "${!kids[@]}"; do
            total=$((total + kids[$kid]))
        done
        echo "$(date +%s.%N) $total"
        sleep 0.5
    done
}

# From work_ticks' lines: "BUSY CPU", the seconds from the first to the last
# reading at which the thread had used more CPU than at the one before, and
# its CPU over that span as % of one core.
busy_span() {
    awk -v hz="$(getconf CLK_TCK)" '
        $2 == "" { next }
        prev != "" && $2 > prev { if (first == "") { first = prevtime; base = prev } last = $1; top = $2 }
        { prev = $2; prevtime = $1 }
        END {
            if (first == "") { print "0 0"; exit }
            printf "%.1f %.0f\n", last - first, (top - base) * 100 / hz / (last - first)
        }' "$1"
}

# CPU used between two cpu_ticks readings over SECONDS, as % of one core.
cpu_percent() {
    local before=$1 after=$2 seconds=$3
    awk -v b="$before" -v a="$after" -v t="$(getconf CLK_TCK)" -v s="$seconds" \
        'BEGIN { printf "%.1f\n", (a - b) * 100 / t / s }'
}

# The mpv socket VORN uses for a play list folder: named after a hash of the
# folder, in $XDG_RUNTIME_DIR (which the scripts set to a private folder).
mpv_socket() {
    local hash
    hash=$(printf '%s' "$1" | sha256sum | cut -c1-12)
    echo "$XDG_RUNTIME_DIR/vorn-mpv-$hash.sock"
}

# Asks the VORN on the session bus to play, retrying while its remote
# control is not on the bus yet. Exit status 1 when it never answered.
mpris_play() {
    for _ in $(seq 100); do
        if dbus-send --session --print-reply --type=method_call --dest=org.mpris.MediaPlayer2.vorn \
            /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Player.Play >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.2
    done
    echo "VORN did not take Play on the session bus" >&2
    return 1
}

# Writes FOLDER/NAME.sdf, a play list of the given audio files, each with its
# length as the list shows it.
write_play_list() {
    local list=$1
    shift
    python3 - "$list" "$@" <<'PY'
import json, os, subprocess, sys
out = open(sys.argv[1], "wb")
lengths = {}
for number, path in enumerate(sys.argv[2:], 1):
    # Copies share their inode: one ffprobe per distinct file.
    key = os.stat(path).st_ino
    if key not in lengths:
        probe = subprocess.run(["ffprobe", "-v", "quiet", "-print_format", "json", "-show_format", path],
                               capture_output=True, check=True)
        lengths[key] = round(float(json.loads(probe.stdout)["format"]["duration"]))
    s = lengths[key]
    fields = [f"Song {number}", f"Artist {number % 7}", "Measuring", "Test",
              f"{s // 60:02d}:{s % 60:02d}", path]
    out.write(b"\xff".join(f.encode() for f in fields) + b"\xff\r\n")
PY
}

# Starts VORN (from $build) on the current display and bus; sets $vorn to
# its process id and $vorn_origin to the wall time just before, in ns.
start_vorn() {
    # shellcheck disable=SC2034 # read by the caller
    vorn_origin=$(date +%s%N)
    "$build/src/VORN" >>"$VORN_HOME/stdout.log" 2>&1 &
    vorn=$!
}

# Ends VORN as a logout does (it writes what it holds) and waits for it.
stop_vorn() {
    kill -TERM "$vorn" 2>/dev/null || true
    wait "$vorn" 2>/dev/null || true
}
