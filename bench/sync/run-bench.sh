#!/usr/bin/env bash
# The synchronisation benchmark: PRODUCTS products (default 5000, each with a 2 KB photo and
# accented names) carried by the console runner (tools/vantrelo-sync --full) and by its
# peer over the bare client libraries (bench_sync_peer), against the test servers.
#   upload         local estoque -> cloud produtos (insert-or-update of every product)
#   download-new   cloud -> an empty local shop (insert path: lookups, product, stock movement)
#   download-upd   cloud -> the full local shop (update path: lookups, product)
# First one counting run of each program and direction through relays (statements and
# exchanges with each server, and a digest of what the run left behind, which must be the
# same for both), then ROUNDS timed rounds (default 5) alternating the two programs.
# Prints the median wall times, ours over the peer's per direction, and our peak memory
# against the selection's raw size.
#   bench/sync/run-bench.sh BUILD_DIR [ROUNDS] [PRODUCTS]
# Needs the servers' environment: eval "$(scripts/test-servers.sh env)", and the Firebird
# tools isql-fb, gfix and fbtracemgr.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build directory}" && pwd)
rounds=${2:-5}
products=${3:-5000}
: "${VANTRELO_FB_DIR:?run inside the test-server environment}"
isql=${VANTRELO_FB_ISQL:-isql-fb}
gfix=${VANTRELO_FB_GFIX:-gfix}
runner=$build/tools/vantrelo-sync
shop=$build/bench/sync/bench_sync_shop
peer=$build/bench/sync/bench_sync_peer
relay=$build/bench/sync/bench_sync_proxy
for exe in "$runner" "$shop" "$peer" "$relay"; do
    [ -x "$exe" ] || { echo "build vantrelo-sync, bench_sync_shop, bench_sync_peer and bench_sync_proxy in $build first" >&2; exit 1; }
done

work=$build/bench-sync
full_db=$VANTRELO_FB_DIR/bench_sync_shop.fdb
new_db=$VANTRELO_FB_DIR/bench_sync_new.fdb
export VANTRELO_BENCH_CLOUD_DB=bench_sync_cloud
rm -rf "$work"
mkdir -p "$work/logSic"
cd "$work"  # the runner keeps its log files under the working folder

fb() { echo "${VANTRELO_FB_HOST}/${VANTRELO_FB_PORT}:$1"; }
drop_db() {
    [ -e "$1" ] || return 0
    echo "DROP DATABASE;" | "$isql" -q -user "$VANTRELO_FB_USER" -password "$VANTRELO_FB_PASSWORD" "$(fb "$1")" || rm -f "$1"
}
cleanup() {
    drop_db "$full_db"
    drop_db "$new_db"
    "$shop" drop-cloud || true
}
trap cleanup EXIT

# A local shop: a new database with the fixture's tables, its configuration row and PRODUCTS.
make_shop() {
    drop_db "$1"
    echo "CREATE DATABASE '$(fb "$1")' USER '${VANTRELO_FB_USER}' PASSWORD '${VANTRELO_FB_PASSWORD}' PAGE_SIZE 8192 DEFAULT CHARACTER SET WIN1252;" |
        "$isql" -q
    "$isql" -q -user "$VANTRELO_FB_USER" -password "$VANTRELO_FB_PASSWORD" -i "$here/../../tests/fixtures/local_schema.sql" "$(fb "$1")"
    # Throwaway data, as the test MariaDB's: no flush to disk at each commit, which would add
    # the same few milliseconds per statement to both programs (VANTRELO_BENCH_FORCED_WRITES=1
    # keeps the server's default).
    [ "${VANTRELO_BENCH_FORCED_WRITES:-0}" = 1 ] ||
        "$gfix" -write async -user "$VANTRELO_FB_USER" -password "$VANTRELO_FB_PASSWORD" "$(fb "$1")"
    VANTRELO_BENCH_DB=$1 "$shop" local "$2"
}
# The settings file both programs read: the local database (through a relay on another port).
settings() {
    cat >"$work/$3.ini" <<EOF
[local]
server=$VANTRELO_FB_HOST
port=$2
database=$1
user=$VANTRELO_FB_USER
password=$VANTRELO_FB_PASSWORD
[sync]
overlap_minutes=5
EOF
    echo "$work/$3.ini"
}

# Makes the local side ready for one run of a direction; prints the database it uses.
prepare() {
    case $1 in
    upload) db=$full_db; direction=1 ;;
    download-upd) db=$full_db; direction=2 ;;
    download-new) db=$new_db; direction=2; make_shop "$new_db" 0 >/dev/null ;;
    esac
    VANTRELO_BENCH_DB=$db "$shop" direction $direction "${2:-$VANTRELO_MYSQL_PORT}"
    echo "$db"
}

