#!/usr/bin/env bash
# Runs every test: builds, starts the throwaway test servers, runs ctest over every label, then
# cross-builds the Windows programs and runs their tests under Wine (scripts/test-windows.sh;
# VANTRELO_WINDOWS=0 leaves that out). Arguments go to ctest, in both runs, e.g.
# `scripts/test.sh -L mysql` or `scripts/test.sh -R Packet`.
# The servers keep running afterwards for quick reruns (scripts/test-servers.sh stop), except
# in CI, where the ones this run started are stopped at the end.
set -euo pipefail

scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
src=$(dirname "$scripts")
build=${VANTRELO_BUILD_DIR:-$src/build}

bash "$scripts/build.sh"

# In CI, stop what this run started; servers someone else started stay up.
if [ -n "${CI:-}" ] && [ "$CI" != false ] && ! bash "$scripts/test-servers.sh" status >/dev/null; then
    trap 'bash "$scripts/test-servers.sh" stop' EXIT
fi
bash "$scripts/test-servers.sh" start
eval "$(bash "$scripts/test-servers.sh" env)"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

status=0
(cd "$build" && ctest --output-on-failure --no-tests=error "$@") || status=$?
if [ "${VANTRELO_WINDOWS:-1}" != 0 ]; then
    bash "$scripts/test-windows.sh" "$@" || status=$?
fi
exit $status
