#!/usr/bin/env bash
# Runs a command on an X display of its own (Xvfb, 1280 × 800) with a window manager (openbox)
# in charge, so that windows get frames, focus and activation as on a user's desktop. The
# server picks a free display number itself (-displayfd), so runs side by side never share one.
set -uo pipefail
scratch=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
server=$!
manager=
trap 'kill $manager $server 2>/dev/null; wait 2>/dev/null; rm -rf "$scratch"' EXIT
for _ in $(seq 200); do
  [ -s "$scratch/display" ] && break
  sleep 0.05
done
if ! [ -s "$scratch/display" ]; then
  echo "run-on-desktop: Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$(head -n 1 "$scratch/display")"
openbox --sm-disable >/dev/null 2>&1 &
manager=$!
for _ in $(seq 200); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.05
done
"$@"
