#!/usr/bin/env bash
# The desktop tests: the program on a virtual X screen (Xvfb) under a window manager (openbox),
# used through real X input (xdotool) at a user's speed. Each case works in program folders of
# its own under a temporary folder, with a stand-in for the external updater.
#
#   tests/desktop/run.sh [build folder] [case name ...]
#
# The build folder (default build/test) holds app/knxgwconfig and the product type 10 program
# tests/desktop/knxgwconfig_type10. Exits non-zero when a case fails, after printing the end of
# the failed case's program log. The temporary folder goes at the end, however the run ends;
# with KNXGW_DESKTOP_KEEP=1 a failed run keeps it (screens of the failed cases, logs, probe
# files and the project folders).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/test}
shift || true
for tool in Xvfb openbox xdotool xwd xprop; do
    command -v "$tool" >/dev/null || { echo "error: $tool is not installed" >&2; exit 2; }
done

work=$(mktemp -d /tmp/knxgw-desktop.XXXXXX)
pids=()
driver=
cleanup() {
    local status=$? pid
    # The driver leads the process group of the programs it started.
    if [ -n "$driver" ]; then
        kill -- "-$driver" 2>/dev/null || kill "$driver" 2>/dev/null || true
        wait "$driver" 2>/dev/null || true
    fi
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    if [ "$status" -ne 0 ] && [ -n "${KNXGW_DESKTOP_KEEP:-}" ]; then
        # The programs are links to the build's: only what the cases made is kept.
        find "$work" -name 'knxgwconfig' -type f -delete
        echo "desktop tests: kept $work"
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT

# A free display: Xvfb writes the number it took.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
display=
for _ in $(seq 200); do
    display=$(tr -d '\n' <"$work/display")
    [ -n "$display" ] && break
    sleep 0.05
done
[ -n "$display" ] || { echo "error: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 2; }
export DISPLAY=":$display"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# The window manager is up once it owns the screen's selection.
wm=
for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && { wm=1; break; }
    sleep 0.05
done
[ -n "$wm" ] || { echo "error: openbox did not start" >&2; cat "$work/openbox.log" >&2; exit 2; }

python3 -B "$root/tests/desktop/driver.py" --build "$build" --work "$work" "$@" &
driver=$!
status=0
wait "$driver" || status=$?
driver=
exit $status
