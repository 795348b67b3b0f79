#!/usr/bin/env bash
# The web counter behind the shipped nginx site: two itinerary-web instances on one PostgreSQL
# database (a scratch server of its own), nginx with the site on a port of its own (plain HTTP
# in place of the certificate's port), a logged-in client importing and printing through it
# while one instance is killed. Every request of the client must succeed, and the check codes
# printed must all differ.
# usage: scripts/web-pool-check.sh BIN-DIR NGINX-SITE   (called by package-check.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$1
site=$2
source scripts/common.sh

scratch=$(mktemp -d /tmp/itinerary-web-pool.XXXXXX)
pids=()
nginx_pid=
cleanup() {
  local p
  for p in $nginx_pid "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  stop_test_postgres
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "web pool check FAILED: $*" >&2
  exit 1
}
free_port() {
  local p
  for p in $(shuf -i 20000-60000 -n 50); do
    if ! (exec 3<> "/dev/tcp/127.0.0.1/$p") 2>/dev/null; then echo "$p"; return; fi
  done
  fail "no free port"
}

start_test_postgres >/dev/null || fail "no PostgreSQL server"
psql -q "$ITINERARY_TEST_POSTGRES_URL" -c "CREATE DATABASE web_pool" || fail "no database"
database="${ITINERARY_TEST_POSTGRES_URL%/*}/web_pool"
export XDG_CONFIG_HOME="$scratch/config"
echo "counter-password" | "$bin/itinerary-web" adduser amy --role agent --database "$database"
"$bin/itinerary-web" addcounter K1 --check-code 0001 --agents amy --database "$database"

# The instances as the packaged unit starts them: every connection comes from the proxy's
# address, so the unit raises the per-address cap.
unit_options=$(grep -o -- '--connections-per-address [0-9]*' packaging/itinerary-web@.service.in) \
  || fail "the unit sets no connection cap for the proxy"
ports=()
for n in 1 2; do
  ports[n]=$(free_port)
  # The address from the environment, as the unit's /etc/default file gives it (no password
  # on a command line that every user of the server can read).
  # shellcheck disable=SC2086
  ITINERARY_DATABASE_URL="$database" "$bin/itinerary-web" --listen "127.0.0.1:${ports[n]}" $unit_options \
    > "$scratch/instance$n.out" 2> "$scratch/instance$n.log" &
  pids[n]=$!
done
nginx_port=$(free_port)
# The packaged site on the test's ports: the HTTPS server on a plain port, no redirect.
python3 - "$site" "$scratch/site.conf" "$nginx_port" "${ports[1]}" "${ports[2]}" <<'PY'
import re, sys
site, out, port, one, two = sys.argv[1:]
text = open(site).read()
text = re.sub(r"server \{\s*listen 80;.*?\n\}\n", "", text, count=1, flags=re.S)
text = text.replace("listen 443 ssl;", "listen 127.0.0.1:%s;" % port)
text = re.sub(r"\n\s*ssl_[^\n]*", "", text)
text = text.replace("127.0.0.1:8201", "127.0.0.1:" + one).replace("127.0.0.1:8202", "127.0.0.1:" + two)
open(out, "w").write(text)
PY
grep -q "access_log off" "$scratch/site.conf" || fail "the site logs requests"
cat > "$scratch/nginx.conf" <<CONF
daemon off;
worker_processes 2;
pid $scratch/nginx.pid;
error_log $scratch/error.log warn;
events { worker_connections 1024; }
http {
  client_body_temp_path $scratch/client_body;
  proxy_temp_path $scratch/proxy;
  fastcgi_temp_path $scratch/fastcgi;
  uwsgi_temp_path $scratch/uwsgi;
  scgi_temp_path $scratch/scgi;
  include $scratch/site.conf;
}
CONF
nginx -q -t -e "$scratch/error.log" -c "$scratch/nginx.conf" -p "$scratch" || fail "nginx refuses the site"
nginx -e "$scratch/error.log" -c "$scratch/nginx.conf" -p "$scratch" &
nginx_pid=$!
base="http://127.0.0.1:$nginx_port"
for i in $(seq 1 100); do
  curl -s -o /dev/null "$base/api/form" && [ -s "$scratch/instance1.out" ] \
    && [ -s "$scratch/instance2.out" ] && break
  sleep 0.2
done

jar="$scratch/cookies"
csrf=$(curl -sf -c "$jar" -H 'Content-Type: application/json' \
  -d '{"user":"amy","password":"counter-password"}' "$base/api/login" \
  | python3 -c 'import json, sys; print(json.load(sys.stdin)["csrf"])') || fail "no login"
python3 -c 'import json, sys; print(json.dumps({"text": open(sys.argv[1]).read()}))' \
  tests/data/bookings/two_passengers_separate_lines.txt > "$scratch/import.json"
post() { # post PATH BODY-FILE OUT-FILE: the status
  curl -s -b "$jar" -H "X-CSRF-Token: $csrf" -H 'Content-Type: application/json' \
    -D "$scratch/headers" -o "$3" -w '%{http_code}' --data-binary "@$2" "$base$1"
}
# A whole agency at once, all through the proxy's one address: no request may be refused.
burst=()
for i in $(seq 1 200); do burst+=(-o /dev/null "$base/api/import"); done
curl -s --no-progress-meter -Z --parallel-max 200 -w '%{http_code}\n' -b "$jar" -H "X-CSRF-Token: $csrf" \
  -H 'Content-Type: application/json' --data-binary "@$scratch/import.json" "${burst[@]}" \
  > "$scratch/burst" || true
answered=$(grep -c '^200$' "$scratch/burst" || true)
[ "$answered" -eq 200 ] || fail "200 imports at once through the proxy: $answered answered"
failures=0
codes=()
for i in $(seq 1 40); do
  if [ "$i" -eq 15 ]; then
    kill -KILL "${pids[1]}"
    echo "killed web instance 1 (SIGKILL)"
  fi
  [ "$(post /api/import "$scratch/import.json" "$scratch/sheet.json")" = 200 ] \
    || { failures=$((failures + 1)); continue; }
  python3 -c 'import json, sys; print(json.dumps({"counter": "K1", "sheet": json.load(open(sys.argv[1]))}))' \
    "$scratch/sheet.json" > "$scratch/print.json"
  [ "$(post /api/print "$scratch/print.json" "$scratch/receipt.pdf")" = 200 ] \
    || { failures=$((failures + 1)); continue; }
  codes+=("$(grep -i '^X-Check-Code:' "$scratch/headers" | tr -d '\r' | cut -d' ' -f2)")
done
[ "$failures" -eq 0 ] || fail "$failures requests failed: $(tail -n 5 "$scratch/error.log")"
distinct=$(printf '%s\n' "${codes[@]}" | sort -u | wc -l)
[ "$distinct" -eq 40 ] || fail "40 prints gave $distinct different check codes"
echo "web pool: 200 imports at once, then 80 requests through nginx with one instance killed, all answered; 40 distinct check codes"
