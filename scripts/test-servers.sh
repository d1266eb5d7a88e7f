#!/usr/bin/env bash
# Throwaway MariaDB and Firebird 3 servers for the tests: private instances under one folder,
# listening on loopback only, on ports of their own so that system services (3306, 3050) may
# run beside them. The system's own configuration, data and services are left alone.
#
#   test-servers.sh start    start both (reuses running ones), return once each accepts logins
#   test-servers.sh stop     stop both (data kept, the next start is quick)
#   test-servers.sh status   show what runs; exit status 0 only when both run
#   test-servers.sh env      print the `export VANTRELO_...=...` lines the tests read
#   test-servers.sh clean    stop both and delete the folder
#
# Knobs: VANTRELO_TEST_ROOT (folder, default /tmp/vantrelo-test),
#        VANTRELO_TEST_MYSQL_PORT (default 13306), VANTRELO_TEST_FB_PORT (default 13050).
set -euo pipefail

ROOT=${VANTRELO_TEST_ROOT:-/tmp/vantrelo-test}
HOST=127.0.0.1
WAIT_SECONDS=30

MY_DIR=$ROOT/mysql
MY_PORT=${VANTRELO_TEST_MYSQL_PORT:-13306}
MY_USER=vantrelo
MY_PASSWORD=vantrelo-test
MY_DATABASE=vantrelo_test
MY_ROOT_PASSWORD=vantrelo-root
MY_MAX_PACKET=256M   # the large-packet tests need at least 64 MiB
# Throwaway data: no flushing to disk, which makes the first start and every write much quicker.
MY_NO_SYNC=(--innodb-flush-method=nosync --innodb-doublewrite=0 --innodb-flush-log-at-trx-commit=2)

FB_DIR=$ROOT/fb
FB_PORT=${VANTRELO_TEST_FB_PORT:-13050}
FB_USER=SYSDBA
FB_PASSWORD=masterkey
FB_DATABASES=$FB_DIR/db   # tests create their databases here

die() { echo "test-servers: $*" >&2; exit 1; }
say() { echo "test-servers: $*"; }

# Server programs live in /usr/sbin, which is not on every user's PATH.
program() {
    local p
    p=$(command -v "$1" 2>/dev/null) || p=/usr/sbin/$1
    [ -x "$p" ] || die "$1 not found; install the packages first (scripts/install-deps.sh)"
    echo "$p"
}

fb_client_library() {
    local f
    for f in /usr/lib/*/libfbclient.so.2 /lib/*/libfbclient.so.2; do
        [ -e "$f" ] && { echo "$f"; return; }
    done
    /sbin/ldconfig -p 2>/dev/null | awk '/libfbclient\.so\.2 /{print $NF; exit}'
}

fb_system_root() {
    local d
    for d in /usr/lib/*/firebird/3.0; do
        [ -f "$d/firebird.msg" ] && { echo "$d"; return; }
    done
    die "Firebird 3 is not installed (firebird3.0-server); run scripts/install-deps.sh"
}

# pid_alive PIDFILE NAME: the pid file names a live process of that program (ours).
pid_alive() {
    local pid
    [ -f "$1" ] || return 1
    pid=$(<"$1")
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$2" ]
}

port_open() { (exec 3<>"/dev/tcp/$HOST/$1") 2>/dev/null; }

# daemonize PIDFILE LOG PROGRAM ARGS...: run in its own session with no inherited descriptors,
# so a caller waiting on our output (ctest, CI) does not wait on the server as well.
daemonize() {
    local pidfile=$1 log=$2
    shift 2
    (
        cd /
        for fd in /proc/$BASHPID/fd/*; do
            fd=${fd##*/}
            [ "$fd" -gt 2 ] && eval "exec $fd>&-"
        done
        exec setsid "$@" </dev/null >>"$log" 2>&1
    ) &
    echo $! >"$pidfile"
}

# wait_ready NAME PIDFILE LOG CHECK...: until CHECK succeeds; fail early if the server died.
# Only the pid is checked: right after the start it may still be the shell that execs the server.
wait_ready() {
    local name=$1 pid log=$3
    pid=$(<"$2")
    shift 3
    local deadline=$((SECONDS + WAIT_SECONDS))
    until "$@" >/dev/null 2>&1; do
        if ! kill -0 "$pid" 2>/dev/null; then
            tail -n 30 "$log" >&2 2>/dev/null || true
            die "$name stopped while starting (log: $log)"
        fi
        [ $SECONDS -lt $deadline ] || die "$name does not accept logins after ${WAIT_SECONDS}s (log: $log)"
        sleep 0.1
    done
}

