#!/bin/sh
# Runs an ARMv5TE Linux binary on QEMU's user-mode XScale model: the emulator of the armv5te
# presets. ZORVIK_QEMU_CPU picks the processor (pxa270 unless set; pxa255 for the older family).
exec qemu-arm -cpu "${ZORVIK_QEMU_CPU:-pxa270}" -L /usr/arm-linux-gnueabi "$@"
