#!/usr/bin/env bash
# Seeds for the settings fuzzer: a full settings file and a few odd ones.
set -euo pipefail
out=$1
cat > "$out/full.ini" <<'INI'
[WINDOW]
TOP=0
RIGHT=1440
BOTTOM=810
LEFT=0
MAX=0
[OPTIONS]
RATE=-1
SENDTYPE=0
PROGRAMNAME1=ペイント
PROGRAMCOMMAND1=kolourpaint
[SENDTO]
FOLDER1="  /home/me/写真  "
[FILEDIALOG]
LASTOPEN='/home/me'
INI
printf '[window]\r\n left = -32000 \r\n[Options]\r\nRATE=99999999999\r\n' > "$out/crlf.ini"
printf '\xEF\xBB\xBF[SENDTO]\nFOLDER1=a=b\n[SENDTO]\nFOLDER1=second\n' > "$out/bom.ini"
