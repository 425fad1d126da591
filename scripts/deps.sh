#!/usr/bin/env bash
# Installs the Debian packages the build and the two executables need (WITH_TESTS=1: also the tests and
# benchmarks; WITH_FUZZ=1: also the fuzz targets); skips what is there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  libcairo2-dev libfontconfig-dev libfreetype-dev libvips-dev zlib1g-dev
  libcli11-dev nlohmann-json3-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  shared-mime-info
)
if [ "${WITH_TESTS:-0}" = 1 ]; then
  # libstb-dev reads BMP files a second way; python3-jsonschema checks info --json against its schema;
  # gio tells file types as file managers do; libspng reads our PNG files a second way, and with libdeflate
  # stands beside our PNG writer in the benchmarks; time measures their peak memory; poppler-utils, librsvg2-bin
  # and ghostscript read our PDF, SVG and EPS files back.
  packages+=(clang-format libgtest-dev libgmock-dev libbenchmark-dev libstb-dev python3-jsonschema libglib2.0-bin
    libspng-dev libdeflate-dev time poppler-utils librsvg2-bin ghostscript)
fi
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
