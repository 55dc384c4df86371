#!/usr/bin/env bash
# Builds the bare-metal image (preset xscale) and runs it on QEMU's boards, a timeout each:
# tosa (PXA255); mainstone (PXA270), also with each stepping of the processor model; akita
# (PXA270); versatilepb (ARM926EJ-S, not an XScale). The machine models run this image only.
# Exit 0 when every machine passed every check.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.." || exit 1
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}

cmake --preset xscale >/dev/null && cmake --build --preset xscale || exit 1

# board[:processor model], as the image's table of machines names them.
machines=(tosa mainstone akita versatilepb)
for stepping in a0 a1 b0 b1 c0 c5; do machines+=("mainstone:pxa270-$stepping"); done

failed=()
for machine in "${machines[@]}"; do
  board=${machine%%:*}
  cpu=()
  [[ $machine == *:* ]] && cpu=(-cpu "${machine#*:}")
  image=build/xscale/zorvik_xscale_pxa.elf
  [[ $board == versatilepb ]] && image=build/xscale/zorvik_xscale_versatilepb.elf
  echo "--- $machine"
  # The console and the exit code come over semihosting, from user mode too; QEMU_AUDIO_DRV
  # keeps the boards' sound devices quiet.
  output=$(QEMU_AUDIO_DRV=none timeout 60 qemu-system-arm -M "$board" "${cpu[@]}" -kernel "$image" \
    -semihosting-config "enable=on,target=native,userspace=on,arg=$machine" \
    -nographic -monitor none -serial null 2>&1)
  status=$?
  # The PXA model prints a line for every CLKCFG write that starts a frequency change.
  changes=$(grep -c 'CPU frequency change attempt' <<<"$output")
  grep -v 'CPU frequency change attempt' <<<"$output"
  ((changes > 0)) && echo "(the model reported $changes frequency changes)"
  case $status in
    0) ;;
    124) echo "FAIL  $machine: no exit within 60 s" && failed+=("$machine") ;;
    *) echo "FAIL  $machine: exit code $status" && failed+=("$machine") ;;
  esac
done

echo
if ((${#failed[@]} > 0)); then
  echo "xscale: ${#failed[@]} of ${#machines[@]} machines failed: ${failed[*]}"
  exit 1
fi
echo "xscale: all ${#machines[@]} machines passed"
