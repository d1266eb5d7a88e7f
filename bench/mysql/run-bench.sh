#!/usr/bin/env bash
# Runs the MySQL benchmark and its Connector/C peer against the test MariaDB, alternately,
# ROUNDS times (default 5), and prints the medians and our time over the peer's.
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
for ((i = 1; i <= ROUNDS; i++)); do
    for what in upsert fetch; do
        for who in ours peer; do
            exe=$OURS; [ $who = peer ] && exe=$PEER
            line=$("$exe" $what)
            echo "$who $line" | tee -a "$BUILD/bench-mysql.log"
        done
    done
done
for what in upsert fetch; do
    o=$(grep "^ours $what" "$BUILD/bench-mysql.log" | seconds | median)
    p=$(grep "^peer $what" "$BUILD/bench-mysql.log" | seconds | median)
    awk -v w=$what -v o="$o" -v p="$p" 'BEGIN {printf "%s: ours %.3f s, peer %.3f s, ratio %.3f\n", w, o, p, o / p}'
done
grep "^ours fetch" "$BUILD/bench-mysql.log" | tail -1
grep "^peer fetch" "$BUILD/bench-mysql.log" | tail -1
