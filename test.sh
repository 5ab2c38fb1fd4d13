#!/usr/bin/env bash
# Set-up and every test: installs what is missing, builds, runs CTest.
#   ./test.sh              normal build (build/), every test
#   ./test.sh --sanitize   the same suite under AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/)
#   ./test.sh --tsan       the same suite under ThreadSanitizer (build-tsan/)
#   ./test.sh --fuzz       the libFuzzer targets (clang, build-fuzz/), each for HMI_FUZZ_SECONDS (45)
#   ./test.sh --soak       only the long runs left out of the others (100 kill -9 trials), in build/
#   ./test.sh -R keyboard  only tests whose name matches (any ctest option passes through)
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh

dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=Release -DHMI_BUILD_TESTS=ON)
ctest_args=()
fuzz=0
labels=(-LE soak)
for arg in "$@"; do
    case "$arg" in
        --fuzz) fuzz=1 ;;
        --sanitize) dir=build-asan; cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DHMI_SANITIZE=address -DHMI_BUILD_TESTS=ON) ;;
        --tsan) dir=build-tsan; cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DHMI_SANITIZE=thread -DHMI_BUILD_TESTS=ON) ;;
        --soak) labels=(-L soak) ;;
        *) ctest_args+=("$arg") ;;
    esac
done

if [ "$fuzz" = 1 ]; then
    hmi_install_deps $HMI_FUZZ_PACKAGES
    exec tools/fuzz.sh "${ctest_args[@]}"
fi

hmi_install_deps openssl dpkg-dev fakeroot
hmi_install_node
# The central system the OCPP bridge is tested against; kept once installed.
csms=OCPP_Bridge/tests/csms
if [ ! -e "$csms/node_modules/ocpp-ts/package.json" ]; then
    (cd "$csms" && npm ci --no-audit --no-fund --loglevel=error)
fi
cmake -S . -B "$dir" "${cmake_args[@]}" >/dev/null
cmake --build "$dir" -j"$(hmi_jobs)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1:suppressions=$PWD/tests/tsan.supp"
cd "$dir"
# No test found is a failure, not a pass.
ctest --output-on-failure --no-tests=error -j"$(hmi_jobs)" "${labels[@]}" "${ctest_args[@]}"
