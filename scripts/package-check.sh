#!/usr/bin/env bash
# Builds the Debian package from the release preset, unpacks it into a scratch directory and
# runs the programs from there: itinerary-cli imports a booking and renders its receipt,
# itinerary-render serves /health and a receipt, then holds 10 s of load at 32 connections
# and the malformed requests (render_load); then the package's nginx site balances two
# itinerary-render processes under 30 s of load while one is killed and started again; then
# two itinerary-web instances on one PostgreSQL database serve a logged-in client through the
# package's nginx site while one is killed. So the package cannot rot unnoticed.
# Called by scripts/test.sh; runs alone too (after the packages of scripts/common.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== package: release build and cpack"
cmake --preset default >/dev/null
cmake --build --preset default
rm -f build/default/package/itinerary_*.deb
(cd build/default && cpack >/dev/null)
deb=$(ls build/default/package/itinerary_*.deb)
echo "built $deb"

scratch=$(mktemp -d /tmp/itinerary-package.XXXXXX)
service_pid=
pool_pids=()
nginx_pid=
cleanup() {
  local p
  for p in $service_pid $nginx_pid "${pool_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
  echo "package check FAILED: $*" >&2
  exit 1
}

echo "== package: contents"
dpkg-deb -x "$deb" "$scratch/root"
bin="$scratch/root/usr/bin"
engine=usr/lib/itinerary/itinerary-browser-engine.so
printer=usr/lib/itinerary/itinerary-printer.so
for f in usr/bin/itinerary usr/bin/itinerary-render usr/bin/itinerary-cli \
         usr/bin/verification-site "$engine" "$printer" usr/share/applications/itinerary.desktop \
         usr/share/icons/hicolor/scalable/apps/itinerary.svg \
         usr/lib/systemd/system/itinerary-render.service \
         usr/lib/systemd/system/itinerary-render@.service \
         usr/share/itinerary/nginx/itinerary-render.conf \
         usr/bin/itinerary-web usr/lib/systemd/system/itinerary-web@.service \
         usr/share/itinerary/nginx/itinerary-web.conf \
         usr/lib/systemd/user/itinerary-verification-site.service; do
  [ -e "$scratch/root/$f" ] || fail "$f is not in the package"
done
grep -q '^ExecStart=/usr/bin/itinerary-render ' \
  "$scratch/root/usr/lib/systemd/system/itinerary-render.service" \
  || fail "the service unit does not start /usr/bin/itinerary-render"
pool_options='--connections-per-address 256'
grep -q "^ExecStart=/usr/bin/itinerary-render --listen 127.0.0.1:%i $pool_options " \
  "$scratch/root/usr/lib/systemd/system/itinerary-render@.service" \
  || fail "the pool unit does not start /usr/bin/itinerary-render on its instance's port, open to nginx"
depends=$(dpkg-deb -f "$deb" Depends)
for p in fonts-noto-cjk qt6-translations-l10n libqt6core6 libqt6gui6 libqt6network6 \
  libqt6webenginecore6 libqt6sql6-sqlite libqt6sql6-psql; do
  [[ "$depends" == *"$p"* ]] || fail "Depends lacks $p: $depends"
done
# The HTTP servers are built on header-only Boost, not on Qt's HTTP server.
[[ "$depends" != *libqt6httpserver6* ]] || fail "Depends still names Qt's HTTP server: $depends"
# The browser engine runs its pages in a helper process that no binary links. The application
# itself does not link the engine: it loads the engine's module after its window is up.
[[ "$depends" == *libqt6webenginecore6-bin* ]] || fail "Depends lacks the browser engine's helper"
if readelf -d "$bin/itinerary" | grep -q 'libQt6WebEngine'; then
  fail "the application links the browser engine, which holds up its start"
fi
# The command line draws no window: it loads the printer module when it prints.
if readelf -d "$bin/itinerary-cli" | grep -qE 'libQt6(Widgets|PrintSupport)'; then
  fail "itinerary-cli links the widgets or the print support"
