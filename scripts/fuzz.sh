#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, ASan and UBSan, and runs each for the given number of
# seconds (default 60) on a corpus kept in fuzz/corpus/ (not committed). ONLY=NAME runs one. A
# crash found is written to build/fuzz/; once fixed, keep it in fuzz/crashes/NAME/, where the
# tests replay it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}

bash "$root/scripts/setup.sh" clang
CXX=clang++ cmake -S "$root" -B "$root/build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPIRELA_BUILD_UI=OFF -DPIRELA_BUILD_TESTS=OFF -DPIRELA_BUILD_FUZZ=ON -DPIRELA_SANITIZE=ON >/dev/null
cmake --build "$root/build/fuzz"
export LSAN_OPTIONS=suppressions="$root/scripts/lsan-suppressions.txt"
"$root/build/fuzz/fuzz/make_seeds" "$root/fuzz/corpus"

for fuzzer in "$root"/build/fuzz/fuzz/*_fuzzer; do
  [ -n "${ONLY:-}" ] && [ "$(basename "$fuzzer")" != "$ONLY" ] && continue
  name=$(basename "$fuzzer")
  corpus="$root/fuzz/corpus/$name"
  mkdir -p "$corpus"
  if [ -x "$root/fuzz/seeds/$name.sh" ]; then
    bash "$root/fuzz/seeds/$name.sh" "$corpus"
  fi
  # Saved crash files (fuzz/crashes/NAME/, replayed by the tests) start it too.
  crashes=()
  [ -d "$root/fuzz/crashes/$name" ] && crashes=("$root/fuzz/crashes/$name")
  echo "== $name for ${seconds}s"
  "$fuzzer" -artifact_prefix="$root/build/fuzz/" -max_total_time="$seconds" -rss_limit_mb=2560 -malloc_limit_mb=1100 -timeout=60 "$corpus" "${crashes[@]}"
done
