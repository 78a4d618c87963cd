#!/usr/bin/env bash
# Builds Lexigrove and runs the whole test suite headless; the last line counts the test
# functions that ran (ctest's own summary above it counts the test programs).
#   scripts/test.sh             the normal build, in build/
#   scripts/test.sh --sanitize  a build with AddressSanitizer and UBSan, in build-sanitize/
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages
export QT_QPA_PLATFORM=offscreen

if [ "${1:-}" = "--sanitize" ]; then
    dir="$LEXIGROVE_ROOT/build-sanitize"
    build_tree "$dir" -DCMAKE_BUILD_TYPE=Debug -DLEXIGROVE_SANITIZE=ON -DLEXIGROVE_BUILD_BENCH=OFF \
        -DLEXIGROVE_BUILD_TOOLS=OFF
    # Leaks inside Qt's own plugins and fontconfig are not ours; everything else fails the run.
    export LSAN_OPTIONS="suppressions=$LEXIGROVE_ROOT/tests/lsan.supp:print_suppressions=0"
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
    dir="$LEXIGROVE_ROOT/build"
    # The tests, benchmarks and tools that scripts/run.sh leaves out of the same folder.
    build_tree "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEXIGROVE_BUILD_TESTS=ON \
        -DLEXIGROVE_BUILD_BENCH=ON -DLEXIGROVE_BUILD_TOOLS=ON
fi

status=0
"${LEXIGROVE_CTEST[@]}" --test-dir "$dir" || status=$?
print_test_totals "$dir"
exit "$status"
