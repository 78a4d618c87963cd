#!/usr/bin/env bash
# Sets up, builds and starts Lexigrove: the local association service (unless one already
# answers) and the main window. The service is stopped again when the window closes, if this
# script started it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages
dir="$LEXIGROVE_ROOT/build"
build_tree "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

default_url="http://127.0.0.1:27431/cgi-bin/meta/meta.ger1-asso"
url="${LEXIGROVE_SERVICE_URL:-$default_url}"

service_answers() {
    curl -s -o /dev/null --max-time 2 "$url?eingabe=Haus&anzahl=1"
}

service_pid=""
stop_service() {
    if [ -n "$service_pid" ]; then
        kill "$service_pid" 2>/dev/null || true
        wait "$service_pid" 2>/dev/null || true
    fi
}
trap stop_service EXIT

if ! service_answers; then
    if [ "$url" != "$default_url" ]; then
        echo "No association service answers at $url." >&2
        exit 1
    fi
    echo "Starting the local association service..."
    "$dir/lexigrove-assocd" &
    service_pid=$!
    for _ in $(seq 1 100); do
        service_answers && break
        kill -0 "$service_pid" 2>/dev/null || { echo "The association service did not start." >&2; exit 1; }
        sleep 0.1
    done
fi

# The program looks for its translations in trans/ below the working directory.
cd "$dir"
./lexigrove "$@"