stop_pid() {
    local name=$1 pidfile=$2 prog=$3 pid i
    if ! pid_alive "$pidfile" "$prog"; then
        rm -f "$pidfile"
        return
    fi
    pid=$(<"$pidfile")
    kill -TERM "$pid"
    for i in $(seq 200); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && kill -KILL "$pid"
    rm -f "$pidfile"
    say "$name stopped"
}

# ---- MariaDB ----------------------------------------------------------------------------

my_pidfile() { echo "$MY_DIR/server.pid"; }

my_login() {
    mariadb --no-defaults --protocol=tcp -h "$HOST" -P "$MY_PORT" -u "$MY_USER" -p"$MY_PASSWORD" \
        "$MY_DATABASE" -e 'select 1'
}

my_root_socket() { mariadb --no-defaults --protocol=socket --socket="$MY_DIR/sock" -u root "$@"; }

my_provision_sql() {
    cat <<EOF
delete from mysql.global_priv where User = '';
delete from mysql.global_priv where User = 'root' and Host not in ('localhost', '127.0.0.1', '::1');
flush privileges;
alter user 'root'@'localhost' identified by '$MY_ROOT_PASSWORD';
alter user if exists 'root'@'127.0.0.1' identified by '$MY_ROOT_PASSWORD';
alter user if exists 'root'@'::1' identified by '$MY_ROOT_PASSWORD';
create user '$MY_USER'@'%' identified via mysql_native_password using password('$MY_PASSWORD');
grant all privileges on *.* to '$MY_USER'@'%';
create database $MY_DATABASE;
EOF
}

my_prepare() {
    mariadb-install-db --no-defaults --datadir="$MY_DIR/data" --user="$(id -un)" \
        --auth-root-authentication-method=normal --skip-test-db "${MY_NO_SYNC[@]}" \
        >"$MY_DIR/install.log" 2>&1 ||
        { tail -n 30 "$MY_DIR/install.log" >&2; die "mariadb-install-db failed"; }
}

my_launch() {
    daemonize "$1" "$MY_DIR/server.log" "$(program mariadbd)" --no-defaults \
        --datadir="$MY_DIR/data" --socket="$MY_DIR/sock" --pid-file="$MY_DIR/data/mariadbd.pid" \
        --log-error="$MY_DIR/error.log" --port="$MY_PORT" --bind-address="$HOST" \
        --skip-name-resolve --user="$(id -un)" --max-allowed-packet="$MY_MAX_PACKET" "${MY_NO_SYNC[@]}"
    # Users can only be set up on the running server, through root's socket.
    if [ ! -f "$MY_DIR/ready" ]; then
        wait_ready MariaDB "$1" "$MY_DIR/error.log" my_root_socket -e 'select 1'
        my_provision_sql | my_root_socket || die "could not set up the MariaDB users"
    fi
}

# ---- Firebird ---------------------------------------------------------------------------

fb_pidfile() { echo "$FB_DIR/server.pid"; }

# The private instance: configuration root, lock files and temporary files of its own.
fb_private() { FIREBIRD="$FB_DIR/conf" FIREBIRD_LOCK="$FB_DIR/lock" FIREBIRD_TMP="$FB_DIR/tmp" "$@"; }

