#!/usr/bin/env bash
# Set-up and the HMI itself: installs what is missing, builds build/charger-hmi
# (Release), lays out a local data directory from deploy/ and starts the HMI
# on it, with the OCPP client simulator at the other end of the FIFOs.
#
#   ./run.sh                 simulation build: debug panel plays plug and card
#   ./run.sh --device        device build against the CCU, meter and OCPP simulators
#   ./run.sh --demo          a whole session without a person; pictures in demo/
#   ./run.sh --no-ocpp-sim   leave the FIFOs to a real OCPP client
#   ./run.sh --csms ws://HOST:PORT/PATH/CPID
#                            ocpp-bridge on the FIFOs instead of the simulator,
#                            connected to that central system (wss:// too)
#   ./run.sh --data-dir DIR  data directory (default: ./data, or ./data-device for --device)
# Any other argument goes to charger-hmi (for example -platform offscreen).
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
. tools/deps.sh

mode=sim
ocpp_sim=1
csms_url=""
data_dir=""
hmi_args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --device) mode=device ;;
        --demo) mode=demo ;;
        --no-ocpp-sim) ocpp_sim=0 ;;
        --csms) csms_url="$2"; ocpp_sim=0; shift ;;
        --data-dir) data_dir="$2"; shift ;;
        *) hmi_args+=("$1") ;;
    esac
    shift
done

hmi_install_deps
build=build
cmake_args=(-DCMAKE_BUILD_TYPE=Release -DHMI_BUILD_TESTS=OFF)
if [ "$mode" = device ]; then
    build=build-device
    cmake_args+=(-DHMI_DEBUG_MODE=OFF -DHMI_DEBUG_CHARGER_GUN=OFF -DHMI_DC_METER=ON)
fi
cmake -S . -B "$build" "${cmake_args[@]}" >/dev/null
cmake --build "$build" -j"$(hmi_jobs)"

[ -n "$data_dir" ] || data_dir="$root/data$([ "$mode" = device ] && echo -device || true)"
mkdir -p "$data_dir"
data_dir=$(cd "$data_dir" && pwd)
# Keep what a previous run left (energy register, edited configuration);
# the reset scripts always come fresh.
for f in configuration.json IDtag.json DynamicStatus.json bridge.json; do
    [ -e "$data_dir/$f" ] || cp "deploy/$f" "$data_dir/$f"
done
cp deploy/workstation/softwarereset.sh deploy/workstation/hardwarereset.sh "$data_dir/"
# The HMI runs a reset script only when nobody but its user can have written it.
chmod 0755 "$data_dir/softwarereset.sh" "$data_dir/hardwarereset.sh"
echo "Data directory: $data_dir"

