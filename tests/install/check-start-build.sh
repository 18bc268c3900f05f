#!/usr/bin/env bash
# Builds the program's target alone in a fresh build folder, as scripts/start.sh does, and
# checks that its decoder helper was built beside it: without it every camera roll photo would
# show as a file Pirela cannot read. The fresh folder sits beside the given build folder and
# is configured like it, so that ccache (where the build uses it) serves every compilation.
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$2
cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
fresh=$(mktemp -d "$(dirname "$build")/pirela-alone.XXXXXX")
trap 'rm -rf "$fresh"' EXIT
cmake -S "$source_dir" -B "$fresh" -G Ninja -DCMAKE_BUILD_TYPE="$(cached CMAKE_BUILD_TYPE)" \
  -DPIRELA_WERROR="$(cached PIRELA_WERROR)" -DPIRELA_BUILD_TESTS=OFF -DPIRELA_BUILD_BENCH=OFF \
  -DCMAKE_CXX_COMPILER_LAUNCHER="$(cached CMAKE_CXX_COMPILER_LAUNCHER)" \
  -DCMAKE_C_COMPILER_LAUNCHER="$(cached CMAKE_C_COMPILER_LAUNCHER)" >/dev/null
cmake --build "$fresh" --target pirela -j 2 >/dev/null
if [ ! -x "$fresh/pirela" ] || [ ! -x "$fresh/pirela-decoder" ]; then
  echo "building the target pirela alone left no decoder helper beside the program:"
  ls "$fresh"
  exit 1
fi
echo "the target pirela alone brings its decoder helper"
