#!/usr/bin/env bash
# Runs a test program on the X platform under a virtual X server of its own (the server picks a
# free display) with a window manager, as an operator's desktop shows its windows:
#   under-window-manager.sh PROGRAM [ARGUMENTS...]
set -euo pipefail

scratch=$(mktemp -d /tmp/itinerary-x.XXXXXX)
server=
wm=
cleanup() {
  if [ -n "$wm" ]; then kill "$wm" 2>/dev/null || true; fi
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# The server writes its display number to the pipe once it accepts clients.
mkfifo "$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
server=$!
read -r -t 30 number < "$scratch/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"

# The window manager is ready once it announces itself on the root window.
HOME="$scratch" openbox --sm-disable >/dev/null 2>&1 &
wm=$!
for _ in $(seq 1 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' \
  || { echo "the window manager did not start" >&2; exit 1; }

QT_QPA_PLATFORM=xcb "$@"
