#!/usr/bin/env bash
# Plants faults one at a time in a scratch copy of the repository, builds it and runs the tests
# after each, and tells which faults the tests missed. The faults should be written by someone
# who did not write the tests, and fresh for every use: a list that the tests were fitted to
# says nothing.
#
#   scripts/mutation-check.sh [options] FAULTS
#
# FAULTS is a file or a folder:
#   - a folder of *.patch files (git diffs against the checked commit), one fault each;
#   - a file with one fault per line:  PATH :: SED-SCRIPT :: WHAT THE FAULT DOES
#     e.g.  service/http/httpserver.cpp :: s/>= m_limits.maxConnections/> m_limits.maxConnections/ :: one connection over the cap
#     Blank lines and lines starting with # are skipped. The sed script must change the file.
#
# Options:
#   --commit REF     the commit to plant into (default HEAD; uncommitted changes are not used)
#   --tests REGEX    run only the tests whose names match (ctest -R); default: all
#   --timeout SEC    the bound for one test program (default 120): a hang counts as caught,
#                    but costs this much
#   --jobs N         build jobs (default 2)
#   --keep           keep the scratch copy and its build folder for a look afterwards
#
# Prints one line per fault (caught, with the tests that failed; MISSED; NOT PLANTED when the
# edit changed nothing or did not apply; NO BUILD when the fault does not compile) and the score
# at the end. The exit code is 0 when every planted fault was caught.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

commit=HEAD
tests=""
timeout_s=120
jobs=2
keep=0
faults=""
while [ $# -gt 0 ]; do
    case "$1" in
    --commit) commit="$2"; shift 2 ;;
    --tests) tests="$2"; shift 2 ;;
    --timeout) timeout_s="$2"; shift 2 ;;
    --jobs) jobs="$2"; shift 2 ;;
    --keep) keep=1; shift ;;
    -h | --help) sed -n '2,27p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) faults="$1"; shift ;;
    esac
done
[ -n "$faults" ] && [ -e "$faults" ] || { echo "usage: $0 [options] FAULTS (see --help)" >&2; exit 2; }
faults="$(cd "$(dirname "$faults")" && pwd)/$(basename "$faults")"

# Inside the repository (where build folders are ignored), so that a compiler cache that takes
# paths relative to a base folder finds the objects of the usual build.
scratch="$(mktemp -d "$LEXIGROVE_ROOT/build-mutation.XXXXXX")"
src="$scratch/src"
build="$scratch/build"
cleanup() {
    git -C "$LEXIGROVE_ROOT" worktree remove --force "$src" >/dev/null 2>&1
    git -C "$LEXIGROVE_ROOT" worktree prune >/dev/null 2>&1
    if [ "$keep" -eq 0 ]; then
        rm -rf "$scratch"
    else
        echo "Kept: $scratch"
    fi
}
trap cleanup EXIT
git -C "$LEXIGROVE_ROOT" worktree add --detach --quiet "$src" "$commit" || exit 2

export QT_QPA_PLATFORM=offscreen
build() { cmake --build "$build" -j"$jobs" >"$scratch/build.log" 2>&1; }
echo "Building the unchanged copy of $(git -C "$src" rev-parse --short HEAD) in $build ..."
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEXIGROVE_BUILD_TESTS=ON \
    -DLEXIGROVE_BUILD_BENCH=OFF -DLEXIGROVE_BUILD_TOOLS=OFF \
    -DLEXIGROVE_TEST_TIMEOUT="$timeout_s" >"$scratch/configure.log" 2>&1 ||
    { cat "$scratch/configure.log"; exit 2; }
build || { tail -n 30 "$scratch/build.log"; exit 2; }

# Runs the tests; prints the names of those that failed, or "(none)".
run_tests() {
    local args=(--test-dir "$build" --timeout "$timeout_s")
    [ -n "$tests" ] && args+=(-R "$tests")
    ctest "${args[@]}" >"$scratch/test.log" 2>&1
    local failed
    failed="$(sed -n 's/^[[:space:]]*[0-9]* - \(\S*\) (\(.*\))$/\1 (\2)/p' "$scratch/test.log" | paste -sd ' ')"
    echo "${failed:-(none)}"
}
failed="$(run_tests)"
[ "$failed" = "(none)" ] || { echo "The unchanged copy already fails: $failed" >&2; exit 2; }

# Plants one fault; false when it changed nothing.
plant() {
    local kind="$1" fault="$2"
    if [ "$kind" = patch ]; then
        git -C "$src" apply "$fault" 2>/dev/null || return 1
    else
        local path="${fault%% :: *}" script="${fault#* :: }"
        script="${script%% :: *}"
        [ -f "$src/$path" ] || return 1
        sed -i -e "$script" "$src/$path" 2>/dev/null || return 1
    fi
    ! git -C "$src" diff --quiet
}

restore() {
    git -C "$src" checkout --quiet -- .
    git -C "$src" clean -fdq
}

total=0
caught=0
missed=()
check() {
    local kind="$1" fault="$2" name="$3" result
    if ! plant "$kind" "$fault"; then
        result="NOT PLANTED"
    elif ! build; then
        result="NO BUILD"
    else
        total=$((total + 1))
        result="$(run_tests)"
        if [ "$result" = "(none)" ]; then
            result="MISSED"
            missed+=("$name")
        else
            caught=$((caught + 1))
            result="caught by $result"
        fi
    fi
    printf '%-60s %s\n' "$name" "$result"
    restore
}

if [ -d "$faults" ]; then
    for patch in "$faults"/*.patch; do
        [ -e "$patch" ] && check patch "$patch" "$(basename "$patch" .patch)"
    done
else
    while IFS= read -r -u 3 line || [ -n "$line" ]; do
        case "$line" in '' | '#'*) continue ;; esac
        name="${line##* :: }"
        [ "$name" = "$line" ] && name="${line%% :: *}"
        check sed "$line" "$name"
    done 3<"$faults"
fi

echo
echo "Caught $caught of $total planted faults."
for name in "${missed[@]}"; do
    echo "  missed: $name"
done
[ "$caught" -eq "$total" ]
