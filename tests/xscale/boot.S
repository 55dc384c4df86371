@ The image's boot code and exception vectors: a stack for every mode, zeroed memory, the MMU on,
@ then the checks in user mode. The machine model starts the image at _start in supervisor mode
@ with interrupts masked and the MMU off.

        .syntax unified
        .arm

        .section .vectors, "ax"
        ldr     pc, reset_entry
        ldr     pc, undefined_entry
        ldr     pc, supervisor_entry
        ldr     pc, prefetch_entry
        ldr     pc, abort_entry
        b       .
        ldr     pc, interrupt_entry
        ldr     pc, fast_interrupt_entry
reset_entry:            .word   _start
undefined_entry:        .word   xscale_undefined_handler
supervisor_entry:       .word   xscale_svc_handler
prefetch_entry:         .word   prefetch_abort
abort_entry:            .word   xscale_data_abort_handler
interrupt_entry:        .word   interrupt
fast_interrupt_entry:   .word   fast_interrupt

        .text
        .global _start
        .type   _start, %function
_start:
        msr     cpsr_c, #0xDB           @ undefined mode, interrupts masked
        ldr     sp, =__undefined_stack
        msr     cpsr_c, #0xD7           @ abort mode
        ldr     sp, =__abort_stack
        msr     cpsr_c, #0xD2           @ interrupt mode
        ldr     sp, =__interrupt_stack
        msr     cpsr_c, #0xD1           @ fast interrupt mode
        ldr     sp, =__interrupt_stack
        msr     cpsr_c, #0xDF           @ System mode: user mode's registers
        ldr     sp, =__program_stack
        msr     cpsr_c, #0xD3           @ supervisor mode
        ldr     sp, =__supervisor_stack

        ldr     r0, =__bss_start
        ldr     r1, =__bss_end
        bl      zero_words
        ldr     r0, =__kernel_start
        ldr     r1, =__kernel_zero_end
        bl      zero_words

        bl      ImageStart              @ the MMU on, static constructors run
        msr     cpsr_c, #0xD0           @ user mode, interrupts still masked
        bl      ImageMain               @ exits through semihosting
        b       .

@ Zeroes the words from r0 up to r1.
zero_words:
        mov     r2, #0
1:      cmp     r0, r1
        strlo   r2, [r0], #4
        blo     1b
        bx      lr
        .size   _start, . - _start

@ Exceptions nothing should raise: the image reports them and stops.
prefetch_abort:
        mov     r0, #3
        sub     r1, lr, #4
        b       XscaleUnguardedFault
interrupt:
        mov     r0, #4
        sub     r1, lr, #4
        b       XscaleUnguardedFault
fast_interrupt:
        mov     r0, #5
        sub     r1, lr, #4
        b       XscaleUnguardedFault
        .ltorg
