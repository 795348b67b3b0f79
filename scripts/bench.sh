#!/usr/bin/env bash
# The figures in one place: builds the release preset, runs every benchmark of bench/ and the
# rendering service under a minute of load, measures the peak memory of the application and of
# the service with /usr/bin/time, and prints one table (Markdown, for README.md).
# Benchmarks report; they never fail. Loopback only.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages "${ITINERARY_PACKAGES[@]}" "${ITINERARY_BENCH_PACKAGES[@]}"
export_headless_env
start_cups_pdf

echo "== release build" >&2
cmake --preset default >/dev/null
cmake --build --preset default >&2

bench=build/default/bench
work=$(mktemp -d /tmp/itinerary-bench.XXXXXX)
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  stop_test_postgres
  rm -rf "$work"
}
trap cleanup EXIT
# The journal benchmark's PostgreSQL rows run on a server of their own, like the tests'.
start_test_postgres >&2 || true
export ITINERARY_BENCH_DIR="$work"
# Settings and caches of the measured application stay out of the user's own directories.
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"

# Google Benchmark JSON -> one line per benchmark and value: "name<TAB>key<TAB>value".
flatten() {
  awk '
    /^      "name": / { name = $2; gsub(/[",]/, "", name) }
    /^      "[a-z_0-9]+": [-0-9"]/ && name != "" {
      key = $1; gsub(/[":]/, "", key); value = $2; gsub(/[",]/, "", value)
      print name "\t" key "\t" value
    }
    /^    }/ { name = "" }'
}

# value FILE BENCHMARK KEY: the value, printed with `digits` decimals (default 1).
value() {
  awk -F '\t' -v b="$2" -v k="$3" -v d="${4:-1}" \
    '$1 == b && $2 == k { printf "%.*f", d, $3; found = 1; exit } END { if (!found) printf "n/a" }' "$1"
}

rows=()
row() { rows+=("| $1 | $2 |"); }

# Every Google Benchmark program of bench/, whatever is present.
for exe in "$bench"/*; do
  name=$(basename "$exe")
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  case "$name" in render_load | web_load | bench_startup | startup_*) continue ;; esac
  echo "== $name" >&2
  "$exe" --benchmark_format=json 2>/dev/null | flatten > "$work/$name.tsv" || true
done

# Window-up time, from process start, by the start-up program (medians of fresh processes, the
# main window against a plain Qt window of the same controls in the same run): its last line is
# "median plain_up=MS window_up=MS ratio=R final=MS browser=MS ready=MS".
if [ -x "$bench/bench_startup" ]; then
  echo "== bench_startup (offscreen, then Xvfb)" >&2
  QT_QPA_PLATFORM=offscreen "$bench/bench_startup" 9 2>/dev/null | tail -n 1 \
    > "$work/startup-offscreen" || true
  env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24" "$bench/bench_startup" 9 \
    2>/dev/null | tail -n 1 > "$work/startup-xvfb" || true
  startup() {
    awk -v k="$2" '$1 == "median" { for (i = 2; i <= NF; i++) { split($i, kv, "=");
                     if (kv[1] == k && kv[2] >= 0) { printf (k == "ratio" ? "%.2f" : "%.0f"), kv[2]; found = 1 } } }
                   END { if (!found) printf "n/a" }' "$work/startup-$1"
  }
  row "window up (painted, event loop idle), offscreen / Xvfb" \
    "$(startup offscreen window_up) / $(startup xvfb window_up) ms"
  row "plain Qt window of the same controls up, offscreen / Xvfb" \
    "$(startup offscreen plain_up) / $(startup xvfb plain_up) ms"
  row "window up against the plain window, offscreen / Xvfb" \
    "$(startup offscreen ratio) / $(startup xvfb ratio)"
  row "window final (its last native window painted), offscreen / Xvfb" \
    "$(startup offscreen final) / $(startup xvfb final) ms"
  row "browser control created, offscreen / Xvfb" \
    "$(startup offscreen browser) / $(startup xvfb browser) ms"
  row "browser control ready (site start page complete), offscreen / Xvfb" \
    "$(startup offscreen ready) / $(startup xvfb ready) ms"
else
  row "window up, offscreen / Xvfb / browser control ready" "not measured (no bench_startup)"
fi

t="$work/bench_textimport.tsv"
row "booking import, 12 passengers and 4 segments" \
  "$(value "$t" BM_ImportBookingDisplay_TwelvePassengersFourSegments real_time) µs"
row "booking import, 40 passengers, 4 infants, own fares" \
  "$(value "$t" BM_ImportBookingDisplay_FortyPassengersInfantsOwnFares real_time) µs"
w="$work/bench_webimport.tsv"
row "result page import (normalise, third table, guard and parse)" \
  "$(value "$w" BM_ResultPageImport real_time) µs"
row "result page parse alone" "$(value "$w" BM_ParseResultPage real_time) µs"
r="$work/bench_render.tsv"
row "receipt picture drawn and encoded" \
  "$(value "$r" BM_DrawAndEncode/iterations:200 real_time) ms"
row "request to picture over loopback, median / p99" \
  "$(value "$r" BM_RequestToPicture/iterations:500/real_time median_ms) / $(value "$r" BM_RequestToPicture/iterations:500/real_time p99_ms) ms"
g="$work/bench_groupprint.tsv"
row "全部打印 of 30 passengers to CUPS-PDF, menu action to the last job queued" \
  "$(value "$g" BM_GroupOf30ToTheQueue/iterations:3/manual_time real_time 0) ms"
row "另存为PDF of 30 passengers (全部旅客), dialog accepted to the file written" \
  "$(value "$g" BM_CopyOf30ToPdf/iterations:3/manual_time real_time 0) ms"
row "receipts per second, 2 clients / 8 clients" \
  "$(value "$r" BM_ReceiptsPerSecond/2/iterations:5/real_time receipts_per_s 0) / $(value "$r" BM_ReceiptsPerSecond/8/iterations:5/real_time receipts_per_s 0)"

j="$work/bench_journal.tsv"
row "print journal: time a print spends on it, SQLite file / server (outbox)" \
  "$(value "$j" BM_RecordAttempt/server:0 real_time 2) / $(value "$j" BM_RecordAttempt/server:1 real_time 2) ms"
row "journal of 1,000,000 rows: search by ticket number, median, SQLite / PostgreSQL" \
  "$(value "$j" BM_SearchTicket/server:0/iterations:500 median_us 0) / $(value "$j" BM_SearchTicket/server:1/iterations:500 median_us 0) µs"
row "journal of 1,000,000 rows: search by name prefix, median, SQLite / PostgreSQL" \
  "$(value "$j" BM_SearchNamePrefix/server:0/iterations:500 median_us 0) / $(value "$j" BM_SearchNamePrefix/server:1/iterations:500 median_us 0) µs"
row "journal: CSV export of 30,000 rows, SQLite / PostgreSQL" \
  "$(value "$j" BM_CsvExport30000/server:0/iterations:3 real_time 0) / $(value "$j" BM_CsvExport30000/server:1/iterations:3 real_time 0) ms"

# The rendering service as its own process, a minute at 32 connections, under /usr/bin/time.
echo "== itinerary-render: 60 s at 32 connections" >&2
mkfifo "$work/first-line"
/usr/bin/time -v -o "$work/service-time.txt" build/default/tools/itinerary-render/itinerary-render \
  --listen 127.0.0.1:0 > "$work/first-line" 2>/dev/null &
time_pid=$!
pids+=("$time_pid")
read -r -t 20 base < "$work/first-line"
port=${base##*:}
port=${port%/}
service_pid=$(cat "/proc/$time_pid/task/$time_pid/children" 2>/dev/null | awk '{ print $1 }')
[ -n "$service_pid" ] || service_pid=$(pgrep -P "$time_pid")
"$bench/render_load" --port "$port" --pid "$service_pid" --seconds 60 --connections 32 \
  --no-malformed > "$work/load.txt" || true
# render_load stops the service with SIGTERM; make sure of it should render_load have failed.
kill -TERM "$service_pid" 2>/dev/null || true
wait "$time_pid" || true
cat "$work/load.txt" >&2
figures=$(grep '^figures:' "$work/load.txt" || true)
figure() { sed -n "s/.* $1=\([-0-9.]*\).*/\1/p" <<< "$figures"; }
growth=$(figure growth_kib)
row "service process, 60 s at 32 connections: receipts per second" "$(figure per_second)"
row "service process, 60 s at 32 connections: latency median / p99" \
  "$(figure median_ms) / $(figure p99_ms) ms"
row "service process: resident size growth over the minute" \
  "$(awk -v k="${growth:-0}" 'BEGIN { printf "%.1f", k / 1024 }') MiB"
service_peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/service-time.txt")
row "peak memory of the service (under that load)" \
  "$(awk -v k="${service_peak:-0}" 'BEGIN { printf "%.0f", k / 1024 }') MiB"

# The web counter as its own process: one agent's round trips, then 50 agents, each with a
# session and a counter of their own, importing and printing for a minute; on an SQLite file,
# then on the PostgreSQL server started above.
web_load() { # web_load NAME [--database URL]
  echo "== itinerary-web ($1): round trips, then 50 agents for 60 s" >&2
  "$bench/web_load" --service build/default/tools/itinerary-web/itinerary-web --agents 50 \
    --seconds 60 "${@:2}" > "$work/web-$1.txt" || true
  cat "$work/web-$1.txt" >&2
}
web() { sed -n "s/^figures:.* $2=\([-0-9.]*\).*/\1/p" "$work/web-$1.txt" 2>/dev/null || true; }
web_load sqlite
engines=(sqlite)
if [ -n "${ITINERARY_TEST_POSTGRES_URL:-}" ] &&
  psql -q "$ITINERARY_TEST_POSTGRES_URL" -c "CREATE DATABASE web_bench" >/dev/null 2>&1; then
  web_load postgresql --database "${ITINERARY_TEST_POSTGRES_URL%/*}/web_bench"
  engines+=(postgresql)
fi
row "web counter, one agent on loopback: import round trip, median / p99" \
  "$(web sqlite import_median_ms) / $(web sqlite import_p99_ms) ms"
row "web counter, one agent on loopback: print (PDF) round trip, median / p99" \
  "$(web sqlite print_median_ms) / $(web sqlite print_p99_ms) ms"
for e in "${engines[@]}"; do
  row "web counter, 50 agents importing and printing for 60 s ($e): receipts per second" \
    "$(web "$e" cycles_per_s) (requests: $(web "$e" requests_per_s))"
  row "web counter, 50 agents ($e): every request's latency, median / p99" \
    "$(web "$e" load_median_ms) / $(web "$e" load_p99_ms) ms"
  row "web counter, 50 agents ($e): p99 of the import / of the print" \
    "$(web "$e" load_import_p99_ms) / $(web "$e" load_print_p99_ms) ms"
  row "web counter, 50 agents ($e): largest resident size of the service" \
    "$(awk -v k="$(web "$e" peak_kib)" 'BEGIN { printf "%.0f", k / 1024 }') MiB"
done

# The application: started offscreen with the demonstration site's start page in its browser
# control, left to settle, then stopped. /usr/bin/time sees the main process; the browser
# engine's helper processes are not counted.
echo "== itinerary: peak memory over 10 s" >&2
if ! (exec 3<>/dev/tcp/127.0.0.1/8090) 2>/dev/null; then
  build/default/tools/verification-site/verification-site --listen 127.0.0.1:8090 \
    > /dev/null 2>&1 &
  pids+=("$!")
  sleep 1
fi
/usr/bin/time -v -o "$work/app-time.txt" \
  timeout -s TERM 10 build/default/src/app/itinerary > /dev/null 2>&1 || true
app_peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/app-time.txt")
row "peak memory of the application (start-up and 10 s with the site's page, main process)" \
  "$(awk -v k="${app_peak:-0}" 'BEGIN { printf "%.0f", k / 1024 }') MiB"

# The counter page in headless Chromium against itinerary-web on loopback, medians of 20: its
# last line is "median first_paint=MS login=MS import=MS print=MS runs=N".
web=build/default/tools/itinerary-web/itinerary-web
if [ -x "$web" ]; then
  echo "== counter page in headless Chromium" >&2
  /usr/bin/python3 -B bench/web/counter_page_timings.py --web "$web" --runs 20 \
    --booking tests/data/bookings/two_passengers_separate_lines.txt 2>/dev/null | tail -n 1 \
    > "$work/counter-page" || true
  page() { sed -n "s/.* $1=\([0-9.]*\).*/\1/p" "$work/counter-page"; }
  row "counter page: 登录 to the sheet painted (of which the login request), median of 20" \
    "$(page first_paint) ($(page login)) ms"
  row "counter page: 导入 to the filled sheet painted, median of 20" "$(page import) ms"
  row "counter page: 打印 to the receipt in the print view, print asked for, median of 20" \
    "$(page print) ms"
fi

# Every benchmark as it reported itself.
for tsv in "$work"/*.tsv; do
  awk -F '\t' '$2 == "real_time" { n = $1 } $2 == "time_unit" && n != "" {
      printf "%s\t%s\n", n, $3 }' "$tsv" > "$work/units"
  while IFS=$'\t' read -r name unit; do
    row "$(basename "$tsv" .tsv): $name" "$(value "$tsv" "$name" real_time 2) $unit"
  done < "$work/units"
done

echo
echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1):"
echo
echo "| figure | value |"
echo "|---|---|"
printf '%s\n' "${rows[@]}"
