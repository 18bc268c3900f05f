#!/usr/bin/env bash
# Builds the benchmarks (optimised), writes their corpus once into build/bench-corpus, and runs
# them. Each prints its times as ratios to a reference measured in the same run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPIRELA_BUILD_TESTS=OFF -DPIRELA_BUILD_BENCH=ON >/dev/null
cmake --build "$root/build/bench"
"$root/build/bench/bench/make_bench_corpus" "$root/build/bench-corpus"
"$root/build/bench/bench/settings_bench" "$@"
"$root/build/bench/bench/folder_bench" "$@"
"$root/build/bench/bench/transfer_bench"
"$root/build/bench/bench/send_bench"
"$root/build/bench/bench/journal_bench" "$@"
"$root/build/bench/bench/image_bench" "$root/build/bench-corpus" "$@"
"$root/build/bench/bench/camera_roll_bench" "$root/build/bench-corpus" "$@"
"$root/build/bench/bench/sandbox_bench" "$root/build/bench-corpus"
"$root/build/bench/bench/viewer_bench" "$root/build/bench-corpus"
"$root/build/bench/bench/stall_bench" "$root/build/bench-corpus"
"$root/build/bench/bench/colour_bench" "$root/build/bench-corpus"
"$root/build/bench/bench/animation_bench"
"$root/build/bench/bench/rename_bench"
"$root/build/bench/bench/rename_dialog_bench"
"$root/build/bench/bench/scale_bench" "$@"
# Against nsxiv filling its own cache, which needs an X display.
bash "$root/scripts/setup.sh" nsxiv || echo "bench: nsxiv could not be installed; it is left out"
xvfb-run -a "$root/build/bench/bench/thumbnail_bench" "$root/build/bench-corpus"
