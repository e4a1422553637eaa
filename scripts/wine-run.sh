#!/bin/bash
# Runs a Windows program inside the build tree's own Wine prefix, with a display.
#   wine-run.sh <program.exe> [args...]   run it (ctest's emulator for the Windows build)
#   wine-run.sh --setup [build dir]       prepare the prefix and the display only
#   wine-run.sh --shutdown [build dir]    end every Wine process of the prefix and the display
# The prefix lives in <build>/wine/prefix, is created once and reused. When DISPLAY is not
# set, one Xvfb per build tree is started and kept until --shutdown.
set -euo pipefail

find_build_root() {
    local dir
    dir=$(cd "$1" && pwd)
    while [[ "$dir" != "/" ]]; do
        [[ -f "$dir/CMakeCache.txt" ]] && { echo "$dir"; return 0; }
        dir=$(dirname "$dir")
    done
    echo "wine-run: no build tree above $1" >&2
    return 1
}

repo=$(cd "$(dirname "$0")/.." && pwd)
mode=run
if [[ "${1:-}" == "--setup" || "${1:-}" == "--shutdown" ]]; then
    mode=${1#--}
    root=$(find_build_root "${2:-.}")
else
    [[ $# -ge 1 ]] || { echo "usage: wine-run.sh <program.exe> [args...]" >&2; exit 2; }
    root=$(find_build_root "$(dirname "$1")")
fi

state="$root/wine"
mkdir -p "$state"
export WINEPREFIX="$state/prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

start_display() {
    if [[ -n "${DISPLAY:-}" ]]; then
        return 0
    fi
    if [[ -f "$state/display" ]]; then
        local n pid
        read -r n pid < "$state/display"
        if kill -0 "$pid" 2>/dev/null; then
            export DISPLAY=":$n"
            return 0
        fi
    fi
    local n
    for n in $(seq 90 190); do
        [[ -e "/tmp/.X11-unix/X$n" || -e "/tmp/.X$n-lock" ]] && continue
        setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$state/xvfb.log" 2>&1 < /dev/null &
        local pid=$!
        local deadline=$((SECONDS + 15))
        while [[ ! -e "/tmp/.X11-unix/X$n" ]]; do
            if ! kill -0 "$pid" 2>/dev/null || (( SECONDS > deadline )); then
                kill "$pid" 2>/dev/null || true
                pid=""
                break
            fi
            sleep 0.05
        done
        if [[ -n "$pid" ]]; then
            echo "$n $pid" > "$state/display"
            export DISPLAY=":$n"
            return 0
        fi
    done
    echo "wine-run: could not start Xvfb" >&2
    return 1
}

prepare_prefix() {
    [[ -f "$WINEPREFIX/.orvix-ready" ]] && return 0
    (
        flock 9
        [[ -f "$WINEPREFIX/.orvix-ready" ]] && exit 0
        rm -rf "$WINEPREFIX"
        wineboot -i >"$state/wineboot.log" 2>&1
        # Without a window manager, destroying a visible window otherwise stalls for seconds.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$state/wineboot.log" 2>&1
        # The sample installation's registry values, as an installed product would have them.
        wine regedit /S "$(winepath -w "$repo/install/registry.reg")" >>"$state/wineboot.log" 2>&1
        wineserver -w
        touch "$WINEPREFIX/.orvix-ready"
    ) 9>"$state/prefix.lock"
}

case "$mode" in
    setup)
        start_display
        prepare_prefix
        ;;
    shutdown)
        wineserver -k 2>/dev/null || true
        if [[ -f "$state/display" ]]; then
            read -r n pid < "$state/display"
            kill "$pid" 2>/dev/null || true
            rm -f "$state/display"
        fi
        ;;
    run)
        start_display
        prepare_prefix
        exec wine "$@"
        ;;
esac
