#!/usr/bin/env bash
# Builds the Debian package into build-package/ and prints its name on the last line. This is
# the one way to make the package: a build folder of its own, configured for /usr, so that the
# paths compiled into the program match where the package puts its files. It is built with
# Debian's hardening flags (dpkg-buildflags), as a network service should be.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages >&2
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cflags="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
dir="$LEXIGROVE_ROOT/build-package"
build_tree "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr "${LEXIGROVE_RUNTIME_ONLY[@]}" \
    -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" \
    -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" >&2
(cd "$dir" && cpack -G DEB >&2)
ls "$dir"/lexigrove_*.deb
