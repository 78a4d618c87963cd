#!/usr/bin/env bash
# Checks that cpack refuses a build folder made for /usr/local; builds the Debian package and
# checks it as a user of it would meet it: every file under /usr, binaries stripped, man pages
# that open and document every option, the copyright file, the service's --version; then
# installs it, starts it from its desktop entry headless (service, translation, per-user data
# folder), and removes it again, leaving nothing behind.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

fail() { echo "package smoke test: $*" >&2; exit 1; }

# The wrong way stays closed: cpack in the test build folder, made for /usr/local, refuses.
wrong="$LEXIGROVE_ROOT/build"
if grep -q '^CMAKE_INSTALL_PREFIX:PATH=/usr/local$' "$wrong/CMakeCache.txt" 2>/dev/null; then
    if output="$(cd "$wrong" && cpack -G DEB 2>&1)"; then
        fail "cpack made a package in $wrong, which installs under /usr/local"
    fi
    grep -q 'scripts/package.sh' <<<"$output" || fail "cpack in $wrong gave no pointer: $output"
fi

deb="$("$LEXIGROVE_ROOT/scripts/package.sh" | tail -1)"
echo "Package: $deb"
# Debian's own checks, informational tags shown too: no error and no warning may remain.
lintian --display-info --fail-on error,warning "$deb" || fail "lintian found errors or warnings"
work="$(mktemp -d)"
cleanup() { rm -rf "$work" "${SMOKE_HOME:-}"; }
trap cleanup EXIT
dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/paths"
cat "$work/paths"
dpkg-deb -x "$deb" "$work/root"

outside="$(grep -v '^/usr/' "$work/paths" | grep -vx '/' || true)"
[ -z "$outside" ] || fail "files outside /usr: $outside"

while read -r path; do
    [ -f "$work/root$path" ] || continue
    info="$(file -b "$work/root$path")"
    case "$info" in
    ELF*", stripped"*) ;;
    ELF*) fail "$path is not stripped: $info" ;;
    esac
done <"$work/paths"

export MANWIDTH=80
for page in lexigrove lexigrove-start lexigrove-assocd; do
    file="$work/root/usr/share/man/man1/$page.1.gz"
    [ -f "$file" ] || fail "no man page for $page"
    warnings="$(man --warnings -l "$file" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "man page $page: $warnings"
    # Read whole before the match: grep -q would end the pipe early, and pipefail fail it.
    text="$(man -l "$file" 2>/dev/null)" || fail "man page $page does not open"
    grep -q "^NAME" <<<"$text" || fail "man page $page does not open"
done
# Every long option the service offers is in its man page.
assocd_page="$(man -l "$work/root/usr/share/man/man1/lexigrove-assocd.1.gz" 2>/dev/null)"
for option in $("$work/root/usr/bin/lexigrove-assocd" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -qF -- "$option" <<<"$assocd_page" || fail "lexigrove-assocd's man page lacks $option"
done

copyright="$work/root/usr/share/doc/lexigrove/copyright"
head -1 "$copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    || fail "no machine-readable copyright file"
# Each package the program depends on by name (not through a shared library, Qt's platform
# plugins or the systemd helpers of the maintainer scripts) is a data source.
for pkg in $(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/[ (].*//; s/^ *//' | sed '/^$/d'); do
    case "$pkg" in lib*[0-9] | lib*[0-9][a-z] | lib*[0-9]t64 | libstdc++* | zlib1g | qt6-qpa-plugins | init-system-helpers) continue ;; esac
    grep -qw -- "$pkg" "$copyright" || fail "the copyright file does not name $pkg"
done

version="$(dpkg-deb -f "$deb" Version)"
[ "$("$work/root/usr/bin/lexigrove-assocd" --version)" = "lexigrove-assocd $version" ] \
    || fail "lexigrove-assocd --version does not give $version"

# --help and --version print and end without a display, a window or a service.
for command in lexigrove lexigrove-start; do
    [ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$work/root/usr/bin/$command" --version)" = "$command $version" ] \
        || fail "$command --version does not give $version"
    usage="$(env -u DISPLAY -u WAYLAND_DISPLAY "$work/root/usr/bin/$command" --help)" \
        || fail "$command --help fails"
    grep -q "^Usage: $command" <<<"$usage" || fail "$command --help prints no usage"
done

as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --reinstall "$deb" >/dev/null
desktop=/usr/share/applications/lexigrove.desktop
[ -f "$desktop" ] || fail "no desktop entry"
exec_line="$(sed -n 's/^Exec=//p' "$desktop")"
path_line="$(sed -n 's/^Path=//p' "$desktop")"
[ -f "$path_line/trans/src_de.qm" ] || fail "no translation under $path_line/trans"
smoke_start lexigrove 20 bash -c 'cd "$1" && exec "$2"' start "$path_line" "$exec_line" \
    || { cat "$SMOKE_LOG" >&2; fail "the installed program did not come up"; }
[ -f "$SMOKE_HOME/.local/share/lexigrove/default_blacklist.txt" ] || fail "no per-user blacklist"

# Enabled as the README says, then purged: no link to the unit may stay behind.
wants=/etc/systemd/system/multi-user.target.wants/lexigrove-assocd.service
as_root systemctl enable lexigrove-assocd.service
[ -L "$wants" ] || fail "systemctl enable made no link $wants"
as_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y lexigrove >/dev/null
[ ! -e "$wants" ] && [ ! -L "$wants" ] || fail "$wants is left behind after purge"
while read -r path; do
    if [ -e "$path" ] && [ "$path" != / ] && ! dpkg -S "$path" >/dev/null 2>&1; then
        fail "$path is left behind after removal"
    fi
done <"$work/paths"
echo "package smoke test: passed (cpack refused for /usr/local; files under /usr, stripped, man pages, copyright, --version;" \
    "program, service, translation, per-user data folder; lintian clean; clean purge after enable)"
