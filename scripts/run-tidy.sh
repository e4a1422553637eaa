#!/bin/bash
# clang-tidy over the platform-free logic, with the native build's compile commands.
#   scripts/run-tidy.sh <native build dir>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
cd "$root"
mapfile -t files < <(find monitor status localization protocol ordering service platform/portable \
    -maxdepth 1 -name '*.cpp' 2>/dev/null | sort)
files+=(platform/Trace.cpp)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
printf '%s\n' "${files[@]}" | xargs -P"$(nproc)" -n4 clang-tidy -p "$build" --quiet >"$log" 2>&1 || true
if grep -E '(warning|error):' "$log"; then
    echo "clang-tidy: findings above"
    exit 1
fi
echo "clang-tidy: ${#files[@]} files clean"
