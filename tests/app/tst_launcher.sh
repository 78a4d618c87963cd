#!/usr/bin/env bash
# Runs lexigrove-start (the copy given as $1) beside stand-ins for the service, which fails to
# start, for the program, which records what it was given, and for the desktop notifier. Ends
# with a totals line in Qt Test's form, so that scripts/test.sh counts these checks too.
set -uo pipefail

dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/bin" "$dir/notifier" "$dir/work"
# Port 1 never answers here, so the launcher always starts the stand-in service.
sed -e "s|^workdir=.*|workdir=\"$dir/work\"|" -e 's|^port=.*|port="1"|' "$1" >"$dir/bin/lexigrove-start"
printf '#!/bin/sh\necho "lexigrove-assocd: cannot read /no/index: No such file" >&2\nexit 1\n' \
    >"$dir/bin/lexigrove-assocd"
printf '#!/bin/sh\npwd >"$OUT/cwd"\nprintf %%s "${LEXIGROVE_SERVICE_FAILURE-unset}" >"$OUT/box"\n' \
    >"$dir/bin/lexigrove"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"$OUT/notified"\nexit "$NOTIFY_RC"\n' >"$dir/notifier/notify-send"
chmod +x "$dir"/bin/* "$dir/notifier/notify-send"

passed=0
failed=0
check() {
    if eval "$2"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL! $1"
    fi
}

for notify_rc in 0 1; do
    out="$dir/out$notify_rc"
    mkdir -p "$out"
    log="$dir/state/lexigrove/lexigrove-assocd.log"
    OUT="$out" NOTIFY_RC="$notify_rc" XDG_STATE_HOME="$dir/state" PATH="$dir/notifier:$PATH" \
        LEXIGROVE_SERVICE_URL= bash "$dir/bin/lexigrove-start" 2>"$out/stderr"
    check "the window opens anyway (notifier $notify_rc)" '[ $? -eq 0 ] && [ "$(cat "$out/cwd")" = "$dir/work" ]'
    check "the service's message is kept in its log" 'grep -q "cannot read /no/index" "$log"'
    check "the terminal is told too" 'grep -q "cannot read /no/index" "$out/stderr"'
    if [ "$notify_rc" -eq 0 ]; then
        check "a notification names the fault and the log" \
            'grep -q "cannot read /no/index" "$out/notified" && grep -qF "$log" "$out/notified"'
        check "no box on top of the notification" '[ "$(cat "$out/box")" = unset ]'
    else
        check "without a notifier the program shows the fault and the log" \
            'grep -q "cannot read /no/index" "$out/box" && grep -qF "$log" "$out/box"'
    fi
done

# A service that comes up (here: one that never answers, with a shorter wait) belongs to the
# launcher: it ends with the window, and the program's exit code is the launcher's.
mkdir -p "$dir/up"
sed -e 's/seq 1 100/seq 1 5/' "$dir/bin/lexigrove-start" >"$dir/up/lexigrove-start"
printf '#!/bin/sh\necho $$ >"$OUT/service.pid"\nexec sleep 30\n' >"$dir/up/lexigrove-assocd"
printf '#!/bin/sh\nexit 3\n' >"$dir/up/lexigrove"
chmod +x "$dir"/up/*
out="$dir/out-up"
mkdir -p "$out"
OUT="$out" XDG_STATE_HOME="$dir/state" LEXIGROVE_SERVICE_URL= timeout 60 bash "$dir/up/lexigrove-start"
check "the program's exit code is passed on" '[ $? -eq 3 ]'
service="$(cat "$out/service.pid" 2>/dev/null)"
check "the service it started was started" '[ -n "$service" ]'
check "the service ends with the window" '! kill -0 "$service" 2>/dev/null'
[ -n "$service" ] && kill "$service" 2>/dev/null

# Asking for help or the version starts nothing: neither the service nor the window.
mkdir -p "$dir/ask"
printf '#!/bin/sh\ntouch "$OUT/started"\n' >"$dir/ask/lexigrove-assocd"
cp "$dir/ask/lexigrove-assocd" "$dir/ask/lexigrove"
cp "$dir/bin/lexigrove-start" "$dir/ask/lexigrove-start"
chmod +x "$dir"/ask/*
for option in --help --version; do
    out="$dir/out$option"
    mkdir -p "$out"
    OUT="$out" XDG_STATE_HOME="$dir/state" LEXIGROVE_SERVICE_URL= timeout 20 \
        bash "$dir/ask/lexigrove-start" "$option" >"$out/stdout"
    check "$option ends at once" '[ $? -eq 0 ] && grep -q lexigrove-start "$out/stdout"'
    check "$option starts nothing" '[ ! -e "$out/started" ]'
done

# The program answers both without a display, so without a window: a window would need one.
program="$(dirname "$1")/lexigrove"
for option in --help --version; do
    env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$program" "$option" \
        >"$dir/program-out" 2>&1
    check "lexigrove $option without a display" \
        '[ $? -eq 0 ] && [ "$(grep -c -e "^Usage:" -e "^lexigrove " "$dir/program-out")" -eq 1 ]'
done

# After "--" the options are the window's: nothing is printed, the window is tried (and fails here).
env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$program" -- --version \
    >"$dir/program-out" 2>/dev/null
check "lexigrove -- --version is no request" '! grep -q "^lexigrove " "$dir/program-out"'

echo "Totals: $passed passed, $failed failed, 0 skipped"
[ "$failed" -eq 0 ]
