#!/usr/bin/env bash
# The declaration on paper: `kalvor-cli export-pdf` against `kalvor-cli export-xlsx` of the same declaration
# of ROWS rows, timed in one run, alternating, best of three each (both commands read the declaration and
# lay it out; then one writes the workbook, the other the pages). Goals: the PDF in at most 2 x the time of
# the workbook, and its peak memory bounded by the layout (at most 1.5 x the workbook export's peak).
# kalvor-pdf-bench then shows where the time goes, phase by phase, in one process.
#
#   bench/run-pdf-bench.sh [ROWS]        (default 82000)
#
# Environment: KALVOR_BENCH_BUILD (build folder, default build-bench; configured as Release when new),
# TMPDIR. Exits 1 when a goal fails.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KALVOR_BENCH_BUILD:-$root/build-bench}
rows=${1:-82000}
runs=3

[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (package time)" >&2; exit 2; }
command -v pdfinfo >/dev/null || { echo "pdfinfo is missing (package poppler-utils)" >&2; exit 2; }

. "$root/bench/bench-workspace.sh"
bench_build kalvor-gen kalvor-cli kalvor-pdf-bench
bench_workspace pdf-bench "$rows"


best_xlsx="" best_pdf="" peak_xlsx="" peak_pdf=""
for _ in $(seq $runs); do
    t0=$(now_ns)
    /usr/bin/time -f %M -o "$work/rss.txt" "$cli" --home "$work/ws" export-xlsx "$work/declaration.xlsx" >/dev/null
    t1=$(now_ns)
    best_xlsx=$(min "$best_xlsx" "$(seconds "$t0" "$t1")")
    peak_xlsx=$(max "$peak_xlsx" "$(cat "$work/rss.txt")")

    t0=$(now_ns)
    /usr/bin/time -f %M -o "$work/rss.txt" "$cli" --home "$work/ws" export-pdf "$work/declaration.pdf" \
        >"$work/said.txt" 2>/dev/null
    t1=$(now_ns)
    best_pdf=$(min "$best_pdf" "$(seconds "$t0" "$t1")")
    peak_pdf=$(max "$peak_pdf" "$(cat "$work/rss.txt")")
done

pages=$(pdfinfo "$work/declaration.pdf" | awk '/^Pages:/ { print $2 }')
size=$(stat -c %s "$work/declaration.pdf")
ratio=$(awk -v a="$best_pdf" -v b="$best_xlsx" 'BEGIN { printf "%.2f", a / b }')
memory=$(awk -v a="$peak_pdf" -v b="$peak_xlsx" 'BEGIN { printf "%.2f", a / b }')
echo "rows $rows: $(cat "$work/said.txt")"
echo "export-xlsx ${best_xlsx} s, peak ${peak_xlsx} KB"
echo "export-pdf  ${best_pdf} s, peak ${peak_pdf} KB, $pages pages, $((size / 1024)) KB"
verdict() { awk -v v="$1" -v goal="$2" 'BEGIN { print (v <= goal) ? "PASS" : "FAIL" }'; }
echo "PDF / workbook: time ${ratio} x (goal <= 2) $(verdict "$ratio" 2)," \
    "peak memory ${memory} x (goal <= 1.5) $(verdict "$memory" 1.5)"
mkdir -p "$work/phases"
"$build/bench/kalvor-pdf-bench" "$work/ws" "$work/phases" 2>/dev/null

awk -v r="$ratio" -v m="$memory" 'BEGIN { exit (r <= 2 && m <= 1.5) ? 0 : 1 }'
