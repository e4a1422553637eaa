#!/bin/bash
# The main job on the sample installation and the simulated printer, under Wine:
#   1. builds the Windows programs (the simulation build: simulated USB printer and queue,
#      trace written to a file) and the language-monitor stand-in,
#   2. installs install/ into C:\Program Files\Orvix of the build tree's Wine prefix and loads
#      its registry values,
#   3. starts Orvix in toner mode, then a second Orvix in toner mode, which hands the start
#      over and ends,
#   4. announces jobs to the running Orvix with the stand-in while the simulated printer is
#      printing, jammed and unplugged, then ends it with WM_SM_KILL,
#   5. reports what happened, from the trace and the processes' exit codes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"

build=build/win
mkdir -p build
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    >build/demo-configure.log 2>&1 || { cat build/demo-configure.log; exit 1; }
cmake --build "$build" -j"$(nproc)" --target orvix_sim_exe service_sim_exe lm_stand_in

wine_run="$root/scripts/wine-run.sh"
"$wine_run" --setup "$build"
export WINEPREFIX="$root/$build/wine/prefix" WINEDEBUG=-all
if [[ -z "${DISPLAY:-}" ]]; then
    read -r display_number _ < "$root/$build/wine/display"
    export DISPLAY=":$display_number"
fi

# Install the sample into the prefix.
install_dir="$WINEPREFIX/drive_c/Program Files/Orvix"
rm -rf "$install_dir"
mkdir -p "$install_dir/MulLang"
cp "$build/bin/sim/Orvix.exe" "$build/bin/sim/Service.exe" "$install_dir/"
cp install/Orvix.dat "$install_dir/"
cp install/MulLang/*.trs "$install_dir/MulLang/" 2>/dev/null || true
wine regedit /S "$(winepath -w "$root/install/registry.reg" 2>/dev/null)" >/dev/null 2>&1
trace="$root/$build/demo-trace.log"
: > "$trace"
export ORVIX_TRACE_FILE
ORVIX_TRACE_FILE=$(winepath -w "$trace" 2>/dev/null)
orvix='C:\Program Files\Orvix\Orvix.exe'
standin="$root/$build/bin/LmStandIn.exe"
model_class=$(sed -n 's/^Class=\([^\r]*\).*/\1/p' install/Orvix.dat)

# The simulated printer: plugged in, printing, 60 % toner; one job in its queue.
sim_state="$root/$build/demo-printer.ini"
printer_state() {  # printer_state <present> <status record>: rewritten in one step
    printf '%s\r\n' '[Printer]' "Present=$1" \
        'DeviceId=MFG:Velmar;CMD:GDI;MDL:Velmar Laser Z880k;CLS:PRINTER;' \
        "Status=$2" 'ServiceTag=7QX4K2M' \
        '[Jobs]' 'Velmar Laser Z880k=1' \
        '[Drivers]' 'Velmar Laser Z880k=Velmar Z880k PCL' > "$sim_state.new"
    mv "$sim_state.new" "$sim_state"
}
printer_state 1 '01 01 04 00 00 3C 14 00'
export ORVIX_SIM_STATE
ORVIX_SIM_STATE=$(winepath -w "$sim_state" 2>/dev/null)

wait_for() {  # wait_for <seconds> <command...>: polls the condition until it holds
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        (( SECONDS < deadline )) || return 1
        sleep 0.1
    done
}

echo "== Starting Orvix in toner mode (first instance)"
wine "$orvix" >"$root/$build/demo-first.log" 2>&1 &
first=$!
wait_for 30 grep -q "Window class registered" "$trace" ||
    { echo "the first instance did not come up"; cat "$trace"; exit 1; }

echo "== Starting Orvix in toner mode again (second instance)"
set +e
wine "$orvix" >"$root/$build/demo-second.log" 2>&1
second_exit=$?
set -e

announce() {  # announce <what>: one job through the stand-in, then wait for its status line
    local before
    before=$(grep -c "Printer status:" "$trace" || true)
    echo "== Job announced while the printer is $1"
    wine "$standin" "$model_class" job-ansi "Velmar Laser Z880k" "" 'C:\docs\quarterly report.txt'
    wait_for 30 bash -c "(( \$(grep -c 'Printer status:' '$trace') > $before ))" ||
        { echo "no job start seen"; cat "$trace"; exit 1; }
}
announce "printing"
printer_state 1 '04 03 01 02 00 3C 14 00'
announce "jammed"
printer_state 0 '04 03 01 02 00 3C 14 00'
announce "unplugged"

echo "== Ending Orvix with WM_SM_KILL"
wine "$standin" "$model_class" kill
set +e
wait "$first"
first_exit=$?
set -e

echo
echo "== What happened (trace of both instances)"
cat "$trace"
echo
echo "== Report"
grep -m1 "Model configuration:" "$trace" | sed 's/^/configuration read: /'
grep -m1 "String table:" "$trace" | sed 's/^/string table: /'
grep -m1 "Window class registered" "$trace" | sed 's/^/first instance: /'
grep -m1 "Running instance found" "$trace" | sed 's/^/second instance: /'
echo "second instance exit code: $second_exit"
grep "Job started:\|Printer status:" "$trace" | sed 's/^/job: /'
echo "first instance exit code after WM_SM_KILL: $first_exit"

wineserver -k 2>/dev/null || true
grep -q "Running instance found: sending WM_SM_SHOW_ORDER_TONER" "$trace"
grep -q "key \[SM_PRINTING\]" "$trace"
grep -q "key \[SM_PAPER_JAM0\]" "$trace"
grep -q "key \[SM_USB_CABLE_OFF\]" "$trace"
[[ $second_exit == 0 && $first_exit == 0 ]]
echo "demo finished: start handed over, three jobs read from the simulated printer, Orvix ended"
