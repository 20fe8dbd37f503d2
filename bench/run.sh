#!/usr/bin/env bash
# Whole-process timings of talvo5-cli on a synthetic catalogue, as ratios against ripgrep and
# grep run in the same session on the same files.
#
#   bench/run.sh [DIR]
#
# DIR (made if missing, must be empty) receives the catalogue; without it a temporary folder is
# used and removed at the end. Settings from the environment:
#   RECORDS=1000000   records in the catalogue        SEED=1        generator seed
#   RUNS=10           timed runs per command          WARMUP=2      untimed runs first
#   ADD_LINES=35000   the add is timed on the letter file whose size is nearest to this
#   BUILD_DIR=build-bench   Release build folder      SKIP_BUILD=1  use the build as it is
#   KEEP=1            keep the temporary catalogue
#   SKIP_THUMBNAIL=1  leave out bench_thumbnail.sh   THUMBNAIL_RUNS=5  its runs (best of)
# The raw timings (hyperfine JSON, or the plain list of run times) go to
# $BUILD_DIR/bench/results-<date>/.
#
# Needs: cmake, ninja, g++, Qt (for the build), iconv; ripgrep (rg) for the main ratio; hyperfine
# and GNU time (/usr/bin/time) when present. Nothing is installed by this script.
set -euo pipefail

command_line="$0${*:+ $*}"
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)

RECORDS=${RECORDS:-1000000}
SEED=${SEED:-1}
RUNS=${RUNS:-10}
WARMUP=${WARMUP:-2}
ADD_LINES=${ADD_LINES:-35000}
BUILD_DIR=${BUILD_DIR:-build-bench}
case "$BUILD_DIR" in /*) build="$BUILD_DIR" ;; *) build="$root/$BUILD_DIR" ;; esac

say() { printf '%s\n' "$*"; }
fail() {
    printf '\n*** run.sh: %s\n' "$*" >&2
    exit 1
}
have() { command -v "$1" >/dev/null 2>&1; }

# --- (a) Release build --------------------------------------------------------------------------
if [[ "${SKIP_BUILD:-0}" != 1 ]]; then
    say "== building (Release) in $build"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVO_TESTS=OFF >/dev/null
    cmake --build "$build"
fi
cli="$build/bin/talvo5-cli"
gen="$build/bench/make_catalogue"
[[ -x "$cli" ]] || fail "$cli is missing: the build did not produce it"
[[ -x "$gen" ]] || fail "$gen is missing: the build did not produce it"
[[ -n "${EPOCHREALTIME:-}" ]] || have hyperfine || fail "needs hyperfine or bash 5 (\$EPOCHREALTIME) to time"

# --- tools ----------------------------------------------------------------------------------------
have rg || say "!! ripgrep (rg) is missing: install the Debian package 'ripgrep'. The talvo/rg ratio and the rg count check are skipped; the count is checked against grep instead."
have hyperfine || say "!! hyperfine is missing (Debian package 'hyperfine'): timing with a plain loop of $RUNS runs."
timev=""
if [[ -x /usr/bin/time ]] && /usr/bin/time -v true >/dev/null 2>&1; then
    timev=/usr/bin/time
else
    say "!! GNU time (/usr/bin/time, Debian package 'time') is missing: peak memory is sampled from /proc VmHWM."
fi
have iconv || fail "iconv is missing (package libc-bin)"
have python3 || fail "python3 is missing (Debian package 'python3'; tools/setup.sh --bench installs it)"

# --- (b) the catalogue ------------------------------------------------------------------------------
work=$(mktemp -d "${TMPDIR:-/tmp}/talvo-bench.XXXXXX")
cleanup() {
    if [[ "${KEEP:-0}" == 1 ]]; then say "(kept $work)"; else rm -rf "$work"; fi
}
trap cleanup EXIT
if [[ $# -ge 1 ]]; then
    dir=$(mkdir -p "$1" && cd "$1" && pwd)
    [[ -z "$(ls -A "$dir")" ]] || fail "$dir is not empty"
else
    dir="$work/catalogue"
fi
results="$build/bench/results-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$results"

say "== generating $RECORDS records (seed $SEED) in $dir"
gen_start=$(date +%s%N)
"$gen" "$dir" "$RECORDS" "$SEED" 2>"$work/gen.log" || { cat "$work/gen.log" >&2; fail "make_catalogue failed"; }
gen_ms=$((($(date +%s%N) - gen_start) / 1000000))
cat "$work/gen.log"
generated_rose=$(sed -n 's/.* rose=\([0-9]*\).*/\1/p' "$work/gen.log")
# --- (c) the shipped language file, nothing else
if [[ -f "$build/bin/francais.lng" ]]; then cp "$build/bin/francais.lng" "$dir/"; fi

