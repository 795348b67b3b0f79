#!/usr/bin/env bash
# Installs what is missing, builds the release preset, starts the local verification site
# (a demonstration of the e-ticket verification site) and the application with its embedded
# rendering service.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages "${ITINERARY_PACKAGES[@]}"
cmake --preset default >/dev/null
cmake --build --preset default

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'MSG'
No display to show the window on. On a machine without one, run it under a virtual X server:
  apt-get install -y xvfb xauth && xvfb-run -a bash scripts/run.sh
MSG
  exit 1
fi

# WebEngine refuses to start as root without this, and wants a private runtime folder.
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "${XDG_RUNTIME_DIR}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d /tmp/itinerary-runtime.XXXXXX)
  export XDG_RUNTIME_DIR
fi
chmod 0700 "$XDG_RUNTIME_DIR"

site_pid=
if ! (exec 3<>/dev/tcp/127.0.0.1/8090) 2>/dev/null; then
  build/default/tools/verification-site/verification-site --listen 127.0.0.1:8090 \
    > "${XDG_RUNTIME_DIR}/verification-site.log" 2>&1 &
  site_pid=$!
  trap '[ -n "$site_pid" ] && kill "$site_pid" 2>/dev/null' EXIT
  echo "Local verification site (demonstration) on http://127.0.0.1:8090/"
fi

build/default/src/app/itinerary
