#!/bin/bash
# Instructions per uncached query of lexigrove-assocd, counted by callgrind (Debian package
# valgrind): the service answers COUNT distinct keywords of CUES (one line each, "#" lines
# skipped), 200 words as JSON, one request each. Counters are dumped when the service is ready and
# again after the last answer, so the second dump holds the queries alone (with the HTTP work
# around them); the service is then stopped with SIGTERM, which callgrind survives to write the
# rest. Counts, unlike wall times, do not depend on what else the machine is doing.
#
#   bench/service-query-instructions.sh [BUILD-DIR] [COUNT] [PORT] [CUES]
#
# With KEEP=FILE the queries' dump is kept there, for callgrind_annotate.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
count=${2:-100}
port=${3:-28360}
cues=${4:-$here/../../shared/eval/hub-cues.txt}
for tool in valgrind callgrind_control curl; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
    "$build/lexigrove-assocd" --index "$build/lexigrove-assoc.idx" \
    --listen "127.0.0.1:$port" --threads 1 >"$work/service.log" 2>"$work/valgrind.log" &
pid=$!
for _ in $(seq 600); do
    grep -q listening "$work/service.log" 2>/dev/null && break
    sleep 0.1
done
grep -q listening "$work/service.log" || { echo "the service did not start" >&2; exit 1; }
callgrind_control --dump=startup "$pid" >/dev/null 2>&1

url="http://127.0.0.1:$port/api/v1/associations"
grep -v '^#' "$cues" | head -n "$count" >"$work/cues"
while IFS= read -r cue; do
    curl -sf --max-time 120 -G --data-urlencode "q=$cue" --data "n=200&format=json" "$url" \
        >/dev/null || { echo "no answer for $cue" >&2; exit 1; }
done <"$work/cues"
callgrind_control --dump=queries "$pid" >/dev/null 2>&1
kill -TERM "$pid"
wait "$pid" || true
pid=

# The dumps are numbered in order: startup, queries, then the rest at exit.
total() { awk '/^(summary|totals):/ {print $2; exit}' "$1"; }
startup=$(total "$work/callgrind.out.1")
queries=$(total "$work/callgrind.out.2")
asked=$(wc -l <"$work/cues")
[ -n "${KEEP:-}" ] && cp "$work/callgrind.out.2" "$KEEP"
echo "start-up instructions: $startup"
echo "queries: $asked, instructions: $queries, per query: $((queries / asked))"
