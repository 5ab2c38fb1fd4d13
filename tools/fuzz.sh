#!/usr/bin/env bash
# The fuzz pass: builds the libFuzzer targets of tests/fuzz/ with clang in
# build-fuzz/ and runs each for a bounded time on a copy of its committed
# corpus, two at a time (one per core). A crash, a sanitizer report or a
# time-out inside one input fails the pass; the input is kept in
# build-fuzz/findings/. Called by ./test.sh --fuzz (which installs clang).
#   HMI_FUZZ_SECONDS   seconds per target (default 45)
#   HMI_FUZZ_RUNS      a number of executions per target instead of a time
# Any argument names the targets to run (default: all).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dir=build-fuzz
seconds=${HMI_FUZZ_SECONDS:-45}
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_ccu_receive fuzz_meter_answer fuzz_ocpp_inbound fuzz_data_files)

CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHMI_FUZZ=ON >/dev/null
cmake --build "$dir" -j"$(nproc 2>/dev/null || echo 2)" --target "${targets[@]}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/fuzz/lsan.supp"
mkdir -p "$dir/findings" "$dir/logs"
limit=(-max_total_time="$seconds")
[ -z "${HMI_FUZZ_RUNS:-}" ] || limit=(-runs="$HMI_FUZZ_RUNS")

run() { # target
    local t=$1 work="$dir/corpus/$1" leaks=1
    mkdir -p "$work"
    # The JSON readers: the toolkit's own parser leaks on some malformed
    # documents (tests/fuzz/lsan.supp) and only a whole allocation stack
    # tells its leak from one of ours; that is too slow for every run, so
    # they are fuzzed without the leak check and the corpus they grew is run
    # again with it afterwards.
    case "$t" in fuzz_ocpp_inbound | fuzz_data_files) leaks=0 ;; esac
    ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=$leaks" "$dir/fuzz/$t" "$work" "tests/fuzz/corpus/$t" "${limit[@]}" \
        -timeout=10 -rss_limit_mb=2048 -detect_leaks=$leaks \
        -max_len=4096 -print_final_stats=1 -artifact_prefix="$dir/findings/$t-" >"$dir/logs/$t.log" 2>&1
    if [ "$leaks" = 0 ]; then
        ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0:malloc_context_size=255" "$dir/fuzz/$t" -runs=0 \
            -artifact_prefix="$dir/findings/$t-" "$work" "tests/fuzz/corpus/$t" >"$dir/logs/$t-leaks.log" 2>&1 ||
            cat "$dir/logs/$t-leaks.log" >>"$dir/logs/$t.log"
    fi
}

pids=()
for t in "${targets[@]}"; do
    run "$t" &
    pids+=($!)
    # One per core: wait for the older of two.
    if [ ${#pids[@]} -ge 2 ]; then
        wait "${pids[0]}" || true
        pids=("${pids[@]:1}")
    fi
done
for p in "${pids[@]}"; do wait "$p" || true; done

passed=0
failed=0
for t in "${targets[@]}"; do
    log="$dir/logs/$t.log"
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if grep -q '^Done [0-9]* runs' "$log" && ! grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer|UndefinedBehaviorSanitizer)|runtime error:' "$log"; then
        echo "PASS  $t: ${runs:-?} executions, 0 crashes"
        passed=$((passed + 1))
    else
        echo "FAIL  $t: ${runs:-?} executions; see $root/$log and $root/$dir/findings/"
        grep -m 20 -E 'ERROR|runtime error|SUMMARY|#[0-9]+ 0x' "$log" || tail -n 20 "$log"
        failed=$((failed + 1))
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" = 0 ]
