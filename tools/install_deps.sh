#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Zorvik need; does nothing when they
# are all installed already. Runs unattended (CI: root, no standard input, no display).
set -euo pipefail

packages=(
  # native build, tests and benchmarks
  cmake ninja-build g++ googletest libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
  # instruction counts: bench/instruction_counts.sh; coverage: tools/coverage.sh
  valgrind gcovr
  clang-format
  # the fuzz targets: clang with libFuzzer and the sanitizer runtimes
  clang libclang-rt-14-dev
  # zorvik.exe with mingw-w64, zorvik-setup.exe with NSIS, and running them under Wine on a
  # virtual display
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 nsis
  wine wine64 fonts-wine xvfb xdotool imagemagick x11-utils
  # the handheld's processor: the bare-metal image on QEMU's board models, and the core with its
  # tests built for ARMv5TE Linux and run under QEMU's user-mode XScale models (GoogleTest built
  # from its source package above), and the core's size there (tools/arm_size.sh)
  gcc-arm-none-eabi libnewlib-arm-none-eabi libstdc++-arm-none-eabi-dev g++-arm-linux-gnueabi
  qemu-system-arm qemu-user binutils-arm-linux-gnueabi
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done
if ((${#missing[@]} == 0)); then
  echo "install_deps: all ${#packages[@]} packages are installed"
  exit 0
fi

sudo=()
if [[ $(id -u) != 0 ]]; then
  command -v sudo >/dev/null || { echo "install_deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
echo "install_deps: installing ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update </dev/null
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}" </dev/null
