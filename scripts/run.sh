#!/usr/bin/env bash
# Sets up, builds and starts Lexigrove: the local association service (unless one already
# answers) and the main window. The service is stopped again when the window closes, if it was
# started for this run.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages
dir="$LEXIGROVE_ROOT/build"
build_tree "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
exec "$dir/lexigrove-start" "$@"
