#!/usr/bin/env bash
# The soak (not part of CI): the device build under AddressSanitizer +
# UndefinedBehaviorSanitizer (build-soak/) driven for MINUTES (default 30)
# against ccu-sim, meter-sim and ocpp-client-sim, with sessions at the screen
# and a fault at random times (see tools/soak/soak.cpp). Passes when every
# session cycle moved on, no sanitizer reported anything and the program
# ended cleanly; prints sessions, faults and resident memory each minute.
#   tools/soak.sh [MINUTES]
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
minutes=${1:-30}
dir=build-soak

hmi_install_deps
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHMI_SANITIZE=address -DHMI_BUILD_TESTS=OFF \
    -DHMI_DEBUG_MODE=OFF -DHMI_DEBUG_CHARGER_GUN=OFF -DHMI_DC_METER=ON >/dev/null
cmake --build "$dir" -j"$(hmi_jobs)" --target hmi-soak ccu-sim meter-sim ocpp-client-sim

data="$dir/data"
rm -rf "$data"
mkdir -p "$data"
cp deploy/configuration.json deploy/IDtag.json deploy/DynamicStatus.json "$data/"
cp deploy/workstation/softwarereset.sh deploy/workstation/hardwarereset.sh "$data/"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
log="$dir/soak.log"
echo "Soak of $minutes min; log in $log"
set +e
"$dir/hmi-soak" --data-dir "$data" --minutes "$minutes" -platform offscreen >"$log" 2>&1
rc=$?
set -e
grep -E '^\[..:..:..\] soak: (fault|cleared|STUCK|[0-9]+ min|resident|passed|FAILED)' "$log" | grep -vE 'soak: (fault .* for|cleared)' || true
reports=$(grep -cE 'ERROR: AddressSanitizer|runtime error:|ERROR: LeakSanitizer' "$log" || true)
echo "sanitizer reports: $reports; exit code $rc"
[ "$rc" = 0 ] && [ "$reports" = 0 ]
