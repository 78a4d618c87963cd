#!/usr/bin/env bash
# Builds the Debian package into build-package/ and prints its name.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages
dir="$LEXIGROVE_ROOT/build-package"
build_tree "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DLEXIGROVE_BUILD_TESTS=OFF -DLEXIGROVE_BUILD_BENCH=OFF -DLEXIGROVE_BUILD_TOOLS=OFF >/dev/null
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/lexigrove_*.deb
