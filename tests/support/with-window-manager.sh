#!/usr/bin/env bash
# Runs a command on the current X display with a window manager in charge (openbox), so that
# windows get frames, focus and activation as on a user's desktop. Used under xvfb-run.
set -uo pipefail
openbox --sm-disable >/dev/null 2>&1 &
manager=$!
trap 'kill "$manager" 2>/dev/null; wait "$manager" 2>/dev/null' EXIT
for _ in $(seq 200); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.05
done
"$@"
