#!/usr/bin/env bash
# Load and save of a declaration of about 80,000 rows (about 45 MB) and of a file ten times that size,
# against xmllint's streaming parse of the same bytes; the reconciliation and the text export of the
# smaller file against its load and save. Best of five runs each.
#
# Load and xmllint are timed the same way: each a whole process (`kalvor-cli dump --count FILE` and
# `xmllint --stream --noout FILE`), wall time by the clock around it, CPU time and peak memory from GNU
# time. Save and the in-process load used for the 10x and command ratios come from kalvor-packet-bench.
#
#   bench/run-packet-bench.sh [ROWS]        (default 80000)
#
# Environment: KALVOR_BENCH_BUILD (build folder, default build-bench), TMPDIR (where the files go;
# about 1.5 GB is needed at the default size). Exits 1 when a goal fails.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KALVOR_BENCH_BUILD:-$root/build-bench}
rows=${1:-80000}
runs=5

if [ ! -x /usr/bin/time ]; then
    echo "installing GNU time for peak memory figures" >&2
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends time >&2
fi
command -v xmllint >/dev/null || { echo "xmllint is missing (package libxml2-utils)" >&2; exit 2; }

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKALVOR_BUILD_GUI=OFF \
    -DKALVOR_BUILD_TESTS=OFF -DKALVOR_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target kalvor-gen kalvor-packet-bench kalvor-cli >/dev/null
gen=$build/bench/kalvor-gen
tool=$build/bench/kalvor-packet-bench
cli=$build/src/kalvor-cli

work=$(mktemp -d "${TMPDIR:-/tmp}/kalvor-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# xmllint needs the code page declared; our reader takes the same bytes, so both read one file.
make_file() { # rows name
    "$gen" --rows "$1" "$work/$2.raw.xml"
    sed '1s/<?xml version="1.0" standalone="yes"?>/<?xml version="1.0" encoding="windows-1251" standalone="yes"?>/' \
        "$work/$2.raw.xml" >"$work/$2.xml"
    rm "$work/$2.raw.xml"
}

now_ns() { date +%s%N; }
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'; }
max() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 > a + 0) ? b : a }'; }
div() { awk -v a="$1" -v b="$2" 'BEGIN { if (b + 0 == 0) print "inf"; else printf "%.2f", a / b }'; }

# Runs a command; prints its wall time (s), CPU time (user + system, s) and peak memory (KB).
timed() {
    local t0 t1
    t0=$(now_ns)
    /usr/bin/time -f "%U %S %M" -o "$work/time.txt" "$@" >/dev/null
    t1=$(now_ns)
    awk -v d=$((t1 - t0)) '{ printf "%.4f %.2f %d\n", d / 1e9, $1 + $2, $3 }' "$work/time.txt"
}

declare -A result
measure() { # name
    local file=$work/$1.xml best_xml="" best_load="" cpu_xml="" cpu_load="" best_inproc="" best_save="" peak=""
    local wall cpu kb out
    for _ in $(seq $runs); do
        read -r wall cpu kb < <(timed xmllint --stream --noout "$file")
        best_xml=$(min "$best_xml" "$wall")
        cpu_xml=$(min "$cpu_xml" "$cpu")

        read -r wall cpu kb < <(timed "$cli" dump --count "$file")
        best_load=$(min "$best_load" "$wall")
        cpu_load=$(min "$cpu_load" "$cpu")
        peak=$(max "$peak" "$kb")

        out=$("$tool" load "$file")
        best_inproc=$(min "$best_inproc" "$(sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' <<<"$out")")
        out=$("$tool" save "$file" "$work/saved.xml")
        best_save=$(min "$best_save" "$(sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' <<<"$out")")
        rm -f "$work/saved.xml"
    done
    local bytes
    bytes=$(stat -c %s "$file")
    result[$1.bytes]=$bytes
    result[$1.xml]=$best_xml
    result[$1.load]=$best_load
    result[$1.xmlCpu]=$cpu_xml
    result[$1.loadCpu]=$cpu_load
    result[$1.inproc]=$best_inproc
    result[$1.save]=$best_save
    result[$1.rss]=$(awk -v k="$peak" 'BEGIN { printf "%.1f", k / 1024 }')
    result[$1.rssRatio]=$(awk -v k="$peak" -v b="$bytes" 'BEGIN { printf "%.2f", k * 1024 / b }')
}

