#!/usr/bin/env bash
# The reporting database uploads into PostgreSQL against the plain way of putting the same rows there:
# `kalvor-cli dump` of every file plus `psql \copy` of the dumps into the same tables.
#   1. a batch upload of a folder of 300 reports of 1,000 rows (db batch-upload) against dump + \copy of
#      its 600 files;
#   2. the upload of one declaration of 100,000 rows (db upload) against dump + \copy of its two files.
# Goal: each upload takes at most 1.5 times its yardstick. Best of three runs each; the tables are
# emptied before every run. Runs in a throwaway cluster (pg_virtualenv).
#
#   bench/run-db-bench.sh [REPORTS] [ROWS] [BIG_ROWS]      (default 300 1000 100000)
#
# Environment: KALVOR_BENCH_BUILD (build folder, default build-bench), TMPDIR. Exits 1 when a goal fails.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KALVOR_BENCH_BUILD:-$root/build-bench}

if [ -z "${PGHOST:-}" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKALVOR_BUILD_GUI=OFF \
        -DKALVOR_BUILD_TESTS=OFF -DKALVOR_BUILD_BENCH=ON >/dev/null
    cmake --build "$build" --target kalvor-cli kalvor-gen >/dev/null
    exec pg_virtualenv bash "$0" "$@"
fi

reports=${1:-300}
rows=${2:-1000}
bigRows=${3:-100000}
runs=3
cli=$build/src/kalvor-cli
gen=$build/bench/kalvor-gen
work=$(mktemp -d "${TMPDIR:-/tmp}/kalvor-db-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

kalvorColumns=organization_name,dkey,low_address,post_address,department_count,license_serial,license_number,license_date,license_deadline,name_leader,name_counter

# A requisites file of an INN: the template with one row (ASCII text, so the ANSI form needs no care).
requisites() { # inn out
    sed "s|<ROWDATA>|<ROWDATA><ROW RowState=\"4\" organization_name=\"OOO Test $1\" dkey=\"$1\" low_address=\"Tula\" \
post_address=\"Tula, 1\" department_count=\"4\" license_serial=\"A\" license_number=\"1\" license_date=\"20100101\" \
license_deadline=\"20151231\" name_leader=\"Ivanov\" name_counter=\"Petrova\"/>|" \
        "$root/share/templates/xml/kalvor.xml" >"$2"
}

seconds() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
best() { printf '%s\n' "$@" | sort -g | head -1; }
empty_tables() { psql -qX -c "TRUNCATE declaration, kalvor" >/dev/null; }

# The workspace of the uploads: db.udl names the cluster through the PG* variables.
ws=$work/ws
"$cli" demo "$ws" >/dev/null
printf '[oledb]\r\n; Everything after this line is an OLE DB initstring\r\nProvider=PostgreSQL\r\n' >"$ws/db.udl"
"$cli" --home "$ws" db init >/dev/null

# --- 1. the batch ------------------------------------------------------------------------------------
folder=$work/in/201203
mkdir -p "$folder" "$work/dumps"
csv=$work/objects.csv
echo "INN;Kod_object;Date_object;Kod_raion;Status;Date_priost;Date_save" >"$csv"
for i in $(seq 1 "$reports"); do
    inn=$(printf '7700%08d' "$i")
    "$gen" --rows "$rows" --inn "$inn" --period 201203 --seed "$i" "$folder/${inn}120300.xml" >/dev/null 2>&1
    requisites "$inn" "$folder/${inn}120300d.xml"
    echo "$inn;1;;;0;;" >>"$csv"
done
"$cli" --home "$ws" db import-objects "$csv" >/dev/null
echo "batch: $reports reports of $rows rows ($(du -sh "$folder" | cut -f1))"

yardstick=()
ours=()
for run in $(seq 1 $runs); do
    empty_tables
    start=$(seconds)
    script=$work/copy.sql
    : >"$script"
    for f in "$folder"/*.xml; do
        name=$(basename "$f" .xml)
        "$cli" dump "$f" >"$work/dumps/$name.tsv"
        if [[ $name == *d ]]; then
            echo "\\copy kalvor ($kalvorColumns) FROM '$work/dumps/$name.tsv' WITH (FORMAT text, HEADER true, NULL '')" >>"$script"
        else
            echo "\\copy declaration FROM '$work/dumps/$name.tsv' WITH (FORMAT text, HEADER true, NULL '')" >>"$script"
        fi
    done
    psql -qX -v ON_ERROR_STOP=1 -f "$script" >/dev/null
    yardstick+=("$(elapsed "$start" "$(seconds)")")

    empty_tables
    start=$(seconds)
    "$cli" --home "$ws" db batch-upload "$folder" >/dev/null
    ours+=("$(elapsed "$start" "$(seconds)")")
done
loaded=$(psql -qAtX -c "SELECT count(*) FROM declaration")
batchYardstick=$(best "${yardstick[@]}")
batchOurs=$(best "${ours[@]}")
echo "  dump + \\copy: ${yardstick[*]} s; batch-upload: ${ours[*]} s ($loaded declaration rows)"

# --- 2. one large declaration --------------------------------------------------------------------------
period=$ws/reports/201203
"$gen" --rows "$bigRows" --inn 710701234500 --period 201203 "$period/710701234500120300.xml" >/dev/null 2>&1
echo "declaration: $bigRows rows ($(du -h "$period/710701234500120300.xml" | cut -f1))"
yardstick=()
ours=()
for run in $(seq 1 $runs); do
    empty_tables
    start=$(seconds)
    "$cli" dump "$period/710701234500120300.xml" >"$work/big.tsv"
    "$cli" dump "$period/710701234500120300d.xml" >"$work/bigd.tsv"
    psql -qX -v ON_ERROR_STOP=1 >/dev/null <<SQL
\\copy declaration FROM '$work/big.tsv' WITH (FORMAT text, HEADER true, NULL '')
\\copy kalvor ($kalvorColumns) FROM '$work/bigd.tsv' WITH (FORMAT text, HEADER true, NULL '')
SQL
    yardstick+=("$(elapsed "$start" "$(seconds)")")

    empty_tables
    start=$(seconds)
    "$cli" --home "$ws" db upload >/dev/null
    ours+=("$(elapsed "$start" "$(seconds)")")
done
bigYardstick=$(best "${yardstick[@]}")
bigOurs=$(best "${ours[@]}")
echo "  dump + \\copy: ${yardstick[*]} s; upload: ${ours[*]} s"

status=0
verdict() { # name ours yardstick
    local ratio
    ratio=$(awk -v a="$2" -v b="$3" 'BEGIN { printf "%.2f", a / b }')
    if awk -v r="$ratio" 'BEGIN { exit !(r <= 1.5) }'; then
        echo "PASS $1: $2 s / $3 s = $ratio (goal <= 1.5)"
    else
        echo "FAIL $1: $2 s / $3 s = $ratio (goal <= 1.5)"
        status=1
    fi
}
verdict "batch upload" "$batchOurs" "$batchYardstick"
verdict "declaration upload" "$bigOurs" "$bigYardstick"
exit $status
