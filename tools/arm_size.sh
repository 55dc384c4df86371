#!/usr/bin/env bash
# The size of the core's code on the handheld's processor: builds the core alone for ARMv5TE
# (ARM code) with -Os and the core's own flags, in build/armv5te-size, and prints the text,
# data and bss bytes of its objects (arm-linux-gnueabi-size) and their total.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build=build/armv5te-size
cmake -S . -B "$build" -G Ninja --toolchain cmake/arm-linux-gnueabi.cmake \
  -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$build" --target zorvik_core >/dev/null
arm-linux-gnueabi-size --totals "$build/libzorvik_core.a" |
  awk '{ sub(/ \(ex .*$/, "") } { print } /TOTALS/ { text = $1 }
       END { printf "core text on ARMv5TE, -Os: %d bytes (%.1f KB)\n", text, text / 1024 }'
