#!/usr/bin/env bash
# A demo shop on the throwaway servers, and the program started on it:
#   - a local Firebird database made from tests/fixtures/local_schema.sql, with a branch, a
#     few hundred products (names with accents, some with photos) and a configuration row
#     that points at a MariaDB database as its cloud (sending local to cloud, every minute);
#   - the cloud database made from tests/fixtures/cloud_schema.sql, empty;
#   - a folder with a copy of the program and its settings file beside it (the program reads
#     the settings file beside its executable and writes its "logSic" folder in its working
#     folder, which is this one).
#
#   demo.sh            make the shop afresh and start the program (in the background)
#   demo.sh --prepare  only make the shop and the folder
#
# Either way a demo program still running from an earlier demo.sh is stopped first.
#
# Knobs: VANTRELO_BUILD_DIR (default build/), VANTRELO_DEMO_DIR (default
# $VANTRELO_TEST_ROOT/demo), VANTRELO_DEMO_PRODUCTS (default 300), and the knobs of
# test-servers.sh.
set -euo pipefail

scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
src=$(dirname "$scripts")
build=${VANTRELO_BUILD_DIR:-$src/build}
root=${VANTRELO_TEST_ROOT:-/tmp/vantrelo-test}
demo=${VANTRELO_DEMO_DIR:-$root/demo}
products=${VANTRELO_DEMO_PRODUCTS:-300}
cloud_db=vantrelo_demo
access_prefix=357

say() { echo "demo: $*"; }
die() { echo "demo: $*" >&2; exit 1; }

prepare_only=false
case "${1:-}" in
    "") ;;
    --prepare) prepare_only=true ;;
    *) die "usage: demo.sh [--prepare]" ;;
esac

[ -x "$build/app/vantrelo" ] || bash "$scripts/build.sh"
[ -x "$build/app/vantrelo" ] || die "the program was not built (see $build)"

bash "$scripts/test-servers.sh" start
eval "$(bash "$scripts/test-servers.sh" env)"

fb_db=$VANTRELO_FB_DIR/demo-shop.fdb
fb_target=$VANTRELO_FB_HOST/$VANTRELO_FB_PORT:$fb_db
mkdir -p "$demo"
demo=$(realpath "$demo")
pidfile=$demo/vantrelo.pid
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ---- the demo program of an earlier run ----------------------------------------------------
# Still running, it keeps the local database attached (so it could not be made afresh) and
# a new launch would only bring its window up. The pid saved at its launch names it; the
# number counts only while it is still this folder's program.
alive() {
    local state
    state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "${state:0:1}" != Z ]
}
stop_previous() {
    [ -f "$pidfile" ] || return 0
    local pid
    pid=$(cat "$pidfile")
    rm -f "$pidfile"
    [[ "$pid" =~ ^[0-9]+$ ]] && alive "$pid" || return 0
    [ "$(readlink "/proc/$pid/cwd" 2>/dev/null)" = "$demo" ] || return 0
    case "$(readlink "/proc/$pid/exe" 2>/dev/null)" in
        "$demo/vantrelo" | "$demo/vantrelo (deleted)") ;;
        *) return 0 ;;
    esac
    say "stopping the demo program started earlier (pid $pid)"
    kill "$pid" 2>/dev/null || true
    # Once connected, the database client library takes SIGTERM for itself and the program
    # goes on; the shop is made afresh anyway, so nothing is lost by killing it.
    for _ in $(seq 20); do alive "$pid" || return 0; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null || true
    for _ in $(seq 50); do alive "$pid" || return 0; sleep 0.1; done
    die "the demo program (pid $pid) does not stop"
}
stop_previous

