#!/usr/bin/env bash
# The one command for a fresh Debian 12 machine: installs the Debian packages (with sudo when
# not root), builds everything in build/, then makes the demo shop on the throwaway servers and
# starts the program on it (scripts/demo.sh; without a desktop it only makes the shop).
set -euo pipefail

scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

bash "$scripts/install-deps.sh"
bash "$scripts/build.sh"

bash "$scripts/demo.sh"
