# Shared by the scripts in this folder; sourced, not run.

LEXIGROVE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Runs a command as root: directly when we are root, through sudo otherwise.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

lexigrove_packages() {
    grep -v '^\s*#' "$LEXIGROVE_ROOT/scripts/debian-packages.txt" | grep -v '^\s*$'
}

# Installs the Debian packages that are missing; with "always", refreshes the lists and installs
# the whole set even when everything seems present.
install_packages() {
    local missing=()
    local pkg
    for pkg in $(lexigrove_packages); do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed"; then
            missing+=("$pkg")
        fi
    done
    if [ "${1:-}" = "always" ] || [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing Debian packages: ${missing[*]:-(refreshing all)}"
        as_root apt-get update
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y $(lexigrove_packages)
    fi
}

# Configures and builds into the given folder; further arguments go to CMake. The configure
# step says nothing unless it fails; the build shows one line per step.
build_tree() {
    local dir="$1"
    shift
    local log
    log="$(mktemp)"
    if ! cmake -S "$LEXIGROVE_ROOT" -B "$dir" -G Ninja "$@" >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        return 1
    fi
    rm -f "$log"
    cmake --build "$dir" -j "$(nproc)"
}

# The options that leave out everything but the program, its service and their data.
LEXIGROVE_RUNTIME_ONLY=(-DLEXIGROVE_BUILD_TESTS=OFF -DLEXIGROVE_BUILD_BENCH=OFF -DLEXIGROVE_BUILD_TOOLS=OFF)

# Starts a launcher command headless, in a session of its own and with a fresh HOME, waits
# until the association service answers and the program named by its process name runs, checks
# that the program stays up, then ends the whole session. The launcher's output is left in
# $SMOKE_LOG; $SMOKE_HOME is the HOME it had (removed by the caller).
smoke_start() {
    local program="$1" wait_seconds="$2"
    shift 2
    SMOKE_HOME="$(mktemp -d)"
    SMOKE_LOG="$SMOKE_HOME/start.log"
    HOME="$SMOKE_HOME" XDG_STATE_HOME="$SMOKE_HOME/state" LANG=de_DE.UTF-8 \
        QT_QPA_PLATFORM=offscreen setsid "$@" >"$SMOKE_LOG" 2>&1 </dev/null &
    local session=$! ok=1
    local deadline=$(($(date +%s) + wait_seconds))
    until curl -fsS "http://127.0.0.1:27431/cgi-bin/meta/meta.ger1-asso?eingabe=Haus&anzahl=5" \
        2>/dev/null | grep -q '</a></center>'; do
        if ! kill -0 "$session" 2>/dev/null || [ "$(date +%s)" -ge "$deadline" ]; then
            echo "smoke test: the association service gave no associations for Haus" >&2
            ok=0
            break
        fi
        sleep 1
    done
    if [ "$ok" -eq 1 ]; then
        sleep 2
        if ! pgrep -s "$session" -x "$program" >/dev/null; then
            echo "smoke test: $program is not running" >&2
            ok=0
        fi
    fi
    kill -- -"$session" 2>/dev/null || true
    wait "$session" 2>/dev/null || true
    [ "$ok" -eq 1 ]
}

# How the scripts run the tests: side by side, since most of their time is spent waiting (on
# servers' deadlines, child processes and a browser), with a bound for each test program.
LEXIGROVE_CTEST=(ctest --output-on-failure --timeout 300 --parallel "$(($(nproc) * 2))")

# Sums the totals that each test program printed in the last ctest run in the given folder, as
# one line: "Tests: N passed, N failed, N skipped".
print_test_totals() {
    local log="$1/Testing/Temporary/LastTest.log"
    [ -f "$log" ] || return 0
    awk '/^Totals: [0-9]+ passed, [0-9]+ failed, [0-9]+ skipped/ {
             p += $2; f += $4; s += $6 }
         END { printf "Tests: %d passed, %d failed, %d skipped\n", p, f, s }' "$log"
}
