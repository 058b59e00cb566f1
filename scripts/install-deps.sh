#!/usr/bin/env bash
# Installs what the build, the tests and the benchmarks need (Debian 12).
# A warm machine skips apt entirely.
set -euo pipefail
packages=(libfox-1.6-dev pkg-config cmake g++ make libgtest-dev libgmock-dev
  xvfb xauth xdotool x11-utils x11-apps imagemagick ghostscript
  fonts-urw-base35 fonts-dejavu-core clang clang-format libclang-rt-14-dev
  ccache librsvg2-bin python3 zlib1g-dev python3-biopython snakemake)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}"
