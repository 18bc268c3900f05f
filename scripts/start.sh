#!/usr/bin/env bash
# Sets up, builds and starts Pirela. Any arguments go to the program (a file or folder to open).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/setup.sh"
# Where ccache is installed, the build goes through it, as the test script's do.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DPIRELA_BUILD_TESTS=OFF -DPIRELA_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
# The target pirela brings its decoder helper, pirela-decoder, beside it.
cmake --build "$root/build/release" --target pirela

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Pirela needs a graphical display and none is set (DISPLAY and WAYLAND_DISPLAY are empty):" \
       "run this command from a desktop session, or start it inside a virtual display with" \
       "'xvfb-run -a bash scripts/start.sh'." >&2
  exit 1
fi
exec "$root/build/release/pirela" "$@"
