@ The fault guard over the processor's own exceptions: RunGuarded (hardware.h), and the
@ undefined-instruction and data-abort handlers that resume the innermost guard.
@ ARM code, ARMv5TE. A guard lives on RunGuarded's frame; xscale_active_guard points at the
@ innermost one (0: none).

        .syntax unified
        .arm

        .bss
        .align  2
xscale_active_guard:
        .word   0

        .text

@ bool plat::RunGuarded(void (*body)(void* context), void* context)
@ The guard record, 40 bytes at the stack pointer: the caller's r4-r11, then the enclosing
@ guard (8 bytes with padding, so that the body's stack stays 8-byte aligned).
        .global _ZN4plat10RunGuardedEPFvPvES0_
        .type   _ZN4plat10RunGuardedEPFvPvES0_, %function
_ZN4plat10RunGuardedEPFvPvES0_:
        push    {r4, lr}
        sub     sp, sp, #40
        stmia   sp, {r4-r11}
        ldr     r4, =xscale_active_guard
        ldr     r2, [r4]
        str     r2, [sp, #32]           @ the enclosing guard
        str     sp, [r4]                @ this one is the innermost now
        mov     r2, r0
        mov     r0, r1
        blx     r2                      @ body(context); r4 survives the call
        ldr     r2, [sp, #32]
        str     r2, [r4]
        mov     r0, #1                  @ the body ran to its end
        b       1f

@ Entered from a handler below, in the mode that faulted (user or System: both have the
@ program's registers): the body is abandoned where the fault struck.
xscale_guard_resume:
        ldr     r4, =xscale_active_guard
        ldr     sp, [r4]
        ldr     r2, [sp, #32]
        str     r2, [r4]
        mov     r0, #0                  @ an access fault cut the body short
1:      ldmia   sp, {r4-r11}
        add     sp, sp, #40
        pop     {r4, pc}
        .size   _ZN4plat10RunGuardedEPFvPvES0_, . - _ZN4plat10RunGuardedEPFvPvES0_
        .ltorg

@ Undefined instruction (undefined mode, lr = the instruction + 4): a coprocessor access the
@ processor refused, outside a privileged mode or to a register it does not have.
        .global xscale_undefined_handler
        .type   xscale_undefined_handler, %function
xscale_undefined_handler:
        ldr     r0, =XscaleKernel
        ldr     r1, [r0, #4]            @ UndefinedInstructions
        add     r1, r1, #1
        str     r1, [r0, #4]
        mov     r0, #1
        sub     r1, lr, #4
        b       resume_guard
        .size   xscale_undefined_handler, . - xscale_undefined_handler

@ Data abort (abort mode, lr = the instruction + 8): a store through a read-only page, a touch of
@ an unmapped one, or an access the bus refused.
        .global xscale_data_abort_handler
        .type   xscale_data_abort_handler, %function
xscale_data_abort_handler:
        ldr     r0, =XscaleKernel
        ldr     r1, [r0, #8]            @ DataAborts
        add     r1, r1, #1
        str     r1, [r0, #8]
        mrc     p15, 0, r1, c6, c0, 0   @ the fault address
        str     r1, [r0, #12]           @ AbortAddress
        mov     r0, #2
        sub     r1, lr, #8
        b       resume_guard
        .size   xscale_data_abort_handler, . - xscale_data_abort_handler

@ r0 = the kind, r1 = the faulting instruction. Back to the innermost guard in the mode that
@ faulted; without a guard, or from a mode without the program's registers, the image stops.
resume_guard:
        ldr     r2, =xscale_active_guard
        ldr     r2, [r2]
        cmp     r2, #0
        beq     XscaleUnguardedFault
        mrs     r2, spsr
        and     r2, r2, #0x1f
        cmp     r2, #0x10               @ user
        cmpne   r2, #0x1f               @ System
        bne     XscaleUnguardedFault
        ldr     lr, =xscale_guard_resume
        movs    pc, lr                  @ the faulting mode's status comes back from SPSR
        .ltorg
