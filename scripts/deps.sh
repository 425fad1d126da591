#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need; skips what is there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang-format
  libcairo2-dev libfontconfig-dev libfreetype-dev libvips-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev libstb-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
)
if [ "${WITH_FUZZ:-0}" = 1 ]; then
  packages+=(clang libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
