#!/bin/bash
# Start-up time and memory of lexigrove-assocd with its index: the time from launch until the
# "listening" line and until the first answer (the desktop program's request for Haus), and the
# resident memory (now and peak) after that answer. Extra arguments go to the service (such as
# --raw, to compare with a start from the raw Debian data).
#
#   bench/service-startup.sh [PATH/TO/lexigrove-assocd] [RUNS] [SERVICE-ARGS...]
#
# Build it in Release first: cmake --build BUILD --target lexigrove-assocd
set -euo pipefail

binary=${1:-build/lexigrove-assocd}
runs=${2:-5}
shift $(($# > 2 ? 2 : $#))
[ -x "$binary" ] || { echo "no executable at $binary" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for run in $(seq 1 "$runs"); do
    fifo="$work/out$run"
    mkfifo "$fifo"
    start=$(date +%s%N)
    "$binary" --listen 127.0.0.1:0 "$@" >"$fifo" &
    pid=$!
    read -r line <"$fifo"
    end=$(date +%s%N)
    curl -s -o /dev/null --data "eingabe=Haus&anzahl=200" "${line##* }/cgi-bin/meta/meta.ger1-asso"
    answered=$(date +%s%N)
    memory=$(awk '/^VmRSS/ {rss = $2} /^VmHWM/ {hwm = $2}
                  END {printf "RSS %6.1f MB, peak RSS %6.1f MB", rss / 1024, hwm / 1024}' \
        "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    printf 'run %d: listening after %4d ms, first answer after %4d ms, %s\n' "$run" \
        $(((end - start) / 1000000)) $(((answered - start) / 1000000)) "$memory"
done
