#!/usr/bin/env bash
# The Calc export: `kalvor-cli export-calc` of a declaration of ROWS rows (the office started, the document
# made from templates/tamrel_oo.xls, filled, stored as .ods, the office ended) against the same office
# opening the xlsx export of that declaration and storing it as .ods (`soffice --headless --convert-to
# ods`), timed in one run; best of three each, on one private profile made beforehand.
# Goal: the export takes no longer than the conversion.
#
#   bench/run-calc-bench.sh [ROWS]        (default 82000)
#
# Environment: KALVOR_BENCH_BUILD (build folder, default build-bench), TMPDIR. Exits 1 when the goal fails.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KALVOR_BENCH_BUILD:-$root/build-bench}
rows=${1:-82000}
runs=3

command -v soffice >/dev/null || { echo "soffice is missing (package libreoffice-calc)" >&2; exit 2; }

. "$root/bench/bench-workspace.sh"
bench_build kalvor-gen kalvor-cli
bench_workspace calc-bench "$rows"
"$cli" --home "$work/ws" export-xlsx "$work/declaration.xlsx" >/dev/null

profile=$work/office-profile
export KALVOR_OFFICE_PROFILE=$profile
export KALVOR_OFFICE_PIPE=kalvor_bench_$$
# The first start of an office makes its profile; neither side is timed for that.
soffice -env:UserInstallation="file://$profile" --headless --norestore --terminate_after_init >/dev/null 2>&1 || true


best_export="" best_office=""
for _ in $(seq $runs); do
    rm -f "$work/calc.ods"
    t0=$(now_ns)
    "$cli" --home "$work/ws" export-calc "$work/calc.ods" >/dev/null
    t1=$(now_ns)
    [ -s "$work/calc.ods" ] || { echo "the Calc export stored no document" >&2; exit 2; }
    best_export=$(min "$best_export" "$(seconds "$t0" "$t1")")

    rm -f "$work/declaration.ods"
    t0=$(now_ns)
    soffice -env:UserInstallation="file://$profile" --headless --norestore --convert-to ods \
        --outdir "$work" "$work/declaration.xlsx" >/dev/null 2>&1
    t1=$(now_ns)
    [ -s "$work/declaration.ods" ] || { echo "LibreOffice wrote no document" >&2; exit 2; }
    best_office=$(min "$best_office" "$(seconds "$t0" "$t1")")
done

ratio=$(awk -v a="$best_export" -v b="$best_office" 'BEGIN { printf "%.2f", a / b }')
echo "declaration: $rows rows"
echo "kalvor-cli export-calc (.ods): ${best_export} s"
echo "soffice --convert-to ods of the xlsx export: ${best_office} s"
if awk -v r="$ratio" 'BEGIN { exit !(r <= 1) }'; then echo "PASS speed: ${ratio} x the conversion (goal <= 1)"
else echo "FAIL speed: ${ratio} x the conversion (goal <= 1)"; exit 1; fi
