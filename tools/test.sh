#!/usr/bin/env bash
# Builds the presets and runs every test: unit and scenario tests (native, ctest, and the same
# for ARMv5TE under QEMU), the clock code bare metal on QEMU's PXA boards, then zorvik.exe end to
# end under Wine. Sets up a fresh Debian 12 machine first. Exit 0 = all passed.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1

export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
results=()
failed=0

# step NAME COMMAND...: runs one stage and records its result.
step() {
  local name=$1 && shift
  echo
  echo "=== $name"
  if "$@"; then
    results+=("PASS  $name")
    return 0
  fi
  results+=("FAIL  $name")
  failed=1
  return 1
}
skip() { results+=("SKIP  $1 ($2)") && failed=1; }

step "install Debian packages" bash tools/install_deps.sh || { printf '%s\n' "${results[@]}"; exit 1; }

# The layout rules, read from the sources: only the stand-in includes the stand-in, each platform
# operation has one home per backend, the bare-metal backend serves the register code alone, the
# core includes downward.
step "layout: the stand-in and the bare-metal backend apart, one home per operation, downward includes" \
  bash tools/check_layout.sh

if step "native: configure" cmake --preset native &&
  step "native: build" cmake --build --preset native; then
  step "native: unit and scenario tests (ctest)" ctest --preset native --parallel 2
else
  skip "native: unit and scenario tests (ctest)" "the native build failed"
fi

# The program's own clock code on the handheld's processor, bare metal: QEMU's PXA255 and PXA270
# boards (and an ARM that is no XScale), with the processor's own exceptions and MMU.
step "handheld processor: the clock code on QEMU's PXA255/PXA270 boards (bare metal)" \
  bash tests/xscale/run.sh

# Every line of the core run and at least 95% of its branches taken by the native tests.
step "coverage: every core line, at least 95% of branches" bash tools/coverage.sh

# The same unit and scenario tests built for the handheld's processor (ARMv5TE: 32-bit pointers,
# unsigned char) and run on QEMU's user-mode models of both families; the soak is left to the
# native run: 3 minutes under the model, 20 seconds natively.
if step "armv5te: configure" cmake --preset armv5te &&
  step "armv5te: build" cmake --build --preset armv5te; then
  step "armv5te: unit and scenario tests under qemu-arm -cpu pxa270 (ctest)" \
    ctest --preset armv5te --parallel 2
  step "armv5te: unit and scenario tests under qemu-arm -cpu pxa255 (ctest)" \
    ctest --preset armv5te-pxa255 --parallel 2
else
  skip "armv5te: unit and scenario tests (ctest)" "the ARMv5TE build failed"
fi

# The fuzz targets: a short run of each, a fixed number of executions from its seed corpus.
if step "fuzz: configure" cmake --preset fuzz &&
  step "fuzz: build" cmake --build --preset fuzz; then
  step "fuzz: short runs (ctest)" ctest --preset fuzz --parallel 2
else
  skip "fuzz: short runs (ctest)" "the fuzz build failed"
fi

if step "windows: configure" cmake --preset windows &&
  step "windows: build zorvik.exe and zorvik-setup.exe" cmake --build --preset windows; then
  step "zorvik.exe: at most 128 KB, system DLLs only, the project's version" bash tools/check_exe.sh
  step "end to end under Wine" bash tests/e2e/run_all.sh
  step "tools/run.sh without a display" bash tests/e2e/run_command.sh
else
  skip "end to end under Wine" "zorvik.exe did not build"
  skip "tools/run.sh without a display" "zorvik.exe did not build"
fi

echo
echo "=== summary"
printf '%s\n' "${results[@]}"
if ((failed)); then
  echo "tools/test.sh: FAILED"
  exit 1
fi
echo "tools/test.sh: all passed"