# The whole commands, reading included: reconcile (error.log) and export-text (data.txt).
measure_commands() { # name
    local best_reconcile="" best_export="" out
    for _ in $(seq $runs); do
        out=$("$tool" reconcile "$work/$1.xml")
        best_reconcile=$(min "$best_reconcile" "$(sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' <<<"$out")")
        out=$("$tool" export-text "$work/$1.xml")
        best_export=$(min "$best_export" "$(sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' <<<"$out")")
    done
    result[$1.reconcile]=$best_reconcile
    result[$1.export]=$best_export
    result[$1.loadSave]=$(awk -v a="${result[$1.inproc]}" -v b="${result[$1.save]}" 'BEGIN { printf "%.4f", a + b }')
}

echo "generating $rows and $((rows * 10)) rows in $work" >&2
make_file "$rows" x1
make_file $((rows * 10)) x10
measure x1
measure_commands x1
rm -f "$work/x1.xml"
measure x10

printf '\n%-5s %8s %9s %7s %8s %8s %8s %8s %8s %7s %8s\n' file "size MB" "xmllint s" "load s" "load/xml" \
    "cpu xml" "cpu load" "in-proc" "save s" "RSS MB" "RSS/size"
for f in x1 x10; do
    printf '%-5s %8.1f %9s %7s %8s %8s %8s %8s %8s %7s %8s\n' "$f" \
        "$(awk -v b="${result[$f.bytes]}" 'BEGIN { print b / 1048576 }')" \
        "${result[$f.xml]}" "${result[$f.load]}" "$(div "${result[$f.load]}" "${result[$f.xml]}")" \
        "${result[$f.xmlCpu]}" "${result[$f.loadCpu]}" "${result[$f.inproc]}" "${result[$f.save]}" \
        "${result[$f.rss]}" "${result[$f.rssRatio]}"
done
printf '\n10x / 1x: xmllint %s, load %s, in-process load %s, save %s\n' "$(div "${result[x10.xml]}" "${result[x1.xml]}")" \
    "$(div "${result[x10.load]}" "${result[x1.load]}")" "$(div "${result[x10.inproc]}" "${result[x1.inproc]}")" \
    "$(div "${result[x10.save]}" "${result[x1.save]}")"
printf 'x1 reconcile %s s, export-text %s s; in-process load + save %s s\n' "${result[x1.reconcile]}" \
    "${result[x1.export]}" "${result[x1.loadSave]}"
echo "(load and xmllint: whole processes, timed alike; in-process load and save: the operation alone; best of $runs)"

failed=0
goal() { # description value limit
    if awk -v v="$2" -v l="$3" 'BEGIN { exit !(v != "inf" && v + 0 <= l + 0) }'; then
        printf 'PASS  %-42s %6s <= %s\n' "$1" "$2" "$3"
    else
        printf 'FAIL  %-42s %6s >  %s\n' "$1" "$2" "$3"
        failed=1
    fi
}
echo
goal "load <= 1.0x xmllint" "$(div "${result[x1.load]}" "${result[x1.xml]}")" 1.0
goal "load CPU <= 1.0x xmllint CPU" "$(div "${result[x1.loadCpu]}" "${result[x1.xmlCpu]}")" 1.0
goal "save <= 1.0x xmllint" "$(div "${result[x1.save]}" "${result[x1.xml]}")" 1.0
goal "load <= 1.0x xmllint (10x file)" "$(div "${result[x10.load]}" "${result[x10.xml]}")" 1.0
goal "save <= 1.0x xmllint (10x file)" "$(div "${result[x10.save]}" "${result[x10.xml]}")" 1.0
goal "reconcile <= 1.5x (load + save)" "$(div "${result[x1.reconcile]}" "${result[x1.loadSave]}")" 1.5
goal "export-text <= 1.5x (load + save)" "$(div "${result[x1.export]}" "${result[x1.loadSave]}")" 1.5
goal "peak load RSS <= 2x file size" "${result[x1.rssRatio]}" 2.0
goal "peak load RSS <= 2x file size (10x file)" "${result[x10.rssRatio]}" 2.0
# Ten times the rows may cost ten times the time, with a tenth for noise, never more.
goal "10x file load time <= ~10x" "$(div "${result[x10.inproc]}" "${result[x1.inproc]}")" 11.0
goal "10x file save time <= ~10x" "$(div "${result[x10.save]}" "${result[x1.save]}")" 11.0
exit $failed
