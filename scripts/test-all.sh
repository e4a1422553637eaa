#!/bin/bash
# Sets up what the tests need and runs every tier: formatting, native unit tests, clang-tidy
# over the logic, the native tests under AddressSanitizer + UndefinedBehaviorSanitizer, the
# fuzz targets for a bounded time, and the Windows programs and tests under Wine. Build trees
# go to build/<tier>.
#   scripts/test-all.sh                 every tier
#   ORVIX_TIERS="native wine" scripts/test-all.sh   a choice of tiers
#   ORVIX_FUZZ_SECONDS=600 scripts/test-all.sh      a longer fuzzing run
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh" || { echo "dependency install failed"; exit 1; }

tiers=${ORVIX_TIERS:-"format native tidy asan fuzz wine"}
fuzz_seconds=${ORVIX_FUZZ_SECONDS:-30}
jobs=$(nproc)
failed=()
start_all=$SECONDS

run_tier() {
    local name=$1
    shift
    local start=$SECONDS
    echo "===== $name"
    if "$@"; then
        echo "===== $name: passed ($((SECONDS - start)) s)"
    else
        echo "===== $name: FAILED ($((SECONDS - start)) s)"
        failed+=("$name")
    fi
}

build_and_test() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1 ||
        { cat "$dir.configure.log"; return 1; }
    cmake --build "$dir" -j"$jobs" || return 1
    ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

mkdir -p build
for tier in $tiers; do
    case "$tier" in
        format) run_tier format "$root/scripts/check-format.sh" ;;
        native) run_tier native build_and_test build/native ;;
        tidy) run_tier tidy "$root/scripts/run-tidy.sh" "$root/build/native" ;;
        asan)
            export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
            run_tier asan build_and_test build/asan -DORVIX_SANITIZE=ON -DORVIX_BENCH=OFF
            ;;
        fuzz)
            run_tier fuzz env CC=clang CXX=clang++ bash -c \
                "$(declare -f build_and_test); root='$root'; jobs=$jobs; build_and_test build/fuzz -DORVIX_FUZZ=ON -DORVIX_FUZZ_SECONDS=$fuzz_seconds"
            ;;
        wine)
            run_tier wine build_and_test build/win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake"
            ;;
        *) echo "unknown tier $tier"; failed+=("$tier") ;;
    esac
done

echo "===== all tiers: $((SECONDS - start_all)) s"
if (( ${#failed[@]} )); then
    echo "FAILED tiers: ${failed[*]}"
    exit 1
fi
echo "every tier passed"
