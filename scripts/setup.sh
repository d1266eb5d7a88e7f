#!/usr/bin/env bash
# The one command for a fresh Debian 12 machine: installs the Debian packages (with sudo when
# not root) and builds everything in build/.
set -euo pipefail

scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

bash "$scripts/install-deps.sh"
bash "$scripts/build.sh"

# Starting the program comes here once the shell exists.
