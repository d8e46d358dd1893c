#!/usr/bin/env bash
# Crafted data packets of at most about 10 MB that once cost gigabytes or minutes: each must be loaded
# or refused (with a message naming the file) within 2 s and 200 MB, by the whole `kalvor-cli dump
# --count` process. Prints one line per file and PASS or FAIL; exits 1 when one fails.
#
#   bench/run-hostile-bench.sh
#
# Environment: KALVOR_BENCH_BUILD (build folder, default build-bench), TMPDIR (about 60 MB is needed).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KALVOR_BENCH_BUILD:-$root/build-bench}
command -v /usr/bin/time >/dev/null || { echo "GNU time is missing (package time)" >&2; exit 2; }

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKALVOR_BUILD_GUI=OFF \
    -DKALVOR_BUILD_TESTS=OFF -DKALVOR_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target kalvor-cli kalvor-hostile-gen >/dev/null
cli=$build/src/kalvor-cli

work=$(mktemp -d "${TMPDIR:-/tmp}/kalvor-hostile.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$build/bench/kalvor-hostile-gen" "$work" >/dev/null

failed=0
printf '%-24s %8s %7s %8s  %s\n' file "size KB" "time s" "peak MB" "result"
for file in "$work"/*; do
    name=$(basename "$file")
    status=0
    /usr/bin/time -f "%e %M" -o "$work/.time" "$cli" dump --count "$file" >"$work/.out" 2>"$work/.err" || status=$?
    read -r seconds kb < <(tail -n 1 "$work/.time") # GNU time puts "Command exited ..." first on failure
    if [ "$status" -eq 0 ]; then
        result="loaded, $(cat "$work/.out") rows"
    elif [ "$status" -eq 1 ] && grep -q "$name" "$work/.err"; then
        # Cut by characters, not bytes: the messages are Russian.
        result="refused: $(sed "s|.*$name: ||" "$work/.err" | LC_ALL=C.UTF-8 sed -E 's/^(.{70}).*/\1/')"
    else
        result="FAILED (status $status): $(head -c 200 "$work/.err")"
        failed=1
    fi
    mb=$(awk -v k="$kb" 'BEGIN { printf "%.1f", k / 1024 }')
    if ! awk -v s="$seconds" -v m="$mb" 'BEGIN { exit !(s <= 2.0 && m <= 200) }'; then
        result="OVER THE GOAL; $result"
        failed=1
    fi
    printf '%-24s %8d %7s %8s  %s\n' "$name" $(( $(stat -c %s "$file") / 1024 )) "$seconds" "$mb" "$result"
done
[ "$failed" -eq 0 ] && echo "PASS  every file loaded or refused within 2 s and 200 MB" || echo "FAIL"
exit $failed
