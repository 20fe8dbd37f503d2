#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each one for a bounded time.
#
#   tools/fuzz.sh [SECONDS]     SECONDS of fuzzing per target (default 20)
#
# Each target first replays its committed seed corpus (tests/fuzz/corpus/<name>/) input by input,
# then fuzzes a temporary copy of it, so the committed corpus is never modified. Exits non-zero
# when the build fails or any target crashes, breaks an invariant, leaks, times out or runs out of
# memory. Logs go to build-fuzz/fuzz-logs/, failing inputs to build-fuzz/fuzz-crashes/<name>/.
set -euo pipefail

seconds="${1:-20}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "usage: $0 [SECONDS]   (a whole number of seconds per fuzzer, at least 1)" >&2
    exit 2
fi

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
corpora="$root/tests/fuzz/corpus"
fuzzers=(fuzz_record fuzz_profile fuzz_lines fuzz_rtf)

for tool in clang clang++ cmake; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "fuzz.sh: '$tool' was not found. The fuzzers need clang with its libFuzzer runtime" >&2
        echo "fuzz.sh: (Debian 12: apt-get install -y clang libclang-rt-14-dev) and cmake." >&2
        exit 1
    fi
done

work="$(mktemp -d "${TMPDIR:-/tmp}/talvo-fuzz.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# clang without its fuzzer runtime fails only at link time, with an obscure message: check first.
if ! printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }\n' |
    clang++ -x c++ -fsanitize=fuzzer,address,undefined - -o "$work/probe" >"$work/probe.log" 2>&1; then
    cat "$work/probe.log" >&2
    echo "fuzz.sh: clang++ cannot link a libFuzzer target; install the runtime" >&2
    echo "fuzz.sh: (Debian 12: apt-get install -y libclang-rt-14-dev)." >&2
    exit 1
fi

generator=()
if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null 2>&1; then
    generator=(-G Ninja)
fi

echo "== Configuring $build"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" "${generator[@]}" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DTALVO_FUZZ=ON -DTALVO_TESTS=OFF -DTALVO_BENCH=OFF >"$work/configure.log" 2>&1 || {
    cat "$work/configure.log" >&2
    echo "fuzz.sh: configuring $build failed" >&2
    exit 1
}
echo "== Building the fuzzers"
cmake --build "$build" --target fuzzers --parallel

logs="$build/fuzz-logs"
crashes="$build/fuzz-crashes"
mkdir -p "$logs"
rm -rf "$crashes"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# Shows what a failing run left: the end of its log and every failing input in hex.
report_failure() {
    local name="$1" log="$2" artifacts="$3"
    echo "-- $name FAILED; end of $log:"
    tail -n 60 "$log" | sed 's/^/   /'
    if compgen -G "$artifacts/*" >/dev/null; then
        mkdir -p "$crashes/$name"
        cp "$artifacts"/* "$crashes/$name/"
        for f in "$crashes/$name"/*; do
            echo "-- input kept as $f ($(stat -c %s "$f") bytes):"
            od -A x -t x1z -v "$f" | head -n 40 | sed 's/^/   /'
        done
        echo "-- replay with: $build/fuzz/$name ${crashes}/$name/<file>"
    fi
}

failed=()
summary=()
for name in "${fuzzers[@]}"; do
    bin="$build/fuzz/$name"
    seeds="$corpora/${name#fuzz_}"
    dict="$root/tests/fuzz/${name#fuzz_}.dict"
    corpus="$work/$name/corpus"
    artifacts="$work/$name/artifacts"
    mkdir -p "$corpus" "$artifacts"
    if [ -d "$seeds" ]; then
        cp -R "$seeds"/. "$corpus"/
    fi
    dict_arg=()
    if [ -f "$dict" ]; then
        dict_arg=(-dict="$dict")
    fi

    # 1. Every committed seed, once each.
    mapfile -d '' seed_files < <(find "$corpus" -type f -print0 | sort -z)
    log="$logs/$name-replay.log"
    echo "== $name: replaying ${#seed_files[@]} committed inputs"
    if [ "${#seed_files[@]}" -gt 0 ]; then
        if ! "$bin" -artifact_prefix="$artifacts/" "${seed_files[@]}" >"$log" 2>&1; then
            report_failure "$name" "$log" "$artifacts"
            failed+=("$name (replay)")
            continue
        fi
    fi

    # 2. Bounded fuzzing from a copy of the seeds.
    log="$logs/$name.log"
    echo "== $name: fuzzing for $seconds s"
    status=0
    "$bin" "${dict_arg[@]}" -max_total_time="$seconds" -max_len=4096 -timeout=25 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" \
        "$corpus" >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ] || compgen -G "$artifacts/*" >/dev/null; then
        report_failure "$name" "$log" "$artifacts"
        failed+=("$name (exit $status)")
        continue
    fi
    final="$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true)"
    runs="$(grep -E '^stat::number_of_executed_units:' "$log" | awk '{print $2}' || true)"
    done_line="$(grep -E '^Done [0-9]+ runs' "$log" | tail -n 1 || true)"
    echo "   $done_line"
    echo "   $final"
    summary+=("$name: ${runs:-?} executions; ${final:-no final line}")
done

echo
echo "== Summary"
for line in "${summary[@]}"; do
    echo "   $line"
done
if [ "${#failed[@]}" -gt 0 ]; then
    echo "fuzz.sh: FAILED: ${failed[*]}" >&2
    echo "fuzz.sh: logs in $logs, failing inputs in $crashes" >&2
    exit 1
fi
echo "fuzz.sh: all fuzzers ran clean"
