#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  zlib1g-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev googletest
  firebird3.0-server firebird3.0-utils firebird-dev libfbclient2
  mariadb-server mariadb-client libmariadb-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64 libz-mingw-w64-dev wine wine64 locales
  xvfb xauth x11-apps imagemagick
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# sudo resets the environment, so the front end is passed through env.
apt=($sudo env DEBIAN_FRONTEND=noninteractive apt-get)
"${apt[@]}" update -q
# The servers' package scripts try to start services; there may be no init system, which is fine:
# the test scripts start their own throwaway instances.
"${apt[@]}" install -y -q --no-install-recommends "${missing[@]}"
