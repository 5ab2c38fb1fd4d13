#!/usr/bin/env bash
# The benchmark (not part of CI, no limits): the HMI beside the floor program
# (a bare Qt 5 Widgets window with one rich-text label), both Release builds
# under the offscreen platform, measured in one run and printed side by side:
#   start    launch to the first painted window, median of --runs
#   peak     VmHWM when the first window has painted
#   steady   VmRSS and VmHWM after --idle seconds on the home page
#   idle     CPU (user + system, % of one core) over those seconds
#   charge   CPU over --charge seconds of a simulated charge (simulation build,
#            driven to the energy delivery page, the OCPP client simulator
#            answering), compared with the floor's idle CPU
#   disk     write_bytes of /proc/PID/io over the idle period, per hour and day;
#            and what the block device under the data directory wrote in that
#            time (journal and metadata included; the whole device, so only
#            meaningful on a device nothing else writes to)
#   log      lines written to stderr over the idle period, per hour
#   ./bench.sh [--runs N] [--idle S] [--charge S] [--compare REV] [--build DIR] [--data-dir DIR]
# --compare REV builds the HMI of that git revision too (in build-bench-REV/,
# kept for the next run) and adds its column, e.g. ./bench.sh --compare main.
# --build DIR: the Release build directory of this tree (default build-bench).
# --data-dir DIR: where the programs' data directory is made (default: in the
# build directory), e.g. a mount of the file system the panel's data lives on.
# How much a rewrite costs depends on it: an ext4 with a journal accounts the
# metadata to its journal thread, one without to the writing process.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
. tools/deps.sh

runs=10
idle=60
charge=60
compare=""
build=build-bench
datadir=""
while [ $# -gt 0 ]; do
    case "$1" in
        --runs) runs="$2"; shift ;;
        --idle) idle="$2"; shift ;;
        --charge) charge="$2"; shift ;;
        --compare) compare="$2"; shift ;;
        --build) build="$2"; shift ;;
        --data-dir) datadir="$2"; shift ;;
        *) echo "unknown option $1" >&2; exit 2 ;;
    esac
    shift
done

hmi_install_deps
build_programs() { # source dir, build dir
    local args=(-DCMAKE_BUILD_TYPE=Release)
    [ -e "$2/CMakeCache.txt" ] || args+=(-DHMI_BUILD_TESTS=OFF)
    cmake -S "$1" -B "$2" "${args[@]}" >/dev/null
    cmake --build "$2" -j"$(hmi_jobs)" --target bench-programs >/dev/null
}
build_programs . "$build"
columns=(floor hmi)
declare -A bin
bin[floor]=$build
bin[hmi]=$build
if [ -n "$compare" ]; then
    old="build-bench-$(echo "$compare" | tr -c 'A-Za-z0-9._\n-' _)"
    if [ ! -d "$old/src" ]; then
        mkdir -p "$old/src"
        git archive "$compare" | tar -x -C "$old/src"
    fi
    # The benchmark's own programs as they are now, so both sides are measured alike.
    rm -rf "$old/src/tools/bench"
    cp -r tools/bench "$old/src/tools/bench"
    build_programs "$old/src" "$old/b"
    columns=(floor "$compare" hmi)
    bin[$compare]="$old/b"
fi

tmp=$(mktemp -d "$root/$build/run.XXXXXX") # on the disk, not in a tmpfs: writes count
data="$tmp/data"
if [ -n "$datadir" ]; then
    data=$(mktemp -d "$datadir/hmi-bench.XXXXXX")
    trap 'rm -rf "$tmp" "$data"' EXIT
else
    trap 'rm -rf "$tmp"' EXIT
fi
fifo="$tmp/ready"
mkfifo "$fifo"
exec {ready}<>"$fifo"
export QT_QPA_PLATFORM=offscreen
export QT_PLUGIN_PATH="$root/$build/bench-plugins"
export QT_QPA_GENERIC_PLUGINS=hmibench
export HMI_BENCH_READY="$fifo"
tck=$(getconf CLK_TCK)