fb_write_config() {
    local sysroot part
    sysroot=$(fb_system_root)
    mkdir -p "$FB_DIR/conf" "$FB_DIR/lock" "$FB_DIR/tmp" "$FB_DATABASES"
    # The server looks for its messages and helper library beside its configuration.
    for part in firebird.msg lib; do
        ln -sfn "$sysroot/$part" "$FB_DIR/conf/$part"
    done
    # The character-set module too, but a linked one is not taken (its real path differs from
    # the configured one, and every character set but NONE and the built-in ones is "not
    # defined"): a copy is.
    rm -rf "$FB_DIR/conf/intl"
    mkdir -p "$FB_DIR/conf/intl"
    cp -f "$sysroot"/intl/*.so "$FB_DIR/conf/intl/"
    [ -f "$sysroot/plugins.conf" ] && cp -f "$sysroot/plugins.conf" "$FB_DIR/conf/plugins.conf"
    cat >"$FB_DIR/conf/firebird.conf" <<EOF
# Written by scripts/test-servers.sh on every start.
RemoteServicePort = $FB_PORT
RemoteBindAddress = $HOST
SecurityDatabase = $FB_DIR/security3.fdb
UdfAccess = None
EOF
    cat >"$FB_DIR/conf/databases.conf" <<EOF
security.db = $FB_DIR/security3.fdb
{
    RemoteAccess = false
}
EOF
}

fb_login() {
    echo 'select 1 from rdb$database;' |
        isql-fb -q -user "$FB_USER" -password "$FB_PASSWORD" "$HOST/$FB_PORT:$FB_DIR/probe.fdb"
}

# Embedded mode, before the server runs: a new security database that gets its user tables
# with the first user, and a small database the readiness check logs into.
fb_provision() {
    fb_private isql-fb -q -b -user "$FB_USER" <<EOF
create database '$FB_DIR/security3.fdb';
commit;
connect '$FB_DIR/security3.fdb' user '$FB_USER';
create or alter user $FB_USER password '$FB_PASSWORD';
commit;
create database '$FB_DIR/probe.fdb' user '$FB_USER' default character set WIN1252;
commit;
EOF
}

fb_prepare() {
    fb_write_config
    fb_provision >"$FB_DIR/provision.log" 2>&1 ||
        { cat "$FB_DIR/provision.log" >&2; die "could not create the Firebird security database"; }
}

fb_launch() {
    fb_write_config
    fb_private daemonize "$1" "$FB_DIR/server.log" "$(program firebird)"
}

# ---- both -------------------------------------------------------------------------------

# start_server NAME DIR PROGRAM PORT PORT_KNOB LOG PREFIX: reuse a running instance, or launch
# one, preparing a new folder first. PREFIX_prepare, PREFIX_launch and PREFIX_login do the work.
start_server() {
    local name=$1 dir=$2 prog=$3 port=$4 knob=$5 log=$6 prefix=$7
    local pidfile=$dir/server.pid
    if pid_alive "$pidfile" "$prog"; then
        wait_ready "$name" "$pidfile" "$log" "${prefix}_login"
        say "$name already running on $HOST:$port"
        return
    fi
    port_open "$port" && die "port $port is taken by another program; set $knob"
    program "$prog" >/dev/null
    # A folder without the ready mark is from an interrupted first start: begin again.
    if [ ! -f "$dir/ready" ]; then
        rm -rf "$dir"
        mkdir -p "$dir"
        "${prefix}_prepare"
    fi
    "${prefix}_launch" "$pidfile"
    wait_ready "$name" "$pidfile" "$log" "${prefix}_login"
    touch "$dir/ready"
    say "$name running on $HOST:$port (data in $dir)"
}

start_mysql() {
    start_server MariaDB "$MY_DIR" mariadbd "$MY_PORT" VANTRELO_TEST_MYSQL_PORT "$MY_DIR/error.log" my
}

start_firebird() {
    start_server Firebird "$FB_DIR" firebird "$FB_PORT" VANTRELO_TEST_FB_PORT "$FB_DIR/server.log" fb
}

# ---- commands ---------------------------------------------------------------------------

print_env() {
    local name value
    while read -r name value; do
        printf 'export %s=%q\n' "$name" "$value"
    done <<EOF
VANTRELO_MYSQL_HOST $HOST
VANTRELO_MYSQL_PORT $MY_PORT
VANTRELO_MYSQL_USER $MY_USER
VANTRELO_MYSQL_PASSWORD $MY_PASSWORD
VANTRELO_MYSQL_DATABASE $MY_DATABASE
VANTRELO_MYSQL_ROOT_USER root
VANTRELO_MYSQL_ROOT_PASSWORD $MY_ROOT_PASSWORD
VANTRELO_FB_HOST $HOST
VANTRELO_FB_PORT $FB_PORT
VANTRELO_FB_USER $FB_USER
VANTRELO_FB_PASSWORD $FB_PASSWORD
VANTRELO_FB_DIR $FB_DATABASES
VANTRELO_FB_CLIENT $(fb_client_library)
EOF
}

status() {
    local ok=0
    if pid_alive "$(my_pidfile)" mariadbd; then
        say "MariaDB running (pid $(<"$(my_pidfile)")) on $HOST:$MY_PORT, data in $MY_DIR"
    else
        say "MariaDB stopped"; ok=1
    fi
    if pid_alive "$(fb_pidfile)" firebird; then
        say "Firebird running (pid $(<"$(fb_pidfile)")) on $HOST:$FB_PORT, databases in $FB_DATABASES"
    else
        say "Firebird stopped"; ok=1
    fi
    return $ok
}

# Both at once: each takes a second or two to shut down.
stop_both() {
    stop_pid MariaDB "$(my_pidfile)" mariadbd &
    stop_pid Firebird "$(fb_pidfile)" firebird &
    wait
}

with_lock() {
    mkdir -p "$ROOT"
    exec 9>"$ROOT/.lock"
    flock 9
    "$@"
}

case "${1:-}" in
    start) with_lock start_mysql; with_lock start_firebird ;;
    stop)
        [ -d "$ROOT" ] || exit 0
        with_lock stop_both
        ;;
    status) status ;;
    env) print_env ;;
    clean)
        "$0" stop
        case "$ROOT" in /|"") die "refusing to delete '$ROOT'" ;; esac
        rm -rf "$ROOT"
        say "removed $ROOT"
        ;;
    *) echo "usage: $0 start|stop|status|env|clean" >&2; exit 2 ;;
esac