pids=()
cleanup() {
    trap - INT TERM EXIT
    for p in "${pids[@]}"; do kill -TERM "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup INT TERM EXIT

if [ -n "$csms_url" ]; then
    "$build/ocpp-bridge" --data-dir "$data_dir" --csms "$csms_url" > "$data_dir/ocpp-bridge.log" 2>&1 &
    pids+=($!)
    echo "OCPP bridge to $csms_url: log in $data_dir/ocpp-bridge.log (settings in $data_dir/bridge.json)"
fi

if [ "$mode" = demo ]; then
    if [ -z "$csms_url" ]; then
        exec "$build/hmi-demo" --data-dir "$data_dir" --out "$root/demo" "${hmi_args[@]}"
    fi
    set +e
    "$build/hmi-demo" --data-dir "$data_dir" --out "$root/demo" --no-ocpp-sim "${hmi_args[@]}"
    exit $?
fi

# Prints what the command prints once it prints something (a line a helper
# writes into its log as it comes up); fails after 10 s.
wait_for() {
    local value
    for _ in $(seq 100); do
        value=$("$@")
        [ -n "$value" ] && { echo "$value"; return 0; }
        sleep 0.1
    done
    return 1
}

# A simulator's commands come through a named pipe in the data directory,
# held open here so that it never sees the end of its input.
control_pipe() { # name fd
    local ctl="$data_dir/$1.ctl"
    [ -p "$ctl" ] || { rm -f "$ctl"; mkfifo "$ctl"; }
    eval "exec $2<>\"\$ctl\""
}

if [ "$ocpp_sim" = 1 ] && [ -x "$build/ocpp-client-sim" ]; then
    control_pipe ocpp-client-sim 3
    "$build/ocpp-client-sim" --data-dir "$data_dir" <&3 > "$data_dir/ocpp-client-sim.log" 2>&1 &
    pids+=($!)
    echo "OCPP client simulator: log in $data_dir/ocpp-client-sim.log;" \
         "commands: echo 'RemoteStartTransaction TAG' > $data_dir/ocpp-client-sim.ctl"
fi

extra=()
if [ "$mode" = device ]; then
    # Each simulator prints its pseudo-terminal on its first line; its output
    # goes on into its log.
    start_sim() { # name [options] -> sets sim_pty
        local name=$1; shift
        local log="$data_dir/$name.log"
        : > "$log"
        control_pipe "$name" 4
        "$build/$name" "$@" <&4 > "$log" 2>&1 &
        exec 4>&-
        pids+=($!)
        sim_pty=$(wait_for head -n 1 "$log") || { echo "$name did not start; see $log" >&2; exit 1; }
    }
    start_sim ccu-sim; ccu_pty=$sim_pty
    start_sim meter-sim --voltage 400 --current 100; meter_pty=$sim_pty
    echo "CCU simulator on $ccu_pty, meter simulator on $meter_pty (logs in $data_dir)"
    echo "Simulator commands: echo plug > $data_dir/ccu-sim.ctl, echo 'current 50' > $data_dir/meter-sim.ctl" \
         "(see --help of ccu-sim and meter-sim)"
    extra+=(--ccu-port "$ccu_pty" --meter-port "$meter_pty")
fi

platform=()
has_platform=0
for a in "${hmi_args[@]}"; do [ "$a" = -platform ] && has_platform=1; done
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ $has_platform = 0 ]; then
    # No display: a virtual one (Xvfb, no TCP), shown by x11vnc on the
    # loopback interface only. The toolkit's own VNC server would listen on
    # every interface, without a password.
    hmi_install_deps xvfb x11vnc
    exec 5> "$data_dir/xvfb.display"
    Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp > "$data_dir/xvfb.log" 2>&1 &
    pids+=($!)
    exec 5>&-
    display=$(wait_for head -n 1 "$data_dir/xvfb.display") \
        || { echo "Xvfb did not start; see $data_dir/xvfb.log" >&2; exit 1; }
    export DISPLAY=":$display"
    : > "$data_dir/x11vnc.log"
    x11vnc -display "$DISPLAY" -localhost -forever -shared -nopw -quiet > "$data_dir/x11vnc.log" 2>&1 &
    pids+=($!)
    port=$(wait_for sed -n 's/^PORT=//p' "$data_dir/x11vnc.log") \
        || { echo "x11vnc did not start; see $data_dir/x11vnc.log" >&2; exit 1; }
    platform=(-platform xcb)
    echo "No display: the HMI is served over VNC on 127.0.0.1:$port only (this machine)."
    echo "  Here:               a VNC viewer on localhost:$port"
    echo "  From elsewhere:     ssh -L 5900:127.0.0.1:$port $(id -un)@$(hostname)" \
         "then a VNC viewer on localhost:5900 of that machine"
fi
echo "Starting the HMI; Ctrl-C ends it."
"$build/charger-hmi" --data-dir "$data_dir" --gpio-prefix "$data_dir/gpio" "${extra[@]}" "${platform[@]}" "${hmi_args[@]}" &
hmi=$!
pids=("$hmi" "${pids[@]}")
set +e
wait "$hmi"
rc=$?
exit $rc
