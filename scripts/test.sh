#!/usr/bin/env bash
# Sets up, builds and runs every test: the whole program with -Werror, then the core library's
# tests once more under AddressSanitizer and UndefinedBehaviorSanitizer, and once more under
# ThreadSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
# Where ccache is installed, every build below goes through it (a developer's rebuilds across
# worktrees and build folders); a fresh machine without it builds as plain.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

bash "$root/scripts/setup.sh"

echo "== build and test (release, with ui tests on the offscreen platform)"
cmake -S "$root" -B "$root/build/test" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPIRELA_WERROR=ON -DPIRELA_BUILD_BENCH=ON "${launcher[@]}" >/dev/null
cmake --build "$root/build/test" -j "$jobs"
ctest --test-dir "$root/build/test" --output-on-failure -j "$jobs"

echo "== core tests and fuzz target replays under ASan + UBSan"
cmake -S "$root" -B "$root/build/sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DPIRELA_WERROR=ON -DPIRELA_BUILD_UI=OFF -DPIRELA_BUILD_BENCH=OFF -DPIRELA_SANITIZE=ON "${launcher[@]}" >/dev/null
cmake --build "$root/build/sanitize" -j "$jobs"
# The fuzz targets run there too, replaying their seeds and saved crash files (fuzz_*).
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  LSAN_OPTIONS=suppressions="$root/scripts/lsan-suppressions.txt" \
  ctest --test-dir "$root/build/sanitize" --output-on-failure -j "$jobs"

echo "== core tests under TSan"
cmake -S "$root" -B "$root/build/tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DPIRELA_WERROR=ON -DPIRELA_BUILD_UI=OFF -DPIRELA_BUILD_BENCH=OFF -DPIRELA_SANITIZER=thread "${launcher[@]}" >/dev/null
# GCC 12's ThreadSanitizer stops with "unexpected memory mapping" on kernels that place
# mappings with more random bits than it expects; without address randomisation it runs
# everywhere. The build runs the tests too (to list them), so it goes the same way. Where the
# personality cannot be changed (some containers), both run as they are.
fixed_layout=()
if setarch "$(uname -m)" -R true 2>/dev/null; then
  fixed_layout=(setarch "$(uname -m)" -R)
fi
"${fixed_layout[@]}" cmake --build "$root/build/tsan" -j "$jobs"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions="$root/scripts/tsan-suppressions.txt" \
  "${fixed_layout[@]}" ctest --test-dir "$root/build/tsan" --output-on-failure -j "$jobs"
