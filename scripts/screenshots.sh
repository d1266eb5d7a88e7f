#!/usr/bin/env bash
# Pictures of the main window (after a synchronisation run, with its log) and of the
# configuration window, taken on the demo shop under a virtual X server, into docs/
# (or the folder given).
#
#   screenshots.sh [FOLDER]
#
# Knobs: those of demo.sh.
set -euo pipefail

scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
src=$(dirname "$scripts")
build=${VANTRELO_BUILD_DIR:-$src/build}
demo=${VANTRELO_DEMO_DIR:-${VANTRELO_TEST_ROOT:-/tmp/vantrelo-test}/demo}
out=$(realpath -m "${1:-$src/docs}")

[ -x "$build/app/vantrelo-screenshots" ] || bash "$scripts/build.sh"
bash "$scripts/demo.sh" --prepare

mkdir -p "$out"
cd "$demo"  # its "logSic" folder
if command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 1280x800x24" "$build/app/vantrelo-screenshots" "$demo/vantrelo.ini" "$out"
else
    echo "screenshots: xvfb-run not found (package xvfb); drawing offscreen" >&2
    QT_QPA_PLATFORM=offscreen "$build/app/vantrelo-screenshots" "$demo/vantrelo.ini" "$out"
fi
