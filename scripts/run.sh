#!/usr/bin/env bash
# Sets up, builds and starts Lexigrove: the local association service (unless one already
# answers) and the main window. The service is stopped again when the window closes, if it was
# started for this run. Only what running needs is built; scripts/test.sh builds the rest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages
dir="$LEXIGROVE_ROOT/build"
echo "Building Lexigrove in $dir (the first build takes a few minutes)..."
build_tree "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${LEXIGROVE_RUNTIME_ONLY[@]}"
exec "$dir/lexigrove-start" "$@"
