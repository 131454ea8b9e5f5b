#!/usr/bin/env bash
# Runs one test on a private Xvfb display with openbox, so that window frames, activation
# and keyboard focus are real.
set -euo pipefail
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" &
xvfb=$!
trap 'kill "$openbox" 2>/dev/null; kill "$xvfb" 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$display_file")"
openbox --sm-disable --config-file /dev/null >/dev/null 2>&1 &
openbox=$!
# openbox owns the WM_S0 selection once it manages the screen.
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.05; done
export QT_QPA_PLATFORM=xcb
"$@"
