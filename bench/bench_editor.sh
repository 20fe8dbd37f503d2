#!/usr/bin/env bash
# The editor on large documents, whole process, against reference tools on the same files in the
# same run:
#
#   bench/bench_editor.sh
#
#   open     a 5 MB RTF document until its text is shown      vs  unrtf --text
#   replace  a word occurring 50,000 times in a 5 MB text
#            (the command alone, its undo snapshot and the
#            text shown again)                                vs  sed -i 's/word/other/gI'
#   save     that RTF document (the save alone)               vs  cp + sync -d
#
# Best of RUNS. Settings from the environment: RUNS=5  BUILD_DIR=build-bench  SKIP_BUILD=1
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
RUNS=${RUNS:-5}
BUILD_DIR=${BUILD_DIR:-build-bench}
case "$BUILD_DIR" in /*) build="$BUILD_DIR" ;; *) build="$root/$BUILD_DIR" ;; esac
[[ -n "${EPOCHREALTIME:-}" ]] || { echo "bench_editor: needs bash 5 (\$EPOCHREALTIME)" >&2; exit 1; }
command -v unrtf >/dev/null || { echo "bench_editor: skipped: unrtf is missing (tools/setup.sh --bench)"; exit 0; }

if [[ "${SKIP_BUILD:-0}" != 1 ]]; then
    echo "== building (Release) in $build"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVO_TESTS=OFF >/dev/null
    cmake --build "$build" --target bench_editor bench_rtf
fi
editor="$build/bench/bench_editor"
maker="$build/bench/bench_rtf"
for p in "$editor" "$maker"; do [[ -x "$p" ]] || { echo "bench_editor: $p is missing" >&2; exit 1; }; done

work=$(mktemp -d "${TMPDIR:-/tmp}/talvo-editor.XXXXXX")
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" TALVO5_HOME="$work/folder"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$TALVO5_HOME"
source "$here/timing.sh"

echo "== making the documents"
"$maker" make "$work/doc.rtf" 5 >/dev/null
# 5 MB of text in which "rose" (in mixed case) comes 50,000 times.
awk 'BEGIN { srand(3); split("le chat dort sur la fenêtre ouverte au soleil du matin", w, " ");
  for (i = 0; i < 50000; i++) { line = ""; for (j = 0; j < 9; j++) line = line w[int(rand() * 11) + 1] " ";
    print line (i % 2 ? "Rose" : "ROSE") " " line } }' >"$work/model.txt"
printf '   %s: %s bytes; %s: %s bytes, %s lines holding the word\n' doc.rtf "$(stat -c %s "$work/doc.rtf")" \
    text.txt "$(stat -c %s "$work/model.txt")" "$(grep -ci rose "$work/model.txt")"

fresh_text() { cp "$work/model.txt" "$work/text.txt"; }
fresh_rtf() { cp "$work/doc.rtf" "$work/copy.rtf"; rm -f "$work/copy2.rtf"; }

best open_ours "$editor" open "$work/doc.rtf"
best open_unrtf unrtf --text "$work/doc.rtf"
before_run=fresh_text
replace_ours_ms=""
for ((i = 0; i < RUNS; i++)); do
    fresh_text
    "$editor" replace "$work/text.txt" rose other >/dev/null 2>"$work/replace.err"
    grep -qi rose "$work/text.txt" && { echo "bench_editor: the replace left the word" >&2; exit 1; }
    ms=$(sed -n 's/^replace \([0-9]*\) ms.*/\1/p' "$work/replace.err")
    [[ -n "$ms" ]] || { cat "$work/replace.err" >&2; exit 1; }
    [[ -z "$replace_ours_ms" || $ms -lt $replace_ours_ms ]] && replace_ours_ms=$ms
done
best replace_sed sed -i 's/rose/other/gI' "$work/text.txt"
before_run=fresh_rtf
save_ms=""
for ((i = 0; i < RUNS; i++)); do
    fresh_rtf
    "$editor" save "$work/copy.rtf" >/dev/null 2>"$work/save.err"
    ms=$(tail -n 1 "$work/save.err")
    [[ -z "$save_ms" || $ms -lt $save_ms ]] && save_ms=$ms
done
best save_cp sh -c 'cp "$1" "$2" && sync -d "$2"' sh "$work/doc.rtf" "$work/copy2.rtf"
before_run=""

printf '%-46s %8s %8s %7s\n' "work" "ours ms" "ref ms" "ratio"
printf '%-46s %8d %8d %7s\n' "open 5 MB RTF (vs unrtf --text)" "$open_ours_ms" "$open_unrtf_ms" "$(ratio "$open_ours_ms" "$open_unrtf_ms")"
printf '%-46s %8d %8d %7s\n' "replace 50,000 words (vs sed -i)" "$replace_ours_ms" "$replace_sed_ms" "$(ratio "$replace_ours_ms" "$replace_sed_ms")"
printf '%-46s %8d %8d %7s\n' "save 5 MB RTF (vs cp + sync -d)" "$save_ms" "$save_cp_ms" "$(ratio "$save_ms" "$save_cp_ms")"
