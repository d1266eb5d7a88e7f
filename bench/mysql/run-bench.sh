#!/usr/bin/env bash
# Runs the MySQL benchmark and its Connector/C peer against the test MariaDB, alternately,
# ROUNDS times (default 5), and prints the medians, our time over the peer's for (a) upsert
# and (b) fetch, and the fetch's peak memory over its raw result size for both.
#   bench/mysql/run-bench.sh [BUILD_DIR] [ROUNDS]
# Needs the VANTRELO_MYSQL_* variables: eval "$(scripts/test-servers.sh env)".
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=${1:-$HERE/../../build}
ROUNDS=${2:-5}
OURS=$BUILD/bench/mysql/bench_mysql
PEER=$BUILD/bench/mysql/bench_mysql_peer
[ -x "$OURS" ] && [ -x "$PEER" ] || { echo "build bench_mysql and bench_mysql_peer in $BUILD first" >&2; exit 1; }

"$OURS" setup
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
seconds() { sed -n 's/.* in \([0-9.]*\) s.*/\1/p'; }
: >"$BUILD/bench-mysql.log"
# Each workload on its own (the writes of the upserts would otherwise still be settling in the
# server while the next fetch runs), and who goes first alternates from round to round.
for what in upsert fetch; do
    for ((i = 1; i <= ROUNDS; i++)); do
        order="ours peer"; [ $((i % 2)) = 0 ] && order="peer ours"
        for who in $order; do
            exe=$OURS; [ $who = peer ] && exe=$PEER
            line=$("$exe" $what)
            echo "$who $line" | tee -a "$BUILD/bench-mysql.log"
        done
    done
done
peak() { sed -n 's/.* peak RSS \([0-9.]*\) MB.*/\1/p'; }
raw() { sed -n 's/.* raw result \([0-9.]*\) MB.*/\1/p'; }
for what in upsert fetch; do
    o=$(grep "^ours $what" "$BUILD/bench-mysql.log" | seconds | median)
    p=$(grep "^peer $what" "$BUILD/bench-mysql.log" | seconds | median)
    target=1.05; [ $what = fetch ] && target=1.00
    awk -v w=$what -v o="$o" -v p="$p" -v t=$target \
        'BEGIN {printf "%s: ours %.3f s, peer %.3f s, ours/peer %.3f (target <= %s)\n", w, o, p, o / p, t}'
done
for who in ours peer; do
    pk=$(grep "^$who fetch" "$BUILD/bench-mysql.log" | peak | median)
    rw=$(grep "^$who fetch" "$BUILD/bench-mysql.log" | raw | median)
    awk -v w=$who -v pk="$pk" -v rw="$rw" \
        'BEGIN {printf "fetch memory, %s: peak RSS %.1f MB, raw result %.1f MB, peak/raw %.2f\n", w, pk, rw, pk / rw}'
done
