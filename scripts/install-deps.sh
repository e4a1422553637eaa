#!/bin/bash
# Installs the Debian packages the builds and tests need; quick when they are all there.
set -euo pipefail

packages=(
    cmake ninja-build g++ make git
    clang libclang-rt-14-dev clang-format clang-tidy
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 xvfb xauth imagemagick
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if (( ${#missing[@]} )); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
