#!/usr/bin/env bash
# Builds the test build (-O1, AddressSanitizer and UndefinedBehaviorSanitizer, warnings as
# errors), runs every test on Qt's offscreen platform, then the desktop tests: the program on a
# virtual X screen with a window manager, used through real X input (tests/desktop/run.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build="$root/build/test"
jobs=$(nproc)
cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1 -Werror" \
    -DENABLE_SANITIZERS=ON -DBUILD_TESTS=ON -DBUILD_BENCHMARKS=ON
cmake --build "$build" -j "$jobs"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$jobs"
"$root/tests/desktop/run.sh" "$build"
