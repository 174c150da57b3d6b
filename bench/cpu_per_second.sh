#!/usr/bin/env bash
# The processor time that the show takes per second of real time, in a window system of its
# own (Xvfb): after 4 s for start-up, the show process's user and system time is read from
# /proc at the start and the end of SECONDS. Run from the repository root:
#   bench/cpu_per_second.sh SECONDS [show options]
# for example bench/cpu_per_second.sh 20 --window --from 700, then with --no-vsync added.
set -euo pipefail
seconds=${1:?usage: bench/cpu_per_second.sh SECONDS [show options]}
shift
demo=${KORVID_BUILD_DIR:-build}/demo

number=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number" 2>/dev/null &
server=$!
trap 'kill $server 2>/dev/null' EXIT
until [ -s "$number" ]; do sleep 0.1; done
export DISPLAY=:$(cat "$number") SDL_VIDEODRIVER=x11
rm -f "$number"

"$demo" "$@" 2>/dev/null &
show=$!
sleep 4
ticks() { awk '{ print $14 + $15 }' "/proc/$show/stat"; }
before=$(ticks)
sleep "$seconds"
after=$(ticks)
kill "$show"
wait "$show" 2>/dev/null || true
awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$seconds" \
    'BEGIN { printf "%.2f s of processor time a second\n", t / hz / s }'
