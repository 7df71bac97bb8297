#!/usr/bin/env bash
# Builds the release build and starts the program in a window on the user's display.
# PRODUCT_TYPE chooses the gateway variant (25 when unset), e.g. PRODUCT_TYPE=10 scripts/run.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "error: no display: set DISPLAY (X11) or WAYLAND_DISPLAY to start the program" >&2
    exit 2
fi
"$root/scripts/install-deps.sh"
build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTS=OFF -DBUILD_BENCHMARKS=OFF \
    -DPRODUCT_TYPE="${PRODUCT_TYPE:-25}"
cmake --build "$build" -j "$(nproc)"
exec "$build/app/knxgwconfig"
