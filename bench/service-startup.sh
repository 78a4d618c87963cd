#!/bin/bash
# Start-up time and memory of lexigrove-assocd with the full Debian data: the time from launch
# until the "listening" line, and the resident memory (now and peak) once it is listening.
#
#   bench/service-startup.sh [PATH/TO/lexigrove-assocd] [RUNS]
#
# Build it in Release first: cmake --build BUILD --target lexigrove-assocd
set -euo pipefail

binary=${1:-build/lexigrove-assocd}
runs=${2:-5}
[ -x "$binary" ] || { echo "no executable at $binary" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for run in $(seq 1 "$runs"); do
    fifo="$work/out$run"
    mkfifo "$fifo"
    start=$(date +%s%N)
    "$binary" --listen 127.0.0.1:0 >"$fifo" &
    pid=$!
    read -r line <"$fifo"
    end=$(date +%s%N)
    memory=$(awk '/^VmRSS/ {rss = $2} /^VmHWM/ {hwm = $2}
                  END {printf "RSS %6.1f MB, peak RSS %6.1f MB", rss / 1024, hwm / 1024}' \
        "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    printf 'run %d: start-up %4d ms, %s  (%s)\n' "$run" $(((end - start) / 1000000)) "$memory" "$line"
done
