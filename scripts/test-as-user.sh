#!/usr/bin/env bash
# For CI, which runs as root: runs the tests that scripts/test.sh built in build/ once more as an
# ordinary user, so that the tests of file permissions, which root would pass by default, run
# too. Nothing is rebuilt: the user is lent the build folder (and a way through the folders
# above it) for the run, and everything is given back afterwards.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

user=lexigrove-test
dir="$LEXIGROVE_ROOT/build"
if [ "$(id -u)" -ne 0 ]; then
    echo "test-as-user.sh: run as root; as a user, scripts/test.sh already runs as one." >&2
    exit 1
fi
[ -f "$dir/CTestTestfile.cmake" ] || { echo "test-as-user.sh: run scripts/test.sh first" >&2; exit 1; }
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/sh "$user"
home="$(getent passwd "$user" | cut -d: -f6)"

# Folders above the clone (such as /root) may be closed to others: open them for passing
# through only, and restore their modes on the way out.
opened=()
restore() {
    local entry
    for entry in "${opened[@]}"; do
        chmod "${entry%% *}" "${entry#* }"
    done
    chown -R 0:0 "$dir"
}
trap restore EXIT
folder="$LEXIGROVE_ROOT"
while [ "$folder" != / ]; do
    if ! runuser -u "$user" -- test -x "$folder"; then
        opened+=("$(stat -c %a "$folder") $folder")
        chmod o+x "$folder"
    fi
    folder="$(dirname "$folder")"
done
chown -R "$user" "$dir"

status=0
runuser -u "$user" -- env HOME="$home" TMPDIR=/tmp QT_QPA_PLATFORM=offscreen \
    "${LEXIGROVE_CTEST[@]}" --test-dir "$dir" || status=$?
print_test_totals "$dir"
exit "$status"
