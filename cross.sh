#!/usr/bin/env bash
# Cross build for an ARM panel with Debian multiarch, tested under emulation,
# and its Debian packages.
#   ./cross.sh arm64    64-bit ARM panels
#   ./cross.sh armhf    32-bit ARMv7 panels (hard float)
# Installs what is missing (adds the architecture to dpkg first, then
# crossbuild-essential-ARCH, the target's Qt, serial port, WebSockets and
# libmodbus packages, qemu-user-static, lintian), builds build-ARCH/ (Release,
# device build, Debian's hardening flags for ARCH), runs the unit tests listed
# below under qemu-user-static, and makes charger-hmi_<version>_ARCH.deb and
# charger-hmi-simulators_<version>_ARCH.deb in build-ARCH/, checked by lintian.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
. tools/deps.sh
. tools/packaging.sh

arch=${1:-}
case "$arch" in
    arm64) triplet=aarch64-linux-gnu ;;
    armhf) triplet=arm-linux-gnueabihf ;;
    *) echo "usage: ./cross.sh arm64|armhf" >&2; exit 2 ;;
esac

# Run under emulation: the CCU codec and poll schedule, the meter's CRC and
# reader, the session supervisor, the configuration and data files, the timer
# service, the FIFO link and the bridge's translation tables. The rest stays on
# the build machine's own architecture: tests that start a simulator, a program
# of the build or a script (QProcess cannot start a child under qemu-user; see
# tools/qemu-isolated.sh), the widget and screen-look tests (the emulated
# offscreen platform renders the same pixels, only far slower) and the bridge
# against the node central system.
emulated_tests=(tst_ccu_codec tst_ccu_schedule tst_crc16modbus tst_meter tst_supervisor tst_configuration
    tst_connector tst_timer tst_pipe tst_ocpp tst_bridge_translation)
# Functions of those that run a reset script through QProcess.
native_only=" tst_supervisor::resetWhileIdleRunsScript tst_supervisor::resetDuringChargingStopsFirst "

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    echo "Adding the architecture $arch to dpkg"
    $sudo dpkg --add-architecture "$arch"
    $sudo apt-get update -qq
fi
hmi_install_deps $HMI_PACKAGING_PACKAGES qemu-user-static "crossbuild-essential-$arch" "qtbase5-dev:$arch" \
    "libqt5serialport5-dev:$arch" "libqt5websockets5-dev:$arch" "libmodbus-dev:$arch"

dir=build-$arch
mapfile -t args < <(DEB_HOST_ARCH=$arch hmi_panel_cmake_args $([ "$arch" = armhf ] && echo -Wno-psabi))
# cpack takes what the build made: only the packaged programs and the
# emulated tests are built, not every target. On armhf, GCC notes on every
# std::initializer_list that its ABI changed in GCC 7.1, which concerns no
# library this build links.
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$triplet.cmake" "${args[@]}" \
    -DHMI_BUILD_TESTS=ON -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$dir" -j"$(hmi_jobs)" --target hmi_packaged "${emulated_tests[@]}"

case "$arch" in arm64) qemu=qemu-aarch64-static ;; armhf) qemu=qemu-arm-static ;; esac
qemu=$(command -v "$qemu")
# run_emulated TEST: its functions, less the native-only ones, under qemu.
run_emulated() {
    local t=$1 exe fn functions=()
    exe=$(find "$PWD/$dir" -name "$t" -type f -perm -u+x | head -n 1)
    [ -n "$exe" ] || { echo "$t was not built" >&2; return 1; }
    while read -r fn; do
        fn=${fn%"()"}
        case "$native_only" in *" $t::$fn "*) echo "  $t::$fn stays native"; continue ;; esac
        functions+=("$fn")
    done < <(tools/qemu-isolated.sh "$qemu" "$exe" -functions)
    local log="$PWD/$dir/emulated-$t.log" rc=0
    (cd "$(dirname "$exe")" && "$root/tools/qemu-isolated.sh" "$qemu" "$exe" -silent "${functions[@]}") \
        > "$log" 2>&1 || rc=$?
    printf '  %-24s %s\n' "$t" "$(grep '^Totals' "$log" || echo "ended with $rc")"
    [ "$rc" = 0 ] || { grep -A3 '^FAIL' "$log" >&2; echo "  (all of it: $log)" >&2; }
    return "$rc"
}
echo "Unit tests under $qemu (each in a PID namespace of its own):"
failed=0
export QT_QPA_PLATFORM=offscreen
for t in "${emulated_tests[@]}"; do
    run_emulated "$t" || failed=1
done
[ "$failed" = 0 ] || { echo "tests failed under emulation" >&2; exit 1; }

hmi_make_packages "$dir"
