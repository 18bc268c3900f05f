#!/usr/bin/env bash
# Builds the Debian package of Pirela into build/package/ and prints its path. Install it with
# `sudo apt-get install ./build/package/pirela_*.deb`, remove it with `sudo apt-get remove pirela`.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh" dpkg-dev file
cmake -S "$root" -B "$root/build/package" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DPIRELA_BUILD_TESTS=OFF -DPIRELA_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build/package" -j "$(nproc)"
(cd "$root/build/package" && cpack >/dev/null)
ls "$root"/build/package/pirela_*.deb
