#!/usr/bin/env bash
# One run of the InterBase fetch benchmark against the test Firebird server: a fresh
# database, then the provider and its direct peer alternately, five times each; the
# medians and their ratio close the output.
#   bench/interbase/run-bench.sh <build dir>
# Needs the server environment of scripts/test-servers.sh (VANTRELO_FB_HOST, _PORT, _USER,
# _PASSWORD, _DIR).
set -euo pipefail
build=${1:?build directory}
: "${VANTRELO_FB_DIR:?run inside the test-server environment}"
export VANTRELO_BENCH_DB="$VANTRELO_FB_DIR/bench-estoque.fdb"
isql=${VANTRELO_FB_ISQL:-isql-fb}
rm -f "$VANTRELO_BENCH_DB"
echo "CREATE DATABASE '${VANTRELO_FB_HOST}/${VANTRELO_FB_PORT}:${VANTRELO_BENCH_DB}' USER '${VANTRELO_FB_USER}' PASSWORD '${VANTRELO_FB_PASSWORD}' PAGE_SIZE 8192 DEFAULT CHARACTER SET WIN1252;" |
  "$isql" -q
bench=$(find "$build" -name bench_interbase -type f | head -1)
direct=$(find "$build" -name bench_interbase_direct -type f | head -1)
"$bench" setup
"$direct" > /dev/null  # warm the server's cache
out=$(for i in 1 2 3 4 5; do "$direct"; "$bench" fetch; done)
echo "$out"
echo "$out" | awk '
  { for (i = 2; i <= NF; i++) { split($i, kv, "="); if (kv[1] == "seconds") t[$1] = t[$1] " " kv[2] } }
  function median(list,   a, n) { n = split(list, a, " "); asort(a); return a[int((n + 1) / 2)] }
  END { d = median(t["direct:"]); q = median(t["query:"]);
        printf "median seconds: direct %.3f, query %.3f, ratio %.3f\n", d, q, q / d }'
echo "DROP DATABASE;" | "$isql" -q -user "$VANTRELO_FB_USER" -password "$VANTRELO_FB_PASSWORD" \
  "${VANTRELO_FB_HOST}/${VANTRELO_FB_PORT}:${VANTRELO_BENCH_DB}"