letters=(0 1 2 3 4 5 6 7 8 9 A B C D E F G H I J K L M N O P Q R S T U V W X Y Z)
files=()
for l in "${letters[@]}"; do files+=("$dir/$l.MFI"); done
total_bytes=$(cat "${files[@]}" | wc -c)
total_lines=$(cat "${files[@]}" | wc -l)

# --- timing helpers ---------------------------------------------------------------------------------
# One command line, each word in single quotes: hyperfine -N splits it as a shell would, and so
# does eval.
shq() {
    local out="" word
    for word in "$@"; do out+="'${word//\'/\'\\\'\'}' "; done
    printf '%s' "${out% }"
}

# measure NAME PREPARE COMMAND...: median wall time in ms of COMMAND, PREPARE (a command line, or
# "") run before each run, untimed. Sets $median_ms, and $cpu_ms (mean user + system time, from
# hyperfine only; "n/a" otherwise): on a busy machine the CPU time moves less than the wall time.
# Output never goes to /dev/null itself: grep stops at the first match when it sees its output
# is /dev/null.
median_ms=""
cpu_ms="n/a"
json_number() { grep -o "\"$1\": *[0-9.eE+-]*" "$2" | head -n 1 | sed 's/.*: *//'; }
measure() {
    local name=$1 prepare=$2
    shift 2
    local cmd=("$@")
    if have hyperfine; then
        local line
        line=$(shq "${cmd[@]}")
        local args=(-N --output=pipe --style basic --warmup "$WARMUP" --runs "$RUNS" --export-json "$results/$name.json")
        [[ -n "${NO_MATCH_OK:-}" ]] && args+=(--ignore-failure)
        [[ -n "$prepare" ]] && args+=(--prepare "$prepare")
        hyperfine "${args[@]}" "$line" >"$results/$name.txt" 2>&1 ||
            { cat "$results/$name.txt" >&2; fail "hyperfine failed on: $line"; }
        local json="$results/$name.json"
        median_ms=$(awk -v s="$(json_number median "$json")" 'BEGIN { printf "%.2f", s * 1000 }')
        cpu_ms=$(awk -v u="$(json_number user "$json")" -v y="$(json_number system "$json")" \
            'BEGIN { printf "%.2f", (u + y) * 1000 }')
    else
        local i t0 t1
        for ((i = 0; i < WARMUP; i++)); do
            [[ -n "$prepare" ]] && eval "$prepare"
            "${cmd[@]}" >"$work/out" 2>&1 || [[ -n "${NO_MATCH_OK:-}" ]] || fail "failed: ${cmd[*]}"
        done
        : >"$results/$name.times"
        for ((i = 0; i < RUNS; i++)); do
            [[ -n "$prepare" ]] && eval "$prepare"
            # $EPOCHREALTIME (bash 5) reads the clock without starting a process.
            t0=$EPOCHREALTIME
            "${cmd[@]}" >"$work/out" 2>&1 || [[ -n "${NO_MATCH_OK:-}" ]] || fail "failed: ${cmd[*]}"
            t1=$EPOCHREALTIME
            echo $((${t1/[.,]/} - ${t0/[.,]/})) >>"$results/$name.times"
        done
        median_ms=$(sort -n "$results/$name.times" | awk '{ v[NR] = $1 }
            END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.2f", m / 1e3 }')
    fi
}

# peak_mb COMMAND...: peak resident memory of COMMAND in MB. Sets $peak.
peak=""
peak_mb() {
    local kb=""
    if [[ -n "$timev" ]]; then
        "$timev" -v -o "$work/time.txt" "$@" >"$work/out" 2>&1 || fail "failed: $*"
        kb=$(sed -n 's/.*Maximum resident set size (kbytes): *//p' "$work/time.txt")
    else
        # Sampled: the last reading of VmHWM before the process ends (a lower bound).
        "$@" >"$work/out" 2>&1 &
        local pid=$! v
        kb=0
        while v=$(sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$pid/status" 2>/dev/null) && [[ -n "$v" ]]; do
            kb=$v
            sleep 0.001
        done
        wait "$pid" || true
    fi
    peak=$(awk -v k="$kb" 'BEGIN { printf "%.1f", k / 1024 }')
}

ratio() {
    if [[ "$1" == n/a || "$2" == n/a ]]; then echo n/a; else awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; fi
}

# --- warm-up: every file in the page cache -----------------------------------------------------------
cat "${files[@]}" >/dev/null
cat "${files[@]}" >/dev/null

# --- (g) the counts agree ----------------------------------------------------------------------------
say "== counts of lines holding ROSE (case ignored)"
talvo_count=$("$cli" --home "$dir" search --count ROSE)
grep_count=$(LC_ALL=C grep -icF ROSE "${files[@]}" | awk -F: '{ s += $NF } END { print s + 0 }')
rg_count="n/a"
if have rg; then
    # rg -c prints file:count for the files that match; a file without a match prints nothing.
    rg_count=$(rg -j1 -icF ROSE "${files[@]}" | awk -F: '{ s += $NF } END { print s + 0 }')
fi
say "talvo5-cli search --count ROSE : $talvo_count"
say "rg -j1 -icF ROSE (sum)          : $rg_count"
say "LC_ALL=C grep -icF ROSE (sum)   : $grep_count"
say "generator's ROSE records        : ${generated_rose:-?}"
reference=$rg_count
reference_name=rg
if [[ "$rg_count" == "n/a" ]]; then reference=$grep_count; reference_name=grep; fi
counts_ok=1
if [[ "$talvo_count" != "$reference" ]]; then
    counts_ok=0
    say ""
    say "!!!!!!!! COUNT MISMATCH: talvo5-cli found $talvo_count, $reference_name found $reference !!!!!!!!"
    # The differing lines, both sides in UTF-8.
    "$cli" --home "$dir" search ROSE 2>/dev/null | sort >"$results/talvo-lines.txt"
    if [[ "$reference_name" == rg ]]; then
        rg -j1 -iF --no-filename ROSE "${files[@]}"
    else
        LC_ALL=C grep -ihF ROSE "${files[@]}"
    fi | tr -d '\r' | iconv -f WINDOWS-1252 -t UTF-8 | sort >"$results/$reference_name-lines.txt"
    say "lines only talvo5-cli found (first 10):"
    comm -23 "$results/talvo-lines.txt" "$results/$reference_name-lines.txt" | head -n 10
    say "lines only $reference_name found (first 10):"
    comm -13 "$results/talvo-lines.txt" "$results/$reference_name-lines.txt" | head -n 10
    say "(full lists in $results)"
fi

load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# --- (d) search timings ----------------------------------------------------------------------------
# All the search commands by turns (bench/alternate.py): each round runs every one of them once,
# so that a machine whose speed drifts weighs on ours and the references alike.
say "== timing the search ($RUNS rounds by turns, $WARMUP warm-up rounds)"
search_commands=(
    "search-talvo=$(shq "$cli" --home "$dir" search --count ROSE)"
    "search-grep=$(shq env LC_ALL=C grep -icF ROSE "${files[@]}")"
    "search-rare-talvo=$(shq "$cli" --home "$dir" search --count ZQXW)"
    "search-dense-talvo=$(shq "$cli" --home "$dir" search --count E)"
    "print-talvo=$(shq "$cli" --home "$dir" search ROSE)"
    "field-note-dense=$(shq "$cli" --home "$dir" search --count --field note E)"
)
for f in key date support category note target; do
    search_commands+=("field-$f-rose=$(shq "$cli" --home "$dir" search --count --field "$f" ROSE)")
done
if have rg; then
    search_commands+=(
        "search-rg=$(shq rg -j1 -icF ROSE "${files[@]}")"
        "search-rare-rg=$(shq rg -j1 -icF ZQXW "${files[@]}")"
        "search-dense-rg=$(shq rg -j1 -icF E "${files[@]}")"
        "print-rg=$(shq rg -j1 -iF --no-filename ROSE "${files[@]}")"
        "print-rg-iconv=$(shq bash -c "rg -j1 -iF --no-filename ROSE $(shq "${files[@]}") | iconv -f cp1252 -t utf-8")"
    )
fi
python3 "$here/alternate.py" "$RUNS" "$WARMUP" "${search_commands[@]}" >"$results/search.txt" ||
    fail "alternate.py failed"
# timed NAME: the median wall time of NAME in ms ("n/a" when it was not run); cpu NAME: its
# mean user + system time.
timed() { awk -v n="$1" '$1 == n { v = $2 } END { print (v == "" ? "n/a" : v) }' "$results/search.txt"; }
cpu() { awk -v n="$1" '$1 == n { v = sprintf("%.2f", $3 + $4) } END { print (v == "" ? "n/a" : v) }' "$results/search.txt"; }
t_talvo=$(timed search-talvo) c_talvo=$(cpu search-talvo)
t_rg=$(timed search-rg) c_rg=$(cpu search-rg)
t_grep=$(timed search-grep) c_grep=$(cpu search-grep)
t_rare=$(timed search-rare-talvo) t_rare_rg=$(timed search-rare-rg)
t_dense=$(timed search-dense-talvo) t_dense_rg=$(timed search-dense-rg)
t_print=$(timed print-talvo) t_print_rg=$(timed print-rg) t_print_iconv=$(timed print-rg-iconv)
field_rows=""
for f in key date support category note target; do
    field_rows+=$(printf '\nfield %-8s: --field %s ROSE %s ms -> %s of the whole-line search' "$f" "$f" \
        "$(timed "field-$f-rose")" "$(ratio "$(timed "field-$f-rose")" "$t_talvo")")
done
field_rows+=$(printf '\nfield note E   : --field note E %s ms -> %s of the whole-line search of E' \
    "$(timed field-note-dense)" "$(ratio "$(timed field-note-dense)" "$t_dense")")

# --- (e) peak memory -------------------------------------------------------------------------------
peak_mb "$cli" --home "$dir" search --count ROSE
m_talvo=$peak
m_rg="n/a"
if have rg; then
    peak_mb rg -j1 -icF ROSE "${files[@]}"
    m_rg=$peak
fi
peak_mb env LC_ALL=C grep -icF ROSE "${files[@]}"
m_grep=$peak
# A folder whose letter file holds one line of a gigabyte (a hole in a sparse file) among records.
huge="$work/huge"
mkdir -p "$huge"
cp "${files[@]}" "$huge/"
printf 'BALLON@01-01-2001[]TEXTES#ROSE\xa7\r\n' >"$huge/B.MFI.tmp"
truncate -s +1G "$huge/B.MFI.tmp"
printf '\r\nBATEAU@01-01-2001[]TEXTES#ROSE\xa7\r\n' >>"$huge/B.MFI.tmp"
mv "$huge/B.MFI.tmp" "$huge/B.MFI"
huge_count=$("$cli" --home "$huge" search --count ROSE)
peak_mb "$cli" --home "$huge" search --count ROSE
m_huge=$peak

# --- (f) one add -------------------------------------------------------------------------------------
# The letter whose file size is nearest to ADD_LINES, and the biggest letter.
near="" near_lines=0 big="" big_lines=0
for l in "${letters[@]}"; do
    n=$(wc -l <"$dir/$l.MFI")
    d=$((n > ADD_LINES ? n - ADD_LINES : ADD_LINES - n))
    if [[ -z "$near" ]] || ((d < (near_lines > ADD_LINES ? near_lines - ADD_LINES : ADD_LINES - near_lines))); then
        near=$l near_lines=$n
    fi
    if ((n > big_lines)); then big=$l big_lines=$n; fi
done

add_date=01-01-2024
add_note=ESSAI
add_target=/home/essai/Documents/rose.txt
# time_add LETTER: sets add_first_ms (file in the generator's order: the tool re-sorts all of it)
# and add_steady_ms (file already in the tool's order, as after any add), each on a fresh copy,
# and their CPU times add_first_cpu and add_steady_cpu.
time_add() {
    local l=$1 file="$dir/$1.MFI"
    local before
    before=$(wc -l <"$file")
    cp "$file" "$work/$l.generated"
    # A key from the middle of the file, so the new line lands among the others.
    local key
    key="$(sed -n "$((before / 2 + 1))p" "$file" | cut -d@ -f1 | iconv -f WINDOWS-1252 -t UTF-8) $add_note"
    local add=("$cli" --home "$dir" add --key "$key" --category TEXTES --date "$add_date"
        --note "$add_note" --target "$add_target")

    "${add[@]}" >"$work/out" 2>&1 || { cat "$work/out" >&2; fail "talvo5-cli add failed on $l.MFI"; }
    [[ $(wc -l <"$file") -eq $((before + 1)) ]] || fail "add did not add one line to $l.MFI"
    # Take the added line out again: the file keeps its size, now in the tool's own order.
    local line="$key@$add_date[]TEXTES#$add_note"$'\xc2\xa7'"$add_target"
    "$cli" --home "$dir" delete "$line" >"$work/out" 2>&1 ||
        { cat "$work/out" >&2; fail "could not delete the added line from $l.MFI"; }
    [[ $(wc -l <"$file") -eq $before ]] || fail "$l.MFI did not get back to $before lines"
    cp "$file" "$work/$l.sorted"
    if cmp -s "$work/$l.generated" "$work/$l.sorted"; then
        add_first_what="first add, file was already in the tool's order"
    else
        add_first_what="first add, whole file re-sorted"
    fi

    measure "add-$l-first" "$(shq cp "$work/$l.generated" "$file")" "${add[@]}"
    add_first_ms=$median_ms add_first_cpu=$cpu_ms
    measure "add-$l" "$(shq cp "$work/$l.sorted" "$file")" "${add[@]}"
    add_steady_ms=$median_ms add_steady_cpu=$cpu_ms
    cp "$work/$l.generated" "$file"
}
say "== timing add into $near.MFI ($near_lines lines) and into the biggest file $big.MFI ($big_lines lines)"
time_add "$near"
near_steady=$add_steady_ms near_first=$add_first_ms
near_steady_cpu=$add_steady_cpu near_first_cpu=$add_first_cpu near_first_what=$add_first_what
if [[ "$big" != "$near" ]]; then
    time_add "$big"
fi
big_steady=$add_steady_ms big_first=$add_first_ms
big_steady_cpu=$add_steady_cpu big_first_cpu=$add_first_cpu big_first_what=$add_first_what

# --- (h) the main window, offscreen ------------------------------------------------------------------
# Enter in the key box to the grid holding every row (the median of three searches in one window),
# against the tool printing every line (after one untimed run), by turns; and the start-up to the
# first shown window, whole process.
say "== timing the main window (offscreen, $RUNS rounds by turns with the printing)"
window="$build/bench/bench_window"
median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.2f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
: >"$results/window.times"
: >"$results/window-print.times"
for ((round = 0; round < RUNS; round++)); do
    window_out=$(QT_QPA_PLATFORM=offscreen "$window" --home "$dir" --search ROSE --runs 3)
    sed -n 's/^search_median_ms //p' <<<"$window_out" >>"$results/window.times"
    python3 "$here/alternate.py" 1 1 "print=$(shq "$cli" --home "$dir" search ROSE)" | awk '{ print $2 }' \
        >>"$results/window-print.times"
done
window_rows=$(sed -n 's/^rows //p' <<<"$window_out")
t_window=$(median <"$results/window.times")
t_lines=$(median <"$results/window-print.times")
measure window-startup "" "$window" --home "$dir" --startup
t_startup=$median_ms
startup_inside=$(QT_QPA_PLATFORM=offscreen "$window" --home "$dir" --startup | sed -n 's/^startup_ms //p')

# --- summary ----------------------------------------------------------------------------------------
if have hyperfine; then
    timer="$(hyperfine --version | head -n 1) (-N, output to a pipe, $WARMUP warm-up + $RUNS runs, median)"
else
    timer="bash loop on \$EPOCHREALTIME ($WARMUP warm-up + $RUNS runs, median)"
fi
cat <<EOF

==================================== summary ====================================
command line : $command_line
settings     : RECORDS=$RECORDS SEED=$SEED RUNS=$RUNS WARMUP=$WARMUP ADD_LINES=$ADD_LINES BUILD_DIR=$BUILD_DIR
machine      : $(nproc) CPU, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1), $(uname -sr)
load average : $load_before before the timings, $(cut -d' ' -f1-3 /proc/loadavg) after (other work on the machine skews them)
tools        : $(have rg && rg --version | head -n 1 || echo "rg missing"); $(grep --version | head -n 1)
timers       : searches by turns (bench/alternate.py, $WARMUP warm-up + $RUNS rounds, median); add and start-up: $timer
catalogue    : $RECORDS records, $total_lines lines, $total_bytes bytes in 36 letter files (generated in $gen_ms ms)
counts       : talvo=$talvo_count rg=$rg_count grep=$grep_count generated=${generated_rose:-?} -> $([[ $counts_ok == 1 ]] && echo "agree" || echo "DIFFER")
search ROSE  : talvo5-cli $t_talvo ms | rg -j1 $t_rg ms | grep $t_grep ms   (whole process, files in page cache)
ratios       : talvo/rg = $(ratio "$t_talvo" "$t_rg")   talvo/grep = $(ratio "$t_talvo" "$t_grep")
search CPU   : talvo5-cli $c_talvo ms | rg -j1 $c_rg ms | grep $c_grep ms   (mean user + system)
CPU ratios   : talvo/rg = $(ratio "$c_talvo" "$c_rg")   talvo/grep = $(ratio "$c_talvo" "$c_grep")
search ZQXW  : talvo5-cli $t_rare ms | rg -j1 $t_rare_rg ms -> talvo/rg = $(ratio "$t_rare" "$t_rare_rg")   (a text found nowhere)
search E     : talvo5-cli $t_dense ms | rg -j1 $t_dense_rg ms -> talvo/rg = $(ratio "$t_dense" "$t_dense_rg")   (a text in every line)
print ROSE   : talvo5-cli search ROSE $t_print ms | rg -j1 -iF --no-filename $t_print_rg ms | the same | iconv $t_print_iconv ms
print ratios : talvo/(rg | iconv) = $(ratio "$t_print" "$t_print_iconv")   talvo/rg = $(ratio "$t_print" "$t_print_rg")$field_rows
peak memory  : talvo5-cli search $m_talvo MB | rg $m_rg MB | grep $m_grep MB
1 GB line    : talvo5-cli search --count ROSE over the catalogue with a 1 GiB line in B.MFI: peak $m_huge MB, count $huge_count
add          : $near.MFI ($near_lines lines): $near_steady ms (file already in the tool's order), $near_first ms ($near_first_what)
add          : $big.MFI ($big_lines lines, biggest): $big_steady ms (file already in the tool's order), $big_first ms ($big_first_what)
add CPU      : $near.MFI $near_steady_cpu ms / $near_first_cpu ms, $big.MFI $big_steady_cpu ms / $big_first_cpu ms (mean user + system CPU time, same order)
window       : Enter to a grid of $window_rows rows $t_window ms | talvo5-cli search ROSE (every line printed) $t_lines ms, by turns, medians of $RUNS -> ratio $(ratio "$t_window" "$t_lines")
start-up     : first shown window $t_startup ms whole process ($startup_inside ms inside the process)
raw results  : $results
==================================================================================
EOF
# --- (i) the record card's thumbnail of a 24-megapixel JPEG against ImageMagick (its own summary;
# skipped when ImageMagick is missing, SKIP_THUMBNAIL=1 leaves it out) ----------------------------
if [[ "${SKIP_THUMBNAIL:-0}" != 1 ]]; then
    BUILD_DIR="$build" SKIP_BUILD=1 RUNS="${THUMBNAIL_RUNS:-5}" "$here/bench_thumbnail.sh" ||
        say "!! bench_thumbnail.sh failed (the timings above stand)"
fi
if [[ $counts_ok != 1 ]]; then
    fail "talvo5-cli's count ($talvo_count) differs from $reference_name's ($reference)"
fi
