# Sourced by the benchmarks: best-of timing and ratios. Needs $work and $RUNS.
#
# best NAME COMMAND...: the best wall time in ms over RUNS runs, in ${NAME}_ms; the output of
# the last run in $work/NAME.out and $work/NAME.err. before_run, when set, names a command run
# before each run, off the clock (a fresh copy of the files, say).
best() {
    local name=$1 i t0 t1 ms best_ms=""
    shift
    for ((i = 0; i < RUNS; i++)); do
        [[ -n "${before_run:-}" ]] && "$before_run"
        t0=$EPOCHREALTIME
        "$@" >"$work/$name.out" 2>"$work/$name.err" || { cat "$work/$name.err" >&2; echo "failed: $*" >&2; exit 1; }
        t1=$EPOCHREALTIME
        ms=$(((${t1/[.,]/} - ${t0/[.,]/}) / 1000))
        [[ -z "$best_ms" || $ms -lt $best_ms ]] && best_ms=$ms
    done
    eval "${name}_ms=$best_ms"
}

# ratio A B: A / B with two decimals (0 when B is 0).
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
