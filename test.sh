#!/usr/bin/env bash
# Set-up and every test: installs what is missing, builds, runs CTest.
#   ./test.sh              normal build (build/), every test
#   ./test.sh --sanitize   the same suite under AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/)
#   ./test.sh --tsan       the same suite under ThreadSanitizer (build-tsan/)
#   ./test.sh --soak       only the long runs left out of the others (100 kill -9 trials), in build/
#   ./test.sh -R keyboard  only tests whose name matches (any ctest option passes through)
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh

dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=Release)
ctest_args=()
labels=(-LE soak)
for arg in "$@"; do
    case "$arg" in
        --sanitize) dir=build-asan; cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DHMI_SANITIZE=address) ;;
        --tsan) dir=build-tsan; cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DHMI_SANITIZE=thread) ;;
        --soak) labels=(-L soak) ;;
        *) ctest_args+=("$arg") ;;
    esac
done

hmi_install_deps
cmake -S . -B "$dir" "${cmake_args[@]}" >/dev/null
cmake --build "$dir" -j"$(hmi_jobs)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1:suppressions=$PWD/tests/tsan.supp"
cd "$dir"
ctest --output-on-failure -j"$(hmi_jobs)" "${labels[@]}" "${ctest_args[@]}"