# ---- the cloud: an empty product table ----------------------------------------------------
cloud() {
    mariadb --protocol=tcp -h "$VANTRELO_MYSQL_HOST" -P "$VANTRELO_MYSQL_PORT" -u "$VANTRELO_MYSQL_USER" \
        -p"$VANTRELO_MYSQL_PASSWORD" --default-character-set=latin1 "$@"
}
say "cloud database $cloud_db on $VANTRELO_MYSQL_HOST:$VANTRELO_MYSQL_PORT"
cloud -e "drop database if exists $cloud_db; create database $cloud_db character set latin1"
cloud "$cloud_db" <"$src/tests/fixtures/cloud_schema.sql"

# ---- the local shop -------------------------------------------------------------------------
isql() { isql-fb -q -ch WIN1252 -user "$VANTRELO_FB_USER" -password "$VANTRELO_FB_PASSWORD" "$@"; }

# The stored password is scrambled by XOR with the build's one-byte key, byte by byte
# in Windows-1252 (an ASCII password keeps this simple).
key=$(sed -n 's/^VANTRELO_PASSWORD_KEY:STRING=//p' "$build/CMakeCache.txt")
key=${key:-0x8B}
scrambled=""
for ((i = 0; i < ${#VANTRELO_MYSQL_PASSWORD}; i++)); do
    c=$(printf '%d' "'${VANTRELO_MYSQL_PASSWORD:i:1}")
    [ "$c" -lt 128 ] || die "the demo only scrambles ASCII passwords"
    scrambled+=$(printf '%02X' $((c ^ key)))
done

# A few small pictures for the products' photos, as hex for Firebird's X'..' literals.
photos=()
colours=("#52AD62" "#D26642" "#3B6FB6" "#E0B030" "#8E5BA8" "#2E9C9C")
for colour in "${colours[@]}"; do
    convert -size 48x48 xc:white -fill "$colour" -draw "roundrectangle 4,4 43,43 8,8" \
        -fill white -draw "circle 24,24 24,14" -strip "png:$work/photo.png"
    photos+=("$(od -An -v -tx1 "$work/photo.png" | tr -d ' \n' | tr 'a-f' 'A-F')")
done

names=("Pão de Queijo" "Açúcar Cristal" "Café Torrado e Moído" "Feijão Carioca" "Maçã Fuji" "Limão Taiti"
       "Óleo de Soja" "Sabão em Pó" "Farinha de Mandioca" "Guaraná" "Requeijão Cremoso" "Pêssego em Calda"
       "Castanha-do-Pará" "Amêndoas Torradas" "Pé-de-Moleque" "Doce de Leite" "Água de Coco" "Mamão Formosa"
       "Melão Amarelo" "Coração de Frango" "Linguiça Calabresa" "Presunto Cozido" "Macarrão Parafuso" "Molho de Tomate")
sizes=("200 g" "500 g" "1 kg" "2 kg" "350 ml" "1 l" "Nº 1" "Nº 2" "Família" "Econômico" "Orgânico" "Promoção")

{
    echo "CREATE DATABASE '$fb_target' USER '$VANTRELO_FB_USER' PASSWORD '$VANTRELO_FB_PASSWORD' PAGE_SIZE 8192 DEFAULT CHARACTER SET WIN1252;"
    cat "$src/tests/fixtures/local_schema.sql"
    echo "COMMIT;"
    echo "INSERT INTO filial (CODIGO, NOME_FANTASIA, CNPJ) VALUES (1, 'Mercado São João', '12.345.678/0001-90');"
    echo "INSERT INTO config_geral (CODIGO, IDFILIAL, EMP_NOME, EMP_CNPJ, VERSAO_ATUAL, DATA_CADASTRO, PDV_NCAIXA,"
    echo "  TEMPO_SIMNAO, TEMPO_SINCRO, SERVIDOR_CLOUD, DATABASE_CLOUD, USUARIO_CLOUD, SENHA_CLOUD, PORTA_CLOUD,"
    echo "  DATAULTIMA_SIC, ENVIA_OU_RECEBE) VALUES (1, 1, 'Mercado São João', '12.345.678/0001-90', 'PDV 4.2',"
    echo "  CURRENT_DATE, 1, 1, 1, '$VANTRELO_MYSQL_HOST', '$cloud_db', '$VANTRELO_MYSQL_USER',"
    echo "  CAST(X'$scrambled' AS VARCHAR(60) CHARACTER SET WIN1252), $VANTRELO_MYSQL_PORT, '2000-01-01 00:00:00', 1);"
    for ((code = 1; code <= products; code++)); do
        name="${names[code % ${#names[@]}]} ${sizes[(code / ${#names[@]}) % ${#sizes[@]}]}"
        price=$(printf '%d.%02d' $((2 + code % 47)) $((code * 37 % 100)))
        cost=$(printf '%d.%02d' $((1 + code % 31)) $((code * 53 % 100)))
        photo=NULL
        [ $((code % 3)) -eq 0 ] && photo="X'${photos[code % ${#photos[@]}]}'"
        printf "INSERT INTO estoque (EST_CODIGO, EST_PRODUTO, EST_UNIDADE, PROD_CUSTO, EST_PRECOVENDA, CODIGO_BARRA,\n"
        printf "  EST_SITUACAO, EST_DATACAD, DATA_ALTERACAO, EST_FOTO) VALUES (%d, '%s', 'UN', %s, %s, '789%010d', 'A',\n" \
            "$code" "$name" "$cost" "$price" "$code"
        printf "  CURRENT_DATE, CURRENT_TIMESTAMP, %s);\n" "$photo"
    done
    echo "COMMIT;"
} >"$work/shop.utf8.sql"
iconv -f UTF-8 -t WINDOWS-1252 "$work/shop.utf8.sql" >"$work/shop.sql"

say "local database $fb_target ($products products)"
drop_local() { echo "DROP DATABASE;" | isql "$fb_target" >/dev/null 2>&1 || true; }
drop_local
# Another program attached to it keeps it from being dropped, and the CREATE would fail.
for _ in 1 2 3 4 5; do
    [ -e "$fb_db" ] || break
    sleep 1
    drop_local
done
[ ! -e "$fb_db" ] || die "could not drop the old local database $fb_db: is a program still attached to it?"
out=$(isql -i "$work/shop.sql" 2>&1) || true
if grep -q -e "Statement failed" -e "Unable to complete" <<<"$out"; then
    echo "$out" >&2
    die "could not make the local database"
fi

# ---- the program's folder ---------------------------------------------------------------------
cp -f "$build/app/vantrelo" "$demo/vantrelo"
cat >"$demo/vantrelo.ini" <<INI
; Written by scripts/demo.sh: the demo shop's local database on the throwaway Firebird.
[local]
server=$VANTRELO_FB_HOST
port=$VANTRELO_FB_PORT
database=$fb_db
user=$VANTRELO_FB_USER
password=$VANTRELO_FB_PASSWORD

[sync]
access_prefix=$access_prefix
INI
mkdir -p "$demo/logSic"
say "program and settings in $demo"

$prepare_only && exit 0

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    say "no display here: the shop is ready, start $demo/vantrelo on a desktop (from that folder),"
    say "or take pictures of its windows with scripts/screenshots.sh"
    exit 0
fi

cd "$demo"
# The shell writes its own pid, which the program keeps, so the next demo.sh can stop it.
setsid sh -c 'echo $$ >"$1" && exec ./vantrelo' sh "$pidfile" >"$demo/vantrelo.out" 2>&1 </dev/null &
for _ in $(seq 50); do [ -s "$pidfile" ] && break; sleep 0.1; done
say "started (pid $(cat "$pidfile" 2>/dev/null)): it sits in the notification area as a green cloud."
say "Double-click it (or right-click, \"Maximizar\") to see the window, then click \"Sincronizar\":"
say "the $products products go to the cloud database $cloud_db, one log line each."
say "\"Sinc-All\" and \"Configuração\" want the access code $access_prefix followed by the time as HHMM"
say "(at 14:05 it is ${access_prefix}1405). \"Fechar Aplicação\" in the menu ends the program."