fresh_data() { # data dir
    rm -rf "$1"
    mkdir -p "$1"
    cp deploy/configuration.json deploy/IDtag.json deploy/DynamicStatus.json "$1/"
    cp deploy/workstation/softwarereset.sh deploy/workstation/hardwarereset.sh "$1/"
    chmod 0755 "$1/softwarereset.sh" "$1/hardwarereset.sh"
}
program() { # column -> the command line
    case "$1" in
        floor) echo "${bin[floor]}/hmi-bench-floor" ;;
        *) echo "${bin[$1]}/charger-hmi" ;;
    esac
}
status_kib() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; } # the command has no spaces
io_bytes() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/io"; }
mkdir -p "$data" # the device under it is looked up now
device_stat="/sys/dev/block/$(stat -c '%Hd:%Ld' "$data" 2>/dev/null || true)/stat"
device_bytes() { # sectors written by the device under the data directory, in bytes
    if [ -r "$device_stat" ]; then awk '{ print $7 * 512 }' "$device_stat"; else echo 0; fi
}
wait_line() { # expected line
    local line
    while read -r -t 60 -u "$ready" line; do
        [ "$line" = "$1" ] && return 0
    done
    echo "no '$1' from the program" >&2
    return 1
}
stop() { kill -TERM "$1" 2>/dev/null || true; wait "$1" 2>/dev/null || true; }

declare -A start_ms peak_kib rss_kib hwm_kib idle_pct charge_pct disk_h device_h log_h
run_start() { # column
    local col=$1 times=() t0 t1 pid
    for _ in $(seq "$runs"); do
        fresh_data "$data"
        t0=$EPOCHREALTIME
        HMI_DATA_DIR="$data" HMI_GPIO_PREFIX="$data/gpio" $(program "$col") >"$tmp/log" 2>&1 &
        pid=$!
        wait_line shown
        t1=$EPOCHREALTIME
        times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f", (b - a) * 1000 }')")
        peak_kib[$col]=$(status_kib "$pid" VmHWM)
        stop "$pid"
    done
    start_ms[$col]=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
}
run_idle() { # column
    local col=$1 pid sim c0 c1 w0 w1 l0 l1 d0 d1
    fresh_data "$data"
    "${bin[hmi]}/ocpp-client-sim" --data-dir "$data" </dev/null >/dev/null 2>&1 &
    sim=$!
    HMI_DATA_DIR="$data" HMI_GPIO_PREFIX="$data/gpio" $(program "$col") >"$tmp/log" 2>&1 &
    pid=$!
    wait_line shown
    sleep 15 # past the start-up window of the session supervisor (ten ticks)
    sync
    c0=$(cpu_ticks "$pid"); w0=$(io_bytes "$pid" write_bytes); l0=$(wc -l <"$tmp/log"); d0=$(device_bytes)
    sleep "$idle"
    sync
    c1=$(cpu_ticks "$pid"); w1=$(io_bytes "$pid" write_bytes); l1=$(wc -l <"$tmp/log"); d1=$(device_bytes)
    rss_kib[$col]=$(status_kib "$pid" VmRSS)
    hwm_kib[$col]=$(status_kib "$pid" VmHWM)
    idle_pct[$col]=$(awk -v c=$((c1 - c0)) -v t="$tck" -v s="$idle" 'BEGIN { printf "%.3f", c / t / s * 100 }')
    disk_h[$col]=$(awk -v w=$((w1 - w0)) -v s="$idle" 'BEGIN { printf "%.0f", w * 3600 / s }')
    device_h[$col]=$(awk -v w=$((d1 - d0)) -v s="$idle" 'BEGIN { printf "%.0f", w * 3600 / s }')
    log_h[$col]=$(awk -v l=$((l1 - l0)) -v s="$idle" 'BEGIN { printf "%.0f", l * 3600 / s }')
    stop "$pid"
    stop "$sim"
}
run_charge() { # column (an HMI)
    local col=$1 pid sim c0 c1
    fresh_data "$data"
    "${bin[hmi]}/ocpp-client-sim" --data-dir "$data" </dev/null >/dev/null 2>&1 &
    sim=$!
    HMI_DATA_DIR="$data" HMI_GPIO_PREFIX="$data/gpio" "${bin[$col]}/hmi-bench-charge" >"$tmp/log" 2>&1 &
    pid=$!
    wait_line shown
    wait_line charging
    sleep 2
    c0=$(cpu_ticks "$pid")
    sleep "$charge"
    c1=$(cpu_ticks "$pid")
    charge_pct[$col]=$(awk -v c=$((c1 - c0)) -v t="$tck" -v s="$charge" 'BEGIN { printf "%.3f", c / t / s * 100 }')
    stop "$pid"
    stop "$sim"
}

