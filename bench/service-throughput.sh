#!/bin/bash
# Throughput of lexigrove-assocd against nginx serving the same bytes as static files, with wrk
# (Debian packages wrk and nginx-light):
#  - the classic path, a cached 200-word page;
#  - the API with two seeds, 200 words each, as CSV: cached (the same request again and again)
#    and uncached (new seeds from the word list in every request);
# each with THREADS worker threads (run with 1 and 2 for the scaling).
#
#   bench/service-throughput.sh [BUILD-DIR] [SECONDS] [THREADS] [PORT]
#
# The service listens on PORT, nginx on PORT+1.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
seconds=${2:-5}
threads=${3:-2}
port=${4:-28350}
for tool in wrk nginx curl; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
pid=
nginx_pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

"$build/lexigrove-assocd" --listen "127.0.0.1:$port" --threads "$threads" >"$work/service.log" &
pid=$!
url="http://127.0.0.1:$port"
for _ in $(seq 100); do curl -s -o /dev/null "$url/" && break; sleep 0.1; done

classic="/cgi-bin/meta/meta.ger1-asso?eingabe=Haus&anzahl=200"
api="/api/v1/associations?q=Haus,Garten&n=200&format=csv"
chmod 755 "$work"
curl -s "$url$classic" >"$work/classic.html"
curl -s "$url$api" >"$work/api.csv"
chmod 644 "$work/classic.html" "$work/api.csv"
cat >"$work/nginx.conf" <<CONF
worker_processes 1;
daemon off;
pid $work/nginx.pid;
error_log $work/nginx.log;
events { worker_connections 1024; }
http {
    access_log off;
    server { listen 127.0.0.1:$((port + 1)); root $work; default_type text/html; }
}
CONF
nginx -p "$work" -c "$work/nginx.conf" &
nginx_pid=$!
sleep 0.5

rate() { wrk -t1 -c32 -d"${seconds}s" "$@" | awk '/Requests\/sec/ {print $2}'; }
compare() {
    awk -v n="$1" -v s="$2" -v what="$3" 'BEGIN {
        printf "%-28s nginx %8.0f/s  service %8.0f/s  %.2fx\n", what, n, s, n ? s / n : 0 }'
}
echo "service with $threads worker thread(s); wrk -t1 -c32 -d${seconds}s; $(nproc) cores"
nginx_classic=$(rate "http://127.0.0.1:$((port + 1))/classic.html")
compare "$nginx_classic" "$(rate "$url$classic")" "classic page (cached)"
nginx_api=$(rate "http://127.0.0.1:$((port + 1))/api.csv")
compare "$nginx_api" "$(rate "$url$api")" "API 2 seeds x 200 (cached)"
compare "$nginx_api" "$(rate -s "$here/service-uncached.lua" "$url")" "API 2 seeds x 200 (uncached)"
