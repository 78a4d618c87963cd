#!/usr/bin/env bash
# Builds and installs the Debian package, then starts the installed program headless the way the
# desktop entry does, and checks that it comes up with its service, translation and data folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

deb="$("$LEXIGROVE_ROOT/scripts/package.sh" | tail -1)"
echo "Package: $deb"
dpkg-deb --contents "$deb" | awk '{print $6}'
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --reinstall "$deb" >/dev/null

home="$(mktemp -d)"
log="$home/start.log"
cleanup() {
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true
    pkill -f '^/usr/bin/lexigrove$' 2>/dev/null || true
    pkill -f '^/usr/bin/lexigrove-assocd' 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT

fail() { echo "package smoke test: $*" >&2; cat "$log" >&2 || true; exit 1; }

desktop=/usr/share/applications/lexigrove.desktop
[ -f "$desktop" ] || fail "no desktop entry"
exec_line="$(sed -n 's/^Exec=//p' "$desktop")"
path_line="$(sed -n 's/^Path=//p' "$desktop")"
[ -f "$path_line/trans/src_de.qm" ] || fail "no translation under $path_line/trans"

(cd "$path_line" && HOME="$home" LANG=de_DE.UTF-8 QT_QPA_PLATFORM=offscreen "$exec_line" >"$log" 2>&1) &
pid=$!
for _ in $(seq 1 100); do
    (exec 3<>/dev/tcp/127.0.0.1/27431) 2>/dev/null && break
    sleep 0.1
done
(exec 3<>/dev/tcp/127.0.0.1/27431) 2>/dev/null || fail "the association service did not come up"
curl -fsS "http://127.0.0.1:27431/cgi-bin/meta/meta.ger1-asso?eingabe=Haus&anzahl=5" | grep -q '</a></center>' \
    || fail "the service gave no associations for Haus"
sleep 2
pgrep -f '^/usr/bin/lexigrove$' >/dev/null || fail "the program is not running"
[ -f "$home/.local/share/lexigrove/default_blacklist.txt" ] || fail "no per-user blacklist"
echo "package smoke test: passed (program, service, translation and per-user data folder)"
