#!/usr/bin/env bash
# Builds the Debian package into build-package/ and prints its name on the last line. This is
# the one way to make the package: a build folder of its own, configured for /usr, so that the
# paths compiled into the program match where the package puts its files.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages >&2
dir="$LEXIGROVE_ROOT/build-package"
build_tree "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr "${LEXIGROVE_RUNTIME_ONLY[@]}" >&2
(cd "$dir" && cpack -G DEB >&2)
ls "$dir"/lexigrove_*.deb
