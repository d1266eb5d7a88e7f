#!/usr/bin/env bash
# Smoke test of one throwaway test server, logging in with the server's own client tool over
# TCP: `smoke.sh mysql` or `smoke.sh firebird`. Exit 77 (skip) when the server's variables are
# not set outside CI; in CI that is a failure.
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }
missing() {
    if [ -n "${CI:-}" ] && [ "${CI}" != false ]; then fail "$*"; fi
    echo "SKIP: $* (run the tests through scripts/test.sh)"
    exit 77
}

mysql_smoke() {
    [ -n "${VANTRELO_MYSQL_HOST:-}" ] && [ -n "${VANTRELO_MYSQL_PORT:-}" ] ||
        missing "no MariaDB test server: VANTRELO_MYSQL_HOST/PORT are not set"
    local db=vantrelo_smoke out
    # A test user that may create databases, a large packet limit, a native-password account.
    out=$(mariadb --no-defaults --protocol=tcp --batch --skip-column-names \
        -h "$VANTRELO_MYSQL_HOST" -P "$VANTRELO_MYSQL_PORT" \
        -u "$VANTRELO_MYSQL_USER" -p"$VANTRELO_MYSQL_PASSWORD" "$VANTRELO_MYSQL_DATABASE" -e "
        drop database if exists $db;
        create database $db;
        create table $db.t (id int primary key, name varchar(20));
        insert into $db.t values (1, 'ok');
        select name from $db.t;
        select @@max_allowed_packet >= 64 * 1024 * 1024;
        select plugin from mysql.user where concat(user, '@', host) = current_user();
        drop database $db;") || fail "cannot log into MariaDB as $VANTRELO_MYSQL_USER"
    [ "$out" = $'ok\n1\nmysql_native_password' ] || fail "unexpected answer from MariaDB: $out"
    mariadb --no-defaults --protocol=tcp -h "$VANTRELO_MYSQL_HOST" -P "$VANTRELO_MYSQL_PORT" \
        -u "$VANTRELO_MYSQL_ROOT_USER" -p"$VANTRELO_MYSQL_ROOT_PASSWORD" -e 'select 1' >/dev/null ||
        fail "cannot log into MariaDB as $VANTRELO_MYSQL_ROOT_USER"
    echo "MariaDB on $VANTRELO_MYSQL_HOST:$VANTRELO_MYSQL_PORT: ok"
}

# isql_fb CHARSET SQL: runs SQL over TCP with that connection character set. From a file:
# read from a pipe, isql drops 8-bit bytes.
isql_fb() {
    printf '%s\n' "$2" >"$scratch/in.sql"
    isql-fb -q -b -ch "$1" -user "$VANTRELO_FB_USER" -password "$VANTRELO_FB_PASSWORD" \
        -i "$scratch/in.sql" 2>&1
}

firebird_smoke() {
    [ -n "${VANTRELO_FB_HOST:-}" ] && [ -n "${VANTRELO_FB_PORT:-}" ] && [ -n "${VANTRELO_FB_DIR:-}" ] ||
        missing "no Firebird test server: VANTRELO_FB_HOST/PORT/DIR are not set"
    [ -e "${VANTRELO_FB_CLIENT:-}" ] || fail "client library VANTRELO_FB_CLIENT='${VANTRELO_FB_CLIENT:-}' not found"
    local out
    file="$VANTRELO_FB_DIR/smoke_$$.fdb"
    local url="$VANTRELO_FB_HOST/$VANTRELO_FB_PORT:$file"
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"; rm -f "$file"' EXIT
    # A WIN1252 database written through a WIN1252 connection (the byte E7 is "ç") and read
    # back through a UTF8 one: the server must have its character sets.
    out=$(isql_fb WIN1252 "set sql dialect 3;
create database '$url' page_size 8192 default character set WIN1252;
create table t (s varchar(10));
insert into t values ('$(printf 'a\xe7o')');
commit;") || fail "cannot create a WIN1252 database over TCP on Firebird: $out"
    out=$(isql_fb UTF8 "connect '$url';
set list on;
select mon\$sql_dialect as dialect, trim(r.rdb\$character_set_name) as charset, t.s
    from mon\$database, rdb\$database r, t;
commit;
drop database;") || fail "cannot read the database back through a UTF8 connection: $out"
    echo "$out" | grep -Eq '^DIALECT +3$' || fail "database is not dialect 3: $out"
    echo "$out" | grep -Eq '^CHARSET +WIN1252$' || fail "database is not WIN1252: $out"
    echo "$out" | grep -q "^S  *$(printf 'a\xc3\xa7o')\$" || fail "WIN1252 text did not arrive as UTF-8: $out"
    echo "Firebird on $VANTRELO_FB_HOST:$VANTRELO_FB_PORT: ok"
}

case "${1:-}" in
    mysql) mysql_smoke ;;
    firebird) firebird_smoke ;;
    *) echo "usage: $0 mysql|firebird" >&2; exit 2 ;;
esac