fi
# The programs must find their libraries where the system keeps them, not in this tree.
if readelf -d "$bin"/* "$scratch/root/$engine" "$scratch/root/$printer" | grep -E 'R(UN)?PATH' \
  | grep -q "$PWD"; then
  fail "a packaged program still looks for libraries in the build tree"
fi

echo "== package: itinerary-cli import and render"
"$bin/itinerary-cli" import --today 2026-05-01 tests/data/bookings/one_passenger.txt \
  > "$scratch/sheet.json"
grep -q '"张三","110101199001011234"' "$scratch/sheet.json" || fail "import: $(head -c 200 "$scratch/sheet.json")"
grep -q '"CA1501"' "$scratch/sheet.json" || fail "import lost the flight"
"$bin/itinerary-cli" render --out "$scratch/receipt.png" "$scratch/sheet.json"
[ "$(head -c 8 "$scratch/receipt.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] \
  || fail "render did not write a PNG"

echo "== package: itinerary-cli journal"
# A counter that has printed nothing yet: the header line and nothing else.
XDG_CONFIG_HOME="$scratch/config" "$bin/itinerary-cli" journal --csv > "$scratch/journal.csv"
[ "$(head -c 3 "$scratch/journal.csv" | od -An -tx1 | tr -d ' \n')" = efbbbf ] \
  || fail "journal --csv did not start with the byte-order mark"
[ "$(wc -l < "$scratch/journal.csv")" -eq 1 ] || fail "journal --csv: $(cat "$scratch/journal.csv")"

echo "== package: itinerary-render"
"$bin/itinerary-render" --help | grep -q -- '--listen ADDR:PORT' || fail "itinerary-render --help"
mkfifo "$scratch/first-line"
"$bin/itinerary-render" --listen 127.0.0.1:0 > "$scratch/first-line" &
service_pid=$!
read -r -t 20 base < "$scratch/first-line" || fail "itinerary-render printed no address"
port=${base##*:}
port=${port%/}
[[ "$base" == http://127.0.0.1:*/ && "$port" =~ ^[0-9]+$ ]] || fail "bad first line: $base"

# A plain HTTP/1.1 GET over bash's /dev/tcp; the service closes after the answer.
http_get() {
  local target=$1 out=$2
  exec 3<>"/dev/tcp/127.0.0.1/$port"
  printf 'GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n' "$target" >&3
  timeout 20 cat <&3 > "$out"
  exec 3<&-
}
http_get /health "$scratch/health"
head -n 1 "$scratch/health" | grep -q '^HTTP/1.1 200' || fail "/health: $(head -n 1 "$scratch/health")"
[ "$(tail -c 2 "$scratch/health")" = ok ] || fail "/health did not say ok"
# A receipt: a name and an identity number, then the empty rest of the sheet's 59 values.
http_get "/Print/print.asp?l=0&p=%E5%BC%A0%E4%B8%89,110101199001011234$(printf ',%.0s' {1..57})&2026-12-07%2010:15:02" \
  "$scratch/picture"
head -n 1 "$scratch/picture" | grep -q '^HTTP/1.1 200' || fail "render: $(head -n 1 "$scratch/picture")"
grep -qai '^content-type: image/png' "$scratch/picture" || fail "render: not a PNG answer"
LC_ALL=C grep -qa $'^\x89PNG\r$' "$scratch/picture" || fail "render: no PNG in the answer"
kill -TERM "$service_pid"
status=0
wait "$service_pid" || status=$?
service_pid=
[ "$status" -eq 0 ] || fail "itinerary-render ended with status $status on SIGTERM"

echo "== package: itinerary-render under load and malformed requests"
build/default/bench/render_load --service "$bin/itinerary-render" --seconds 10 --connections 32

