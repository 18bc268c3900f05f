#!/usr/bin/env bash
# Writes every fuzz target's seeds into OUT/NAME_fuzzer: the image files through make_seeds
# (the real encoders), the text targets' through their scripts here.
set -euo pipefail
make_seeds=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$out"
"$make_seeds" "$out"
for script in "$here"/*_fuzzer.sh; do
  name=$(basename "$script" .sh)
  mkdir -p "$out/$name"
  bash "$script" "$out/$name"
done
