#!/usr/bin/env bash
# Builds the MySQL reply fuzzer with clang (AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs it on the seed corpus for the given number of seconds (default 60).
#   fuzz/mysql/run.sh [SECONDS]
# Environment: FUZZ_BUILD_DIR (default <repo>/build-fuzz-mysql).
# New inputs go to a work corpus in the build folder; a finding leaves crash-* there and
# makes the script fail.
set -euo pipefail
SECONDS_TO_RUN=${1:-60}
HERE=$(cd "$(dirname "$0")" && pwd)
REPO=$(cd "$HERE/../.." && pwd)
BUILD=${FUZZ_BUILD_DIR:-$REPO/build-fuzz-mysql}
SAN="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

cmake -S "$REPO" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="$SAN -fsanitize=fuzzer-no-link" -DCMAKE_C_FLAGS="$SAN" \
    -DVANTRELO_BUILD_APP=OFF -DVANTRELO_BUILD_TESTS=OFF -DVANTRELO_BUILD_BENCH=OFF >"$BUILD.cmake.log" 2>&1 ||
    { cat "$BUILD.cmake.log"; exit 1; }
ninja -C "$BUILD" -j2 vantrelo_mysql >/dev/null
clang++ -std=c++20 -g -O1 $SAN -fsanitize=fuzzer -I"$REPO" "$HERE/MySqlFuzz.cpp" \
    "$BUILD/providers/mysql/libvantrelo_mysql.a" "$BUILD/dataaccess/libvantrelo_dataaccess.a" \
    "$BUILD/platform/libvantrelo_platform.a" -lz -ldl -lpthread -o "$BUILD/mysql_fuzz"

WORK="$BUILD/corpus"
mkdir -p "$WORK"
cd "$BUILD"
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ASAN_OPTIONS=detect_leaks=1 \
    ./mysql_fuzz -max_total_time="$SECONDS_TO_RUN" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$WORK" "$HERE/corpus"
