#!/bin/bash
# Fails when a C++ file of the project is not formatted by .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
if (( ${#files[@]} == 0 )); then
    exit 0
fi
clang-format --dry-run --Werror "${files[@]}"
echo "format: ${#files[@]} files clean"
