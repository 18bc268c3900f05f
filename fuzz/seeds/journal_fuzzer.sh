#!/usr/bin/env bash
# Writes the journal fuzzer's seeds into the folder: journals of whole records (their check sums
# from gzip's CRC-32), one cut off in the middle, and one with a damaged line between two.
set -euo pipefail
out=$1
mkdir -p "$out"

# One record line: "P1 <crc32 of the rest> <rest>".
record() {
  local body=$1
  local sum
  sum=$(printf '%s' "$body" | gzip -c | tail -c 8 | head -c 4 | od -An -tx4 | tr -d ' \n')
  printf 'P1 %s %s\n' "$sum" "$body"
}

{
  record "00ff00ff00ff00ff begin 1765180000 kind=move from=/photos/a.jpg to=/sorted/a.jpg"
  record "00ff00ff00ff00ff copied 1765180000 temporary=/sorted/.pirela-00ff00ff00ff00ff"
  record "00ff00ff00ff00ff end 1765180001 outcome=done"
  record "0123456789abcdef begin 1765180002 kind=trash from=/photos/50%25%20off%95\\.jpg"
} > "$out/sends.journal"
head -c 150 "$out/sends.journal" > "$out/cut-off.journal"
{
  record "1111111111111111 begin 1765180003 kind=rename"
  printf 'P1 00000000 1111111111111111 step 1765180003 damaged\n'
  record "1111111111111111 end 1765180004"
} > "$out/damaged.journal"
