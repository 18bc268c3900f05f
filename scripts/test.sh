#!/usr/bin/env bash
# Sets up, builds and runs every test: the whole program with -Werror, then the core library's
# tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

bash "$root/scripts/setup.sh"

echo "== build and test (release, with ui tests on the offscreen platform)"
cmake -S "$root" -B "$root/build/test" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPIRELA_WERROR=ON -DPIRELA_BUILD_BENCH=ON >/dev/null
cmake --build "$root/build/test" -j "$jobs"
ctest --test-dir "$root/build/test" --output-on-failure -j "$jobs"

echo "== core tests under ASan + UBSan"
cmake -S "$root" -B "$root/build/sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DPIRELA_WERROR=ON -DPIRELA_BUILD_UI=OFF -DPIRELA_BUILD_BENCH=OFF -DPIRELA_SANITIZE=ON >/dev/null
cmake --build "$root/build/sanitize" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir "$root/build/sanitize" --output-on-failure -j "$jobs"
