#!/bin/bash
# Load test of lexigrove-assocd with the full Debian data, using wrk:
#  1. the desktop program's POST request on 32 kept-alive connections;
#  2. the same while another 32 connections send malformed and oversized requests
#     (bench_service_abuse, since wrk only sends well-formed ones).
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
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
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

echo
echo "-- the service afterwards:"
curl -s -o /dev/null -w "a good request: HTTP %{http_code}, %{size_download} bytes, %{time_total} s\n" \
    --data "eingabe=Baum&anzahl=200" "$url/cgi-bin/meta/meta.ger1-asso"
awk '/^VmRSS|^VmHWM/ {printf "%s %.1f MB\n", $1, $2 / 1024}' "/proc/$pid/status"
