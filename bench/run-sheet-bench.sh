#!/usr/bin/env bash
# The declaration laid out in a workbook: `kalvor-cli export-xlsx` of a declaration of ROWS rows against
# LibreOffice turning a CSV of the same cells into xlsx (`soffice --headless --convert-to xlsx`), timed in
# one run; best of three each. Goals: at least 8 x faster, peak memory at most 4 x the declaration file.
#
#   bench/run-sheet-bench.sh [ROWS]        (default 82000)
#
# Environment: KALVOR_BENCH_BUILD (build folder, default build-bench), TMPDIR. Exits 1 when a goal fails.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KALVOR_BENCH_BUILD:-$root/build-bench}
rows=${1:-82000}
runs=3

command -v soffice >/dev/null || { echo "soffice is missing (package libreoffice-calc)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (package time)" >&2; exit 2; }

. "$root/bench/bench-workspace.sh"
bench_build kalvor-gen kalvor-cli kalvor-sheet-bench
bench_workspace sheet-bench "$rows"
bytes=$(stat -c %s "$declaration")


best_export="" best_office="" peak=""
"$cli" --home "$work/ws" export-xlsx "$work/declaration.xlsx" >/dev/null
"$build/bench/kalvor-sheet-bench" csv "$work/declaration.xlsx" "$work/cells.csv"
profile=$work/office-profile
for _ in $(seq $runs); do
    t0=$(now_ns)
    /usr/bin/time -f %M -o "$work/rss.txt" "$cli" --home "$work/ws" export-xlsx "$work/declaration.xlsx" >/dev/null
    t1=$(now_ns)
    best_export=$(min "$best_export" "$(seconds "$t0" "$t1")")
    peak=$(max "$peak" "$(cat "$work/rss.txt")")

    rm -f "$work/cells.xlsx"
    t0=$(now_ns)
    soffice -env:UserInstallation="file://$profile" --headless --norestore --convert-to xlsx \
        --outdir "$work" "$work/cells.csv" >/dev/null 2>&1
    t1=$(now_ns)
    [ -s "$work/cells.xlsx" ] || { echo "LibreOffice wrote no workbook" >&2; exit 2; }
    best_office=$(min "$best_office" "$(seconds "$t0" "$t1")")
done

sheet_rows=$(wc -l <"$work/cells.csv")
speedup=$(awk -v a="$best_office" -v b="$best_export" 'BEGIN { printf "%.2f", a / b }')
memory=$(awk -v k="$peak" -v b="$bytes" 'BEGIN { printf "%.2f", k * 1024 / b }')
echo "declaration: $rows rows, $bytes bytes; sheet: $sheet_rows rows x 33 columns"
echo "kalvor-cli export-xlsx: ${best_export} s, peak $(awk -v k="$peak" 'BEGIN { printf "%.1f", k / 1024 }') MB"
echo "soffice --convert-to xlsx of the CSV: ${best_office} s"
status=0
if awk -v s="$speedup" 'BEGIN { exit !(s >= 8) }'; then echo "PASS speed: ${speedup} x faster (goal >= 8)"
else echo "FAIL speed: ${speedup} x faster (goal >= 8)"; status=1; fi
if awk -v m="$memory" 'BEGIN { exit !(m <= 4) }'; then echo "PASS memory: ${memory} x the declaration file (goal <= 4)"
else echo "FAIL memory: ${memory} x the declaration file (goal <= 4)"; status=1; fi
exit $status