exe_of() { [ "$1" = ours ] && echo "$runner" || echo "$peer"; }

# The product lines a run printed must be one per product.
check_run() {
    local lines
    lines=$(grep -c "Prod\.: " "$1" || true)
    [ "$lines" = "$products" ] || { echo "$2: $lines product lines instead of $products (see $1)" >&2; exit 1; }
}

echo "preparing: $products products, cloud database $VANTRELO_BENCH_CLOUD_DB, local $full_db"
"$shop" cloud
make_shop "$full_db" "$products"

# ---- counting run: statements and exchanges through relays, and the results compared ----
fb_relay_port=$((VANTRELO_FB_PORT + 1000))
my_relay_port=$((VANTRELO_MYSQL_PORT + 1000))
start_relays() {
    "$relay" $fb_relay_port "$VANTRELO_FB_HOST" "$VANTRELO_FB_PORT" >"$work/relay-fb.out" &
    fb_relay=$!
    "$relay" $my_relay_port "$VANTRELO_MYSQL_HOST" "$VANTRELO_MYSQL_PORT" --mysql >"$work/relay-my.out" &
    my_relay=$!
    until grep -q ready "$work/relay-fb.out" 2>/dev/null && grep -q ready "$work/relay-my.out" 2>/dev/null; do sleep 0.1; done
}
stop_relays() {
    kill -TERM "$fb_relay" "$my_relay"
    wait "$fb_relay" "$my_relay" || true
}
# The local server's own account of the statements run on one database: a trace session.
start_trace() {
    printf '%s\n' "database = %$(basename "$1")" "{" "enabled = true" "log_statement_finish = true" \
        "log_transactions = true" "log_connections = true" "print_plan = false" "print_perf = false" \
        "max_sql_length = 40" "max_arg_length = 0" "max_arg_count = 0" "time_threshold = 0" "}" >"$work/trace.conf"
    fbtracemgr -se "${VANTRELO_FB_HOST}/${VANTRELO_FB_PORT}:service_mgr" -user "$VANTRELO_FB_USER" \
        -password "$VANTRELO_FB_PASSWORD" -start -name bench_sync -config "$work/trace.conf" >"$work/trace.out" 2>&1 &
    trace=$!
    until grep -aq "Trace session ID" "$work/trace.out" 2>/dev/null; do
        kill -0 "$trace" 2>/dev/null || { echo "fbtracemgr failed: $(cat "$work/trace.out")" >&2; exit 1; }
        sleep 0.1
    done
}
stop_trace() {
    # The server writes its events a little later: wait for the program's detach.
    local attached detached
    for ((i = 0; i < 200; i++)); do
        attached=$(grep -ac ATTACH_DATABASE "$work/trace.out" || true)
        detached=$(grep -ac DETACH_DATABASE "$work/trace.out" || true)
        [ "$attached" -gt 0 ] && [ "$detached" -ge "$attached" ] && break
        sleep 0.1
    done
    kill -TERM "$trace"
    wait "$trace" || true
    awk '
        /EXECUTE_STATEMENT_FINISH/ { statement = 1; next }
        statement && /^-----/ {
            getline
            sub(/^[ \t]+/, "")
            split($0, w, /[ \t(]/)
            kind = index($0, "RDB$") ? "system" : tolower(w[1])
            n[kind]++; total++; statement = 0; next
        }
        /COMMIT_RETAINING/ { retaining++ }
        /COMMIT_TRANSACTION/ { commits++ }
        /START_TRANSACTION/ { starts++ }
        END {
            printf "statements %d (", total
            sep = ""
            for (k in n) { printf "%s%s %d", sep, k, n[k]; sep = ", " }
            printf "); transactions %d, commit retaining %d, commits %d\n", starts, retaining, commits
        }' "$work/trace.out"
}
: >"$work/counts.txt"
for what in upload download-new download-upd; do
    if [ $what = download-upd ]; then
        # The first download into the full shop adds the code-and-name rows; both counted
        # runs come after it.
        db=$(prepare $what)
        "$peer" --settings "$(settings "$db" "$VANTRELO_FB_PORT" warm)" --full >/dev/null 2>&1
    fi
    for who in ours peer; do
        db=$(prepare $what $my_relay_port)
        ini=$(settings "$db" $fb_relay_port count)
        start_relays
        start_trace "$db"
        status=0
        "$(exe_of $who)" --settings "$ini" --full >"$work/count-$what-$who.out" 2>"$work/count-$what-$who.err" || status=$?
        stop_trace >"$work/traced.txt"
        traced=$(cat "$work/traced.txt")
        stop_relays
        [ $status = 0 ] || { echo "$who $what failed ($status): see $work/count-$what-$who.*" >&2; exit 1; }
        check_run "$work/count-$what-$who.out" "$who $what"
        VANTRELO_BENCH_DB=$db "$shop" digest >"$work/digest-$what-$who.txt"
        {
            echo "$what $who local:  $traced"
            echo "$what $who         $(sed -n 2p "$work/relay-fb.out")"
            echo "$what $who cloud:  $(sed -n 2p "$work/relay-my.out")"
            if [ $who = peer ]; then echo "$what $who ran:    $(grep '^peer statements' "$work/count-$what-$who.err")"; fi
        } | tee -a "$work/counts.txt"
    done
    # Both must leave the same data behind (the times of change aside): the upload's in the
    # cloud, the download's locally.
    if [ $what = upload ]; then
        o=$(awk '{print $11}' "$work/digest-$what-ours.txt"); p=$(awk '{print $11}' "$work/digest-$what-peer.txt")
    else
        o=$(cat "$work/digest-$what-ours.txt"); p=$(cat "$work/digest-$what-peer.txt")
    fi
    if [ "$o" = "$p" ]; then
        echo "$what: both left the same data ($o)"
    else
        echo "$what: the results differ: ours $o, peer $p" >&2
        exit 1
    fi
done
raw_upload=$(sed -n 's/.*selection raw \([0-9.]*\) MB.*/\1/p' "$work/count-upload-peer.err")
raw_download=$(sed -n 's/.*selection raw \([0-9.]*\) MB.*/\1/p' "$work/count-download-upd-peer.err")

# ---- timed rounds ----
: >"$work/times.txt"
for ((round = 1; round <= rounds; round++)); do
    order="ours peer"
    [ $((round % 2)) = 0 ] && order="peer ours"
    for what in upload download-new download-upd; do
        for who in $order; do
            db=$(prepare $what)
            ini=$(settings "$db" "$VANTRELO_FB_PORT" timed)
            out=$work/run-$what-$who.out
            /usr/bin/time -f "%e %M %U %S" -o "$work/time.txt" "$(exe_of $who)" --settings "$ini" --full >"$out" 2>"$work/run-$what-$who.err" ||
                { echo "$who $what failed: see $out" >&2; exit 1; }
            check_run "$out" "$who $what"
            read -r seconds rss user system <"$work/time.txt"
            echo "$what $who $seconds $rss $user $system $round" | tee -a "$work/times.txt"
        done
    done
done

# ---- the report ----
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
echo
echo "$products products, 2 KB photos; median of $rounds rounds (wall time of the whole program run)"
for what in upload download-new download-upd; do
    o=$(awk -v w=$what '$1 == w && $2 == "ours" {print $3}' "$work/times.txt" | median)
    p=$(awk -v w=$what '$1 == w && $2 == "peer" {print $3}' "$work/times.txt" | median)
    ocpu=$(awk -v w=$what '$1 == w && $2 == "ours" {print $5 + $6}' "$work/times.txt" | median)
    pcpu=$(awk -v w=$what '$1 == w && $2 == "peer" {print $5 + $6}' "$work/times.txt" | median)
    orss=$(awk -v w=$what '$1 == w && $2 == "ours" {print $4}' "$work/times.txt" | sort -n | tail -1)
    prss=$(awk -v w=$what '$1 == w && $2 == "peer" {print $4}' "$work/times.txt" | sort -n | tail -1)
    raw=$raw_download
    [ $what = upload ] && raw=$raw_upload
    # The machine may be shared: the ratio within each round, ours and the peer run back to back.
    paired=$(awk -v w=$what '$1 == w { t[$7, $2] = $3; r[$7] = 1 } END { for (k in r) print t[k, "ours"] / t[k, "peer"] }' \
        "$work/times.txt" | median)
    awk -v w=$what -v o="$o" -v p="$p" -v paired="$paired" -v ocpu="$ocpu" -v pcpu="$pcpu" -v orss="$orss" -v prss="$prss" -v raw="$raw" 'BEGIN {
        limit = 2 * raw + 50
        printf "%-13s ours %7.2f s  peer %7.2f s  ratio %.3f, within rounds %.3f (target <= 1.10: %s)\n",
               w, o, p, o / p, paired, (o / p <= 1.10) ? "met" : "MISSED"
        printf "%-13s processor time (user + system) ours %.2f s, peer %.2f s\n", "", ocpu, pcpu
        printf "%-13s peak RSS ours %.1f MB, peer %.1f MB; selection raw %.1f MB, limit %.1f MB: %s\n", "", orss / 1024, prss / 1024, raw, limit, (orss / 1024 <= limit) ? "met" : "MISSED"
    }'
done
echo "counts: $work/counts.txt; every run: $work/times.txt"
