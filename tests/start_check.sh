#!/usr/bin/env bash
# scripts/start without a display: the terminal is told, before the program
# starts, that it runs on a virtual screen, which screen that is and how to
# see and stop it; the program gets its arguments and the screen, its exit
# status is the command's, and Ctrl+C (SIGINT to the terminal's group) ends
# it and the virtual screen.
# Usage: start_check.sh SOURCE_DIR
set -uo pipefail
start=$1/scripts/start
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cat >"$work/exits" <<'PROG'
#!/bin/sh
echo "program: DISPLAY=$DISPLAY args=$*"
exit 7
PROG
cat >"$work/waits" <<'PROG'
#!/bin/sh
trap 'echo "program: interrupted"; exit 3' INT
echo "program: waiting"
while :; do sleep 0.1; done
PROG
chmod +x "$work/exits" "$work/waits"

env -u DISPLAY -u WAYLAND_DISPLAY "$start" "$work/exits" "a b" c >"$work/out" 2>&1
status=$?
[ "$status" -eq 7 ] || fail "exit status $status, not the program's 7"
for expected in 'No display was found' 'virtual screen' 'Ctrl+C' 'import -window root' \
    'x11vnc -display :'; do
    grep -qF -- "$expected" "$work/out" || fail "no '$expected' on the terminal"
done
told=$(grep -n 'The virtual screen is DISPLAY=:' "$work/out" | head -1 | cut -d: -f1)
ran=$(grep -n '^program:' "$work/out" | head -1 | cut -d: -f1)
[ -n "$told" ] && [ -n "$ran" ] && [ "$told" -lt "$ran" ] || fail "not told before the start"
screen=$(sed -n 's/^The virtual screen is DISPLAY=\(:[0-9]*\)\..*/\1/p' "$work/out")
grep -qxF "program: DISPLAY=$screen args=a b c" "$work/out" ||
    fail "the program did not get the screen and its arguments"

# Ctrl+C reaches the whole foreground group, as a terminal sends it. With job
# control the command gets a group of its own and does not ignore SIGINT, as
# a background command of a script would.
set -m
env -u DISPLAY -u WAYLAND_DISPLAY "$start" "$work/waits" >"$work/int" 2>&1 &
group=$!
set +m
for _ in $(seq 100); do grep -q 'program: waiting' "$work/int" && break; sleep 0.1; done
kill -INT -- "-$group"
for _ in $(seq 100); do kill -0 "$group" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$group" 2>/dev/null; then
    fail "still running 10 s after Ctrl+C"
    kill -KILL -- "-$group"
fi
wait "$group"
status=$?
[ "$status" -eq 3 ] || fail "exit status $status after Ctrl+C, not the program's 3"
grep -q 'program: interrupted' "$work/int" || fail "the program did not see Ctrl+C"
# xvfb-run ends the virtual screen as it exits, without waiting for it.
for _ in $(seq 50); do pgrep -g "$group" >/dev/null || break; sleep 0.1; done
left=$(pgrep -a -g "$group")
[ -z "$left" ] || fail "left running: $left"

[ "$failures" -eq 0 ] && echo "scripts/start: all checks passed"
exit $((failures > 0))