echo "== package: a rendering pool, the package's nginx site in front of two itinerary-render"
pool="$scratch/pool"
mkdir -p "$pool"
pool_ports=()
# start_instance N [PORT]: the unpacked itinerary-render as pool instance N (port 0: a free one).
start_instance() {
  local n=$1 line
  rm -f "$pool/line$n"
  mkfifo "$pool/line$n"
  # shellcheck disable=SC2086 # the unit's options, word by word
  "$bin/itinerary-render" --listen "127.0.0.1:${2:-0}" $pool_options > "$pool/line$n" \
    2>> "$pool/instance$n.log" &
  pool_pids[n]=$!
  read -r -t 20 line < "$pool/line$n" || fail "pool instance $n printed no address"
  line=${line##*:}
  pool_ports[n]=${line%/}
}
start_instance 1
start_instance 2
# A port nothing answers on, for nginx.
nginx_port=
for p in $(shuf -i 20000-60000 -n 50); do
  if ! (exec 3<> "/dev/tcp/127.0.0.1/$p") 2>/dev/null; then nginx_port=$p; break; fi
done
[ -n "$nginx_port" ] || fail "no free port for nginx"
# The packaged site with the test's ports; nginx's own files stay in the scratch folder. The
# access log is on, as Debian's nginx.conf has it, so that the site must switch it off itself.
sed -e "s/listen 8088;/listen 127.0.0.1:$nginx_port;/" \
    -e "s/127\.0\.0\.1:8101/127.0.0.1:${pool_ports[1]}/" \
    -e "s/127\.0\.0\.1:8102/127.0.0.1:${pool_ports[2]}/" \
    "$scratch/root/usr/share/itinerary/nginx/itinerary-render.conf" > "$pool/itinerary-render.conf"
grep -q "127.0.0.1:${pool_ports[2]} " "$pool/itinerary-render.conf" \
  || fail "the nginx site does not balance 127.0.0.1:8101 and 127.0.0.1:8102"
cat > "$pool/nginx.conf" <<EOF
daemon off;
worker_processes 2;
pid $pool/nginx.pid;
error_log $pool/error.log warn;
events { worker_connections 1024; }
http {
  access_log $pool/access.log;
  client_body_temp_path $pool/client_body;
  proxy_temp_path $pool/proxy;
  fastcgi_temp_path $pool/fastcgi;
  uwsgi_temp_path $pool/uwsgi;
  scgi_temp_path $pool/scgi;
  include $pool/itinerary-render.conf;
}
EOF
nginx -q -t -e "$pool/error.log" -c "$pool/nginx.conf" -p "$pool" || fail "nginx refuses the site"
nginx -e "$pool/error.log" -c "$pool/nginx.conf" -p "$pool" &
nginx_pid=$!
for i in $(seq 1 50); do
  (exec 3<> "/dev/tcp/127.0.0.1/$nginx_port") 2>/dev/null && break
  sleep 0.1
done
# 30 s at 32 connections after render_load's 1 s warm-up: instance 1 is killed 10 s in and
# started again on its port 20 s in. Every request must still be answered with the receipt.
build/default/bench/render_load --port "$nginx_port" --seconds 30 --connections 32 \
  --no-malformed > "$pool/load.txt" &
load_pid=$!
sleep 11
kill -KILL "${pool_pids[1]}"
wait "${pool_pids[1]}" 2>/dev/null || true
echo "killed pool instance 1 (SIGKILL)"
sleep 10
start_instance 1 "${pool_ports[1]}"
echo "started pool instance 1 again on port ${pool_ports[1]}"
status=0
wait "$load_pid" || status=$?
cat "$pool/load.txt"
[ "$status" -eq 0 ] || fail "the pool did not answer every request: $(tail -n 5 "$pool/error.log")"
# Thousands of receipts went through: none of their names, papers or tickets is in the log.
if grep -a -e 'print\.asp' -e '110101199003078515' -e '999-23' "$pool/access.log"; then
  fail "nginx's access log holds receipt requests"
fi
kill -TERM "$nginx_pid" "${pool_pids[@]}" 2>/dev/null || true
wait "$nginx_pid" "${pool_pids[@]}" 2>/dev/null || true
nginx_pid=
pool_pids=()

echo "== package: the web counter, two instances on one PostgreSQL behind the package's nginx site"
# A service: no widgets, no print support, no browser engine in the process.
if ldd "$bin/itinerary-web" | grep -E -q 'Qt6(Widgets|PrintSupport|WebEngine)'; then
  fail "itinerary-web links a user interface library"
fi
scripts/web-pool-check.sh "$bin" "$scratch/root/usr/share/itinerary/nginx/itinerary-web.conf"

echo "package check passed"
