#!/usr/bin/env bash
# Configures and builds everything (CMake + Ninja) in build/, or in VANTRELO_BUILD_DIR.
# VANTRELO_JOBS sets the parallel compile jobs (default 2).
set -euo pipefail

src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VANTRELO_BUILD_DIR:-$src/build}

cmake -S "$src" -B "$build" -G Ninja
cmake --build "$build" --parallel "${VANTRELO_JOBS:-2}"
