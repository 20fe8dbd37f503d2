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
#   replace  the same in a 5 MB RTF letter (bold, colours, a
#            picture), made in the document itself, its
#            progress shown; target at most 1,500 ms          vs  sed -i on the same file
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

# 5 MB of RTF in which "rose" comes 50,000 times, in bold, in colour or plain, after a picture.
python3 - "$work/letter.rtf" <<'PY'
import random, struct, sys, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)
rows = b"".join(b"\0" + bytes((x * 30, 90, 200 - x * 20) * 8)[:24] for x in range(8))
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 8, 8, 8, 2, 0, 0, 0)) \
    + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b"")
random.seed(3)
words = "le chat dort sur la fen\\'eatre ouverte au soleil du matin".split()
out = [r"{\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0 Times New Roman;}}{\colortbl;\red200\green0\blue0;}"]
out.append(r"\pard\qc{\pict\pngblip\picw8\pich8 " + png.hex() + "}\\par\n")
for i in range(50000):
    line = " ".join(random.choice(words) for _ in range(9))
    rose = (r"{\b Rose}", r"{\cf1 rose}", "ROSE")[i % 3]
    out.append(r"\pard " + line + " " + rose + " " + line + "\\par\n")
out.append("}\n")
open(sys.argv[1], "w").write("".join(out))
PY

printf '   %s: %s bytes; %s: %s bytes, %s lines holding the word; %s: %s bytes\n' doc.rtf "$(stat -c %s "$work/doc.rtf")" \
    text.txt "$(stat -c %s "$work/model.txt")" "$(grep -ci rose "$work/model.txt")" letter.rtf "$(stat -c %s "$work/letter.rtf")"

fresh_text() { cp "$work/model.txt" "$work/text.txt"; }
fresh_letter() { cp "$work/letter.rtf" "$work/copy-letter.rtf"; }
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
rtf_replace_ms=""
for ((i = 0; i < RUNS; i++)); do
    fresh_letter
    "$editor" replace "$work/copy-letter.rtf" rose other >/dev/null 2>"$work/rtf-replace.err"
    grep -qi rose "$work/copy-letter.rtf" && { echo "bench_editor: the RTF replace left the word" >&2; exit 1; }
    for kept in '\\b' '\\cf1' '\\pict'; do
        grep -q -- "$kept" "$work/copy-letter.rtf" || { echo "bench_editor: the RTF replace lost $kept" >&2; exit 1; }
    done
    grep -q ', 50000 replaced, progress shown' "$work/rtf-replace.err" || { cat "$work/rtf-replace.err" >&2; exit 1; }
    ms=$(sed -n 's/^replace \([0-9]*\) ms.*/\1/p' "$work/rtf-replace.err")
    [[ -z "$rtf_replace_ms" || $ms -lt $rtf_replace_ms ]] && rtf_replace_ms=$ms
done
before_run=fresh_letter
best rtf_replace_sed sed -i 's/rose/other/gI' "$work/copy-letter.rtf"
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
printf '%-46s %8d %8d %7s\n' "replace 50,000 in a 5 MB RTF (vs sed -i)" "$rtf_replace_ms" "$rtf_replace_sed_ms" "$(ratio "$rtf_replace_ms" "$rtf_replace_sed_ms")"
printf '%-46s %8d %8d %7s\n' "save 5 MB RTF (vs cp + sync -d)" "$save_ms" "$save_cp_ms" "$(ratio "$save_ms" "$save_cp_ms")"
