# Shared by the run, test and bench commands: Debian packages and the headless environment.
# Sourced, not run.

# The release preset builds the benchmarks too, so the run command needs Google Benchmark.
ITINERARY_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-webengine-dev libboost-dev
  fonts-noto-cjk qt6-translations-l10n libbenchmark-dev
  libqt6sql6-sqlite libqt6sql6-psql libsodium-dev
)
ITINERARY_TEST_PACKAGES=(
  clang-format clang libclang-rt-14-dev libbenchmark-dev
  cups cups-bsd printer-driver-cups-pdf poppler-utils xvfb xauth openbox x11-utils
  dpkg-dev file nginx
  postgresql
  chromium chromium-driver python3-selenium
)
# The bench command also measures whole processes with /usr/bin/time, prints a group to the
# CUPS-PDF queue and times the counter page in headless Chromium.
ITINERARY_BENCH_PACKAGES=(
  xvfb xauth time postgresql cups cups-bsd printer-driver-cups-pdf
  chromium chromium-driver python3-selenium
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

# A PostgreSQL server of the test run's own for the journal tests: its own data folder under a
# scratch directory and its own free port, run as the postgres user when we are root; never
# the system's cluster. Exports its address (ITINERARY_TEST_POSTGRES_URL) and the commands
# that stop and start it again (the fault tests take it away in the middle of printing).
start_test_postgres() {
  local bindir
  bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  if [ ! -x "$bindir/initdb" ]; then
    echo "PostgreSQL server programs not found (package postgresql)" >&2
    return 1
  fi
  ITINERARY_PG_SCRATCH=$(mktemp -d /tmp/itinerary-pg.XXXXXX)
  local as=""
  if [ "$(id -u)" -eq 0 ]; then
    chown postgres: "$ITINERARY_PG_SCRATCH"
    as="runuser -u postgres --"
  fi
  local data="$ITINERARY_PG_SCRATCH/data"
  $as "$bindir/initdb" -D "$data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 >/dev/null
  local port attempt
  for attempt in $(seq 1 20); do
    port=$((20000 + RANDOM % 40000))
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && continue
    # The port and the socket folder go into the data folder's settings, so that a plain
    # "pg_ctl start" brings the same server back. A scratch server needs no durability:
    # without fsync its checkpoints (at every stop) take no time.
    printf "port = %d\nunix_socket_directories = '%s'\nlisten_addresses = '127.0.0.1'\nfsync = off\n" \
      "$port" "$data" > "$data/postgresql.auto.conf"
    if $as "$bindir/pg_ctl" -D "$data" -l "$ITINERARY_PG_SCRATCH/server.log" -w start \
      >/dev/null; then
      export ITINERARY_TEST_POSTGRES_URL="postgresql://postgres@127.0.0.1:$port/postgres"
      export ITINERARY_TEST_POSTGRES_STOP="$as $bindir/pg_ctl -D $data -w stop -m fast"
      export ITINERARY_TEST_POSTGRES_START="$as $bindir/pg_ctl -D $data -l $ITINERARY_PG_SCRATCH/server.log -w start"
      echo "PostgreSQL for the tests on port $port"
      return 0
    fi
  done
  echo "PostgreSQL for the tests did not start; see $ITINERARY_PG_SCRATCH/server.log" >&2
  return 1
}

stop_test_postgres() {
  if [ -n "${ITINERARY_PG_SCRATCH:-}" ] && [ -d "$ITINERARY_PG_SCRATCH" ]; then
    ${ITINERARY_TEST_POSTGRES_STOP:-true} >/dev/null 2>&1 || true
    rm -rf "$ITINERARY_PG_SCRATCH"
  fi
}