# Interleaved, so that a change of the machine's load touches every column.
for col in "${columns[@]}"; do run_start "$col"; done
for col in "${columns[@]}"; do run_idle "$col"; done
charge_pct[floor]=${idle_pct[floor]}
for col in "${columns[@]}"; do [ "$col" = floor ] || run_charge "$col"; done

mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2fx", a / b; else print "-" }'; }
plus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%+.1f", (a - b) / 1024 }'; }
echo
echo "Machine: $(uname -m), $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo), $(uname -r)"
echo "Qt $(qmake -query QT_VERSION 2>/dev/null || echo 5), Release, offscreen; start median of $runs, idle ${idle} s, charge ${charge} s"
source=$(df --output=source "$data" | tail -1)
fstype=$(df --output=fstype "$data" | tail -1 | tr -d ' ')
journal=""
case $fstype in
    ext3 | ext4)
        journal=" without a journal"
        compgen -G "/proc/fs/jbd2/$(basename "$source")-*" >/dev/null && journal=" with a journal"
        ;;
esac
echo "Data directory on $source ($fstype$journal)"
printf '%-34s' "figure"
for col in "${columns[@]}"; do printf ' | %-20s' "$col"; done
echo
row() { # title, per column: value text
    printf '%-34s' "$1"
    shift
    for v in "$@"; do printf ' | %-20s' "$v"; done
    echo
}
f=floor
vals=(); for c in "${columns[@]}"; do vals+=("${start_ms[$c]} ms $(ratio "${start_ms[$c]}" "${start_ms[$f]}")"); done
row "start to first page" "${vals[@]}"
vals=(); for c in "${columns[@]}"; do vals+=("$(mib "${peak_kib[$c]}") MiB $(plus "${peak_kib[$c]}" "${peak_kib[$f]}")"); done
row "peak RSS at first page" "${vals[@]}"
vals=(); for c in "${columns[@]}"; do vals+=("$(mib "${rss_kib[$c]}") MiB $(plus "${rss_kib[$c]}" "${rss_kib[$f]}")"); done
row "RSS after ${idle} s idle" "${vals[@]}"
vals=(); for c in "${columns[@]}"; do vals+=("$(mib "${hwm_kib[$c]}") MiB $(plus "${hwm_kib[$c]}" "${hwm_kib[$f]}")"); done
row "peak RSS after ${idle} s idle" "${vals[@]}"
vals=(); for c in "${columns[@]}"; do vals+=("${idle_pct[$c]} %"); done
row "CPU idle" "${vals[@]}"
vals=(); for c in "${columns[@]}"; do vals+=("${charge_pct[$c]} %"); done
row "CPU charging (floor: idle)" "${vals[@]}"
vals=(); for c in "${columns[@]}"; do vals+=("$(awk -v b="${disk_h[$c]}" 'BEGIN { printf "%.0f KiB/h %.1f MiB/d", b / 1024, b * 24 / 1048576 }')"); done
row "disk writes idle" "${vals[@]}"
if [ -r "$device_stat" ]; then
    vals=(); for c in "${columns[@]}"; do vals+=("$(awk -v b="${device_h[$c]}" 'BEGIN { printf "%.0f KiB/h %.1f MiB/d", b / 1024, b * 24 / 1048576 }')"); done
    row "device writes idle (whole device)" "${vals[@]}"
fi
vals=(); for c in "${columns[@]}"; do vals+=("${log_h[$c]} lines/h"); done
row "log lines idle" "${vals[@]}"
