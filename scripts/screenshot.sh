#!/usr/bin/env bash
# Remakes docs/screenshot.png: Pirela showing a generated photo, with the send bar naming three
# destination folders, on a virtual display (Xvfb with openbox). Everything it uses is made
# here, in a scratch folder that is removed afterwards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh" imagemagick
cmake -S "$root" -B "$root/build/test" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/test" --target pirela >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/photos" "$scratch/sorted/Holiday" "$scratch/sorted/Family" "$scratch/sorted/Work"
# A sky over hills, as a stand-in for a holiday photo, and a few more to page through.
convert -size 1200x800 gradient:'#5fa8e8'-'#d9eefc' \
  \( -size 1200x800 xc:none -fill '#3f8f4a' -draw 'ellipse 300,900 700,330 0,360' \
     -fill '#2f7040' -draw 'ellipse 950,950 650,380 0,360' \) -composite \
  -fill '#ffd23f' -draw 'circle 960,170 960,230' -quality 92 "$scratch/photos/IMG_0001.jpg"
for i in 2 3 4 5; do
  convert -size 1200x800 plasma:'#e8a317'-'#5fa8e8' -seed "$i" -quality 85 \
    "$scratch/photos/IMG_000$i.jpg" 2>/dev/null ||
    convert -size 1200x800 gradient:'#e8a317'-'#5fa8e8' "$scratch/photos/IMG_000$i.jpg"
done

# The program reads pirela.ini beside itself, so it runs from the scratch folder.
cp "$root/build/test/pirela" "$scratch/pirela"
cat >"$scratch/pirela.ini" <<INI
[WINDOW]
LEFT=0
TOP=0
RIGHT=1000
BOTTOM=680
[FILELISTWINDOW]
VIEW=0
[OPTIONS]
RATE=-1
SENDTYPE=0
[SENDTO]
FOLDER1=$scratch/sorted/Holiday
FOLDER2=$scratch/sorted/Family
FOLDER3=$scratch/sorted/Work
INI

bash "$root/tests/support/run-on-desktop.sh" bash -c '
  "$0/pirela" "$0/photos/IMG_0001.jpg" >/dev/null 2>&1 &
  sleep 3
  xdotool key n  # the opening question: no, not the subfolders
  sleep 2
  import -window root -crop 1000x680+0+0 "$1"
  kill %1
' "$scratch" "$root/docs/screenshot.png"
echo "$root/docs/screenshot.png"
