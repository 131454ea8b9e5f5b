#!/usr/bin/env bash
# Starts the built program on a private Xvfb display with openbox, walks it through one class
# and writes a PNG of each window to docs/screenshots/.
#
#   bash scripts/screenshots.sh [BUILD_DIR | BINARY]     (default: build/hygiene-inspection)
#
# Builds nothing: build the target hygiene-inspection first. Needs xvfb, openbox, x11-utils,
# xdotool and python3-pil (scripts/setup.sh installs them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

target=${1:-$root/build/hygiene-inspection}
[ -d "$target" ] && target=$target/hygiene-inspection
if [ ! -x "$target" ]; then
  echo "screenshots: no program at $target; build the target hygiene-inspection first" >&2
  exit 2
fi
target=$(cd "$(dirname "$target")" && pwd)/$(basename "$target")

for tool in Xvfb openbox xdotool xwininfo xprop; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing" >&2; exit 2; }
done
# Debian's own interpreter, which has PIL; another python3 earlier on PATH may not.
python=/usr/bin/python3
"$python" -c 'from PIL import ImageGrab' 2>/dev/null ||
  { echo "screenshots: $python lacks PIL (python3-pil)" >&2; exit 2; }

display_file=$(mktemp)
# A runtime folder of its own, so that Qt neither complains nor shares one with a desktop.
export XDG_RUNTIME_DIR=$(mktemp -d)
xvfb="" openbox=""
cleanup() {
  [ -n "$openbox" ] && kill "$openbox" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$display_file" "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.05; done
[ -s "$display_file" ] || { echo "screenshots: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$display_file")"

openbox --sm-disable --config-file /dev/null >/dev/null 2>&1 &
openbox=$!
# openbox announces itself on the root window once it manages the screen.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break
  sleep 0.05
done

out=$root/docs/screenshots
mkdir -p "$out"
"$python" "$root/scripts/screenshots.py" "$target" "$out"
