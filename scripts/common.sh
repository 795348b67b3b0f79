# Shared by the run, test and bench commands: Debian packages and the headless environment.
# Sourced, not run.

# The release preset builds the benchmarks too, so the run command needs Google Benchmark.
ITINERARY_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-webengine-dev qt6-httpserver-dev qt6-websockets-dev
  fonts-noto-cjk libbenchmark-dev
)
ITINERARY_TEST_PACKAGES=(
  clang-format clang libclang-rt-14-dev libbenchmark-dev
  cups cups-bsd printer-driver-cups-pdf poppler-utils xvfb xauth
  dpkg-dev file
)
# The bench command also measures whole processes with /usr/bin/time, and prints a group to
# the CUPS-PDF queue.
ITINERARY_BENCH_PACKAGES=(
  xvfb xauth time cups cups-bsd printer-driver-cups-pdf
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the named Debian packages that are not installed yet, without questions.
ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  fi
}

# Qt without a display, and WebEngine as root.
export_headless_env() {
  export QT_QPA_PLATFORM=offscreen
  if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "${XDG_RUNTIME_DIR}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d /tmp/itinerary-runtime.XXXXXX)
    export XDG_RUNTIME_DIR
  fi
  chmod 0700 "$XDG_RUNTIME_DIR"
  if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
  fi
}

# Starts cupsd and makes a CUPS-PDF queue the default, once; safe to call again.
start_cups_pdf() {
  if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    as_root /usr/sbin/cupsd
    local i
    for i in $(seq 1 50); do
      lpstat -r 2>/dev/null | grep -q 'is running' && break
      sleep 0.1
    done
  fi
  if ! lpstat -p PDF >/dev/null 2>&1; then
    as_root lpadmin -p PDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E
  fi
  if ! lpstat -d 2>/dev/null | grep -q 'PDF'; then
    as_root lpadmin -d PDF
  fi
}
