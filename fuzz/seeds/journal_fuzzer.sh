#!/usr/bin/env bash
# Writes the journal fuzzer's seeds into the folder: journals of whole records (their check sums
# from gzip's CRC-32), one cut off in the middle, one with a damaged line between two, and one
# of operations as the program writes them (an overwrite, a batch rename, an undo, one passed
# over).
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
{
  id=2222222222222222
  record "$id begin 1765180005 kind=copy owner=aaaaaaaaaaaaaaaa from=/p/a.jpg to=/s/a.jpg identity=1:2:3:4:5:6:7 mode=420 standing=1:9:3:4:5:6:7"
  record "$id kept 1765180005 file=0 kept=/t/files/a.jpg kept-info=/t/info/a.jpg.trashinfo"
  record "$id end 1765180005 outcome=done file=0 kept=/t/files/a.jpg placed=1:10:3:4:5:6:7"
  record "3333333333333333 begin 1765180006 kind=rename folder=/p from=/p/b.jpg to=/p/x_1.jpg identity=1:3:1:1:1:1:1 from=/p/c.jpg to=/p/x_2.jpg"
  record "3333333333333333 end 1765180006 outcome=done file=1 moved=0"
  record "4444444444444444 begin 1765180007 kind=undo undoes=3333333333333333 undone-kind=rename"
  record "4444444444444444 end 1765180007 outcome=skipped"
  record "5555555555555555 begin 1765180008 kind=undo undoes=2222222222222222 undone-kind=copy from=/s/a.jpg to=/p/a.jpg"
} > "$out/operations.journal"
