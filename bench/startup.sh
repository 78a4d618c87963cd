#!/usr/bin/env bash
# Start-up of the desktop program: time from exec to the main window being mapped on an X server
# (Xvfb), and peak resident memory once the window is up. Needs xvfb and xdotool.
#   bench/startup.sh [build-dir] [runs]
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
runs="${2:-10}"
display=":97"

Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1

home="$(mktemp -d)"
times=()
for _ in $(seq 1 "$runs"); do
    start=$(date +%s%N)
    (cd "$build" && HOME="$home" DISPLAY="$display" exec ./lexigrove) &
    pid=$!
    # xdotool's own --sync waits half a second between looks; poll faster than that.
    for _ in $(seq 1 2000); do
        DISPLAY="$display" xdotool search --onlyvisible --name "Lexigrove" >/dev/null 2>&1 && break
        sleep 0.005
    done
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000000 )))
    sleep 0.3
    rss=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
done
rm -rf "$home"
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start until window shown, ms: ${times[*]}"
echo "median: ${sorted[$(( ${#sorted[@]} / 2 ))]} ms; peak resident memory (last run): $(( rss / 1024 )) MiB"
