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

# Configures and builds into the given folder; further arguments go to CMake.
build_tree() {
    local dir="$1"
    shift
    cmake -S "$LEXIGROVE_ROOT" -B "$dir" -G Ninja "$@"
    cmake --build "$dir" -j "$(nproc)"
}
