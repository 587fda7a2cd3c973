#!/bin/sh
# Fuzz targets (fuzz/): configures build-fuzz/ once with clang and libFuzzer, builds the
# targets incrementally, and runs each one for a bounded time on a copy of its seed corpus
# (fuzz/corpus/<name>/). A crash, a sanitizer report, a timeout or running out of memory fails
# the run; the input that did it is left in build-fuzz/hallazgos/ and named in the output.
#   tools/fuzz.sh [seconds per target]      (default 45, or $TRELMA_FUZZ_SEGUNDOS)
#   tools/fuzz.sh --compilar                only configure and build
# Reproduce a finding: build-fuzz/fuzz/fuzz_<name> build-fuzz/hallazgos/<file>
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
dir=build-fuzz
targets="mascara proyecto smtp"

if [ ! -f "$dir/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DTRELMA_FUZZ=ON
fi
# Only the fuzz targets and what they link; the rest of this tree is never built.
# The machine is shared: lower priority, and the build lock the other builds use.
flock /tmp/trelma-build.lock nice -n 10 cmake --build "$dir" -j2 \
    $(for t in $targets; do printf ' --target fuzz_%s' "$t"; done)

[ "${1:-}" = "--compilar" ] && exit 0
seconds=${1:-${TRELMA_FUZZ_SEGUNDOS:-45}}

# libFuzzer stops at the first fault; these make the sanitizers' reports complete.
export ASAN_OPTIONS="abort_on_error=1:print_stacktrace=1:detect_stack_use_after_return=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:report_error_type=1"
export QT_QPA_PLATFORM=offscreen

mkdir -p "$dir/hallazgos"
rc=0
for t in $targets; do
    # A copy: what the fuzzer adds stays out of the repository (and is kept between runs).
    work="$dir/corpus/$t"
    mkdir -p "$work"
    cp fuzz/corpus/"$t"/* "$work"/
    dict=""
    [ -f "fuzz/$t.dict" ] && dict="-dict=fuzz/$t.dict"
    echo "== fuzz_$t: $seconds s"
    # stdin closed: a path in the input (an image of a project) must never wait on a terminal.
    if ! nice -n 10 "$dir/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 \
            -rss_limit_mb=2048 -print_final_stats=1 $dict \
            -artifact_prefix="$dir/hallazgos/$t-" "$work" </dev/null \
            >"$dir/fuzz_$t.log" 2>&1; then
        tail -n 80 "$dir/fuzz_$t.log" >&2
        echo "fuzz_$t: FALLO (registro completo en $dir/fuzz_$t.log; entrada en $dir/hallazgos/)" >&2
        rc=1
    else
        grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::new_units_added)' \
            "$dir/fuzz_$t.log" || true
    fi
done
exit $rc
