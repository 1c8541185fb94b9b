#!/usr/bin/env bash
# Installs the built program into a temporary prefix, starts the installed
# program on a private X server with a private play list folder, and checks
# from its log that it found its VU library and its help pages in the
# installed layout. Then ends it as logging out does and checks that it
# closed cleanly and left no player running.
# Usage: install_check.sh BUILD-DIR SOURCE-DIR
set -u
build=$1
source=$2
tmp=$(mktemp -d)
vorn_pid=
xvfb_pid=

# The processes whose command line names our private runtime folder: the
# players this run started.
players() {
    local p
    for p in /proc/[0-9]*; do
        if { tr '\0' ' ' <"$p/cmdline"; } 2>/dev/null | grep -qF -- "$tmp/run/"; then
            echo "${p#/proc/}"
        fi
    done
}
cleanup() {
    local p
    [ -n "$vorn_pid" ] && kill -KILL "$vorn_pid" 2>/dev/null
    for p in $(players); do kill -KILL "$p" 2>/dev/null; done
    [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*"
    if [ -f "$tmp/home/VORN.log" ]; then
        echo "--- VORN.log"; cat "$tmp/home/VORN.log"
    fi
    [ -f "$tmp/vorn.out" ] && { echo "--- output"; tail -50 "$tmp/vorn.out"; }
    exit 1
}
# Waits up to $1 seconds for the command in the remaining arguments to succeed.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.2
    done
}

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >"$tmp/install.out" 2>&1 \
    || { cat "$tmp/install.out"; fail "cmake --install"; }
for f in bin/vorn lib/vorn/libvu.so lib/vorn/vorn-loudness share/vorn/Help/index.html \
    share/applications/vorn.desktop share/icons/hicolor/scalable/apps/vorn.svg; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
[ -x "$prefix/bin/vorn" ] || fail "bin/vorn is not executable"
# The loudness helper runs from the installed tree and answers a file it
# cannot measure.
answer=$(printf '%s\0' "$tmp/no such file" | "$prefix/lib/vorn/vorn-loudness") \
    || fail "the installed loudness helper failed"
[[ $answer == "N "* ]] || fail "the installed loudness helper answered \"$answer\""
# The installed program must not lean on the build tree.
[ -e "$prefix/bin/Help" ] && fail "help pages beside the installed program"

mkdir -p "$tmp/home" "$tmp/run"
chmod 700 "$tmp/run"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$tmp/display" >"$tmp/xvfb.out" 2>&1 &
xvfb_pid=$!
wait_for 30 test -s "$tmp/display" || fail "Xvfb did not start"
display=:$(head -n1 "$tmp/display")

# No sound server is reached (nor started): the meter stays dark, which
# does not matter here. Started from another folder than the prefix: the program finds its parts
# from its own place, not from the working folder.
(cd / && exec env DISPLAY="$display" QT_QPA_PLATFORM=xcb VORN_HOME="$tmp/home" \
    XDG_RUNTIME_DIR="$tmp/run" VORN_MPV_OPTIONS=--ao=null PULSE_SERVER="unix:$tmp/run/no-pulse" \
    LSAN_OPTIONS="suppressions=$source/tests/lsan.supp:print_suppressions=0" \
    "$prefix/bin/vorn") >"$tmp/vorn.out" 2>&1 &
vorn_pid=$!

log=$tmp/home/VORN.log
logged() { grep -qF -- "$1" "$log" 2>/dev/null; }
wait_for 60 logged "VU Meter loaded from $prefix/lib/vorn/libvu.so" \
    || fail "the VU library was not loaded from the installed layout"
wait_for 10 logged "Help pages at $prefix/share/vorn/Help" \
    || fail "the help pages were not found in the installed layout"
# The player is started once the splash has gone.
has_player() { [ -n "$(players)" ]; }
wait_for 60 has_player || fail "no player was started"

kill -TERM "$vorn_pid"
gone() { ! kill -0 "$vorn_pid" 2>/dev/null; }
wait_for 60 gone || fail "the program did not end on SIGTERM"
wait "$vorn_pid"
status=$?
vorn_pid=
[ $status -eq 0 ] || fail "the program ended with status $status"
no_player() { [ -z "$(players)" ]; }
wait_for 10 no_player || fail "a player was left running: $(players)"
leftovers=$(find "$tmp/run" -name 'vorn*')
[ -z "$leftovers" ] || fail "left in the runtime folder: $leftovers"
echo "installed program found its VU library and help pages and closed cleanly"
