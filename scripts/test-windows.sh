#!/usr/bin/env bash
# The Windows side of the tests without Windows: cross-builds the core (platform, data access,
# both providers, the engine, the runner and the Qt-free tests) with MinGW-w64 into
# build-windows/ (or VANTRELO_WINDOWS_BUILD_DIR) and runs its tests under Wine, against the
# same throwaway MariaDB as the Linux tests. Arguments go to ctest, as for scripts/test.sh.
# Expects the test servers to run and their variables to be exported (scripts/test.sh does both).
set -euo pipefail

scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
src=$(dirname "$scripts")
build=${VANTRELO_WINDOWS_BUILD_DIR:-$src/build-windows}
root=${VANTRELO_TEST_ROOT:-/tmp/vantrelo-test}

cmake -S "$src" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/MinGW64Toolchain.cmake" \
    -DVANTRELO_BUILD_APP=OFF -DVANTRELO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "${VANTRELO_JOBS:-2}"

# A Wine installation of our own, as a Brazilian machine like the shops' (regional formats and
# the ANSI code page 1252 come from the OS there). The locale is compiled into our folder, so
# the system's locale settings are left alone.
export WINEPREFIX=$root/wine
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko installer prompts
export LOCPATH=$root/locale
[ -d "$LOCPATH/pt_BR.UTF-8" ] || {
    mkdir -p "$LOCPATH"
    localedef -i pt_BR -f UTF-8 "$LOCPATH/pt_BR.UTF-8"
}
export LC_ALL=pt_BR.UTF-8
# The first start makes the prefix; later ones reuse it and its wineserver, which in CI goes
# with the run.
wineboot --init >/dev/null 2>&1 || true
if [ -n "${CI:-}" ] && [ "$CI" != false ]; then
    trap 'wineserver -k 2>/dev/null || true' EXIT
fi

cd "$build"
ctest --output-on-failure --no-tests=ignore "$@"
