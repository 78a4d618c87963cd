#!/bin/bash
# Load test of lexigrove-assocd with its index, using wrk:
#  1. the desktop program's POST request on 32 kept-alive connections;
#  2. the same while another 32 connections send malformed and oversized requests
#     (bench_service_abuse, since wrk only sends well-formed ones);
#  3. when nginx is installed: the same page as a GET, nginx (one worker, like the service's
#     one event-loop thread, which answers a cached page itself) serving it as a static file,
#     then the service.
#
#   bench/service-load.sh [BUILD-DIR] [SECONDS]
#
# Build both in Release first:
#   cmake --build BUILD-DIR --target lexigrove-assocd bench_service_abuse
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
seconds=${2:-10}
binary=$build/lexigrove-assocd
abuse=$build/bench/bench_service_abuse
for program in "$binary" "$abuse"; do
    [ -x "$program" ] || { echo "no executable at $program" >&2; exit 1; }
done
command -v wrk >/dev/null || { echo "wrk is missing (Debian package wrk)" >&2; exit 1; }

work=$(mktemp -d)
pid=
nginx_pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

mkfifo "$work/out"
"$binary" --listen 127.0.0.1:0 >"$work/out" &
pid=$!
read -r line <"$work/out"
url=${line##* }
echo "$line"

echo
echo "== good requests: wrk -t2 -c32 -d${seconds}s, POST eingabe=Haus&anzahl=200"
wrk -t2 -c32 -d"${seconds}s" --latency -s "$here/service-load.lua" "$url/"

echo
echo "== good requests (wrk -t1 -c32) while 32 more connections send malformed and oversized ones"
"$abuse" "${url##*:}" 32 "$seconds" >"$work/bad" &
bad=$!
wrk -t1 -c32 -d"${seconds}s" --latency -s "$here/service-load.lua" "$url/"
wait "$bad" || true
echo "-- the malformed side:"
cat "$work/bad"

if command -v nginx >/dev/null; then
    page="/cgi-bin/meta/meta.ger1-asso?eingabe=Haus&anzahl=200"
    chmod 755 "$work"
    curl -s "$url$page" >"$work/page.html"
    chmod 644 "$work/page.html"
    nginx_port=${NGINX_PORT:-27599}
    cat >"$work/nginx.conf" <<EOF
worker_processes 1;
daemon off;
pid $work/nginx.pid;
error_log $work/nginx.log;
events { worker_connections 1024; }
http {
    access_log off;
    server { listen 127.0.0.1:$nginx_port; root $work; default_type text/html; }
}
EOF
    nginx -p "$work" -c "$work/nginx.conf" &
    nginx_pid=$!
    sleep 0.5
    echo
    echo "== the same 200-word page: nginx (static file), then the service; wrk -t2 -c32 -d${seconds}s"
    static=$(wrk -t2 -c32 -d"${seconds}s" "http://127.0.0.1:$nginx_port/page.html" |
        awk '/Requests\/sec/ {print $2}')
    served=$(wrk -t2 -c32 -d"${seconds}s" "$url$page" | awk '/Requests\/sec/ {print $2}')
    awk -v s="$static" -v v="$served" 'BEGIN {
        printf "nginx %.0f requests/s, service %.0f requests/s: %.2fx\n", s, v, s ? v / s : 0 }'
fi

echo
echo "-- the service afterwards:"
curl -s -o /dev/null -w "a good request: HTTP %{http_code}, %{size_download} bytes, %{time_total} s\n" \
    --data "eingabe=Baum&anzahl=200" "$url/cgi-bin/meta/meta.ger1-asso"
awk '/^VmRSS|^VmHWM/ {printf "%s %.1f MB\n", $1, $2 / 1024}' "/proc/$pid/status"
