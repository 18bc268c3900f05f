#!/usr/bin/env bash
# Pirela against feh, nsxiv and qimgv: installs the peers (a peer whose package cannot be
# installed is left out with a note), builds Pirela and the benchmark optimised, and runs it on
# a virtual display of its own with no window manager. Then a camera roll of 100,000 photos
# (links to three) opened at one of its last: Pirela against feh and qimgv. Arguments: rounds and keys a launch, and
# "heic" for 12-megapixel HEIC photos instead of JPEGs (qimgv then needs Qt's HEIF plugin, from
# kimageformat-plugins).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/setup.sh"
for peer in feh nsxiv qimgv; do
  bash "$root/scripts/setup.sh" "$peer" || echo "gui-bench: $peer could not be installed; it is left out"
done
if [ "${3:-}" = heic ]; then
  bash "$root/scripts/setup.sh" kimageformat-plugins || echo "gui-bench: no HEIF plugin for qimgv"
fi
cmake -S "$root" -B "$root/build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPIRELA_BUILD_TESTS=OFF -DPIRELA_BUILD_BENCH=ON >/dev/null
cmake --build "$root/build/bench" --target pirela gui_bench

scratch=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$scratch"' EXIT
# The first free display number from 90 on.
display=90
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do
  DISPLAY=":$display" xdpyinfo >/dev/null 2>&1 && break
  sleep 0.05
done
DISPLAY=":$display" "$root/build/bench/bench/gui_bench" "$root/build/bench/pirela" "$scratch" "$@"
