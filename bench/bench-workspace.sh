# Sourced by the benchmarks that run kalvor-cli on a whole month.
#   bench_build TARGET...     builds TARGETs in the Release tree $build of $root (sets cli)
#   bench_workspace NAME ROWS makes $work (removed on exit) with the demo filer's workspace $work/ws whose
#                             March 2012 is a generated declaration of ROWS rows (sets declaration)
#   now_ns; min A B; max A B; seconds T0_NS T1_NS   the clock and the best of several runs

bench_build() {
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKALVOR_BUILD_GUI=OFF \
        -DKALVOR_BUILD_TESTS=OFF -DKALVOR_BUILD_BENCH=ON >/dev/null
    cmake --build "$build" --target "$@" >/dev/null
    cli=$build/src/kalvor-cli
}

bench_workspace() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/kalvor-$1.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    "$cli" demo "$work/ws" >/dev/null
    declaration=$work/ws/reports/201203/710701234500120300.xml
    "$build/bench/kalvor-gen" --rows "$2" --inn 710701234500 --period 201203 "$declaration" >/dev/null
}

now_ns() { date +%s%N; }
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'; }
max() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 > a + 0) ? b : a }'; }
seconds() { awk -v d="$(($2 - $1))" 'BEGIN { printf "%.3f", d / 1e9 }'; }
