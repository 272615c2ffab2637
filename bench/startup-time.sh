#!/usr/bin/env bash
# Start-up time and memory of the real program on the large dictionary, in a
# private X server on the xcb platform.
#
#   bench/startup-time.sh [RUNS] [BUILD_DIR]      (defaults: 21, build)
#
# Each run starts the program and takes the time from just before its exec to
# the moment the X server maps the search page's window: an xev client watching
# the root window's substructure receives the MapNotify event, and each of its
# lines is stamped on arrival. The first paint follows the map and is not
# included. One second after the map the program's VmRSS, PSS and anonymous
# memory (the last two from /proc/PID/smaps_rollup) are read: PSS shares each
# library page among the processes mapping it, so it falls while other Qt
# programs run; anonymous memory (heap, stacks) is the program's own. Then
# Ctrl+Q ends the program and the run must end with exit code 0. The program
# and the dictionary are copied to a fresh folder first, so every run finds
# them in the page cache.
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."
runs=${1:-21}
build=${2:-build}
dictionary="$build/dist/English Dictionary (large).pdb"
for needed in "$build/dist/lexivane" "$build/dist/liblexicore.so" "$dictionary"; do
    [[ -f "$needed" ]] || { echo "startup-time: $needed is missing; run make first" >&2; exit 1; }
done

# shellcheck source-path=SCRIPTDIR source=../scripts/xsession.sh
source scripts/xsession.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/lexivane-startup.XXXXXX")
xev_pid=""
stamp_pid=""
app_pid=""
cleanup() {
    xs_end_process "$app_pid"
    xs_end_process "$xev_pid"
    xs_end_process "$stamp_pid"
    xs_stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' HUP INT PIPE TERM

mkdir -p "$work/program" "$work/runtime"
chmod 700 "$work/runtime"
cp "$build/dist/lexivane" "$build/dist/liblexicore.so" "$dictionary" "$work/program/"
xs_start_xvfb "$work"

# The watcher: every line xev prints, prefixed with its arrival time.
mkfifo "$work/xev.fifo"
: >"$work/events"
xev -root -event substructure -event property >"$work/xev.fifo" &
xev_pid=$!
while IFS= read -r line; do
    echo "$EPOCHREALTIME $line"
done <"$work/xev.fifo" >>"$work/events" &
stamp_pid=$!

# Sets a property on the root window and waits until the watcher reports the
# change, trying again while it is not listening yet; prints the delay from
# just before the last try to the report's stamp, in ms.
probe() {
    local seen start stamp
    seen=$(awk '/PropertyNotify/ { ++k } END { print k + 0 }' "$work/events")
    while :; do
        start=$EPOCHREALTIME
        xprop -root -f LEXIVANE_PROBE 8s -set LEXIVANE_PROBE "$start"
        for _ in 1 2 3 4 5 6 7 8 9 10; do
            stamp=$(awk -v n="$((seen + 1))" '/PropertyNotify/ && ++k == n { print $1; exit }' \
                "$work/events")
            if [[ -n "$stamp" ]]; then
                awk -v a="$start" -v b="$stamp" 'BEGIN { printf "%.1f", (b - a) * 1000 }'
                return
            fi
            sleep 0.01
        done
        xs_in_time || xs_fail "xev did not report a property change"
    done
}
# The first probe waits for the watcher to listen; the fastest of five more
# bounds the method's own overhead from above (it includes starting xprop).
probe >/dev/null
overhead=""
for _ in 1 2 3 4 5; do
    delay=$(probe)
    if [[ -z "$overhead" ]] || awk -v a="$delay" -v b="$overhead" 'BEGIN { exit !(a < b) }'; then
        overhead=$delay
    fi
done

times=()
rss=()
pss=()
anonymous=()
for ((run = 1; run <= runs; run++)); do
    xs_deadline=$((SECONDS + 60))
    seen=$(wc -l <"$work/events")
    (cd "$work/program" && echo "$EPOCHREALTIME" >"$work/start" &&
        exec env QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" ./lexivane \
            >"$work/program.log" 2>&1) &
    app_pid=$!
    # "TIME MapNotify event, ..." is followed by "TIME     event ROOT, window ID, ...".
    mapped=""
    until [[ -n "$mapped" ]]; do
        mapped=$(tail -n +"$((seen + 1))" "$work/events" | awk '
            /MapNotify event/ { time = $1; next }
            time != "" && match($0, /window 0x[0-9a-f]+/) {
                print time, substr($0, RSTART + 7, RLENGTH - 7); exit
            }')
        kill -0 "$app_pid" 2>/dev/null || xs_fail "the program ended before showing a window"
        xs_in_time || xs_fail "no window was mapped in run $run"
        sleep 0.01
    done
    read -r map_time window <<<"$mapped"
    name=$(xdotool getwindowname "$((window))")
    [[ $name == Lexivane ]] || xs_fail "the first window mapped is \"$name\", not the search page"
    times+=("$(awk -v a="$(<"$work/start")" -v b="$map_time" 'BEGIN { printf "%.1f", (b - a) * 1000 }')")

    sleep 1
    rss+=("$(awk '/^VmRSS:/ { print $2 }' "/proc/$app_pid/status")")
    pss+=("$(awk '/^Pss:/ { print $2 }' "/proc/$app_pid/smaps_rollup")")
    anonymous+=("$(awk '/^Anonymous:/ { print $2 }' "/proc/$app_pid/smaps_rollup")")

    xs_focus "$((window))"
    xdotool key ctrl+q
    status=0
    wait "$app_pid" || status=$?
    app_pid=""
    ((status == 0)) || xs_fail "run $run: the program ended with exit code $status"
    echo "run $run: ${times[-1]} ms to the search page's map, VmRSS ${rss[-1]} kB," \
        "PSS ${pss[-1]} kB, anonymous ${anonymous[-1]} kB"
done

# Prints "median min max" of the numbers given.
summary() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        print m, v[1], v[NR] }'
}
read -r median low high <<<"$(summary "${times[@]}")"
read -r rss_median rss_low rss_high <<<"$(summary "${rss[@]}")"
read -r pss_median pss_low pss_high <<<"$(summary "${pss[@]}")"
read -r anon_median anon_low anon_high <<<"$(summary "${anonymous[@]}")"
echo "start-up, $runs runs on $(basename "$dictionary"): median $median ms (min $low, max $high)"
echo "memory one second after the map: VmRSS median $rss_median kB ($rss_low-$rss_high)," \
    "PSS median $pss_median kB ($pss_low-$pss_high)," \
    "anonymous median $anon_median kB ($anon_low-$anon_high)"
echo "watcher overhead, upper bound (xprop start-up included): $overhead ms"
