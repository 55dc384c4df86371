@ The supervisor call behind SetKMode (memory.cpp): switches its caller between user mode and
@ System mode, the privileged mode that shares user mode's registers and stack.
@ SVC #0, r0 = 1 for System mode, 0 for user mode; returns in r0 whether the caller was in
@ System mode. Semihosting's SVC 0x123456 comes here only when the machine model was started
@ without userspace=on, and then stops the image as an unknown call.

        .syntax unified
        .arm
        .text

        .global xscale_svc_handler
        .type   xscale_svc_handler, %function
xscale_svc_handler:
        push    {r1, r2}
        ldr     r1, [lr, #-4]
        bics    r1, r1, #0xff000000     @ the call's number
        movne   r0, #6                  @ any other call: the image stops
        subne   r1, lr, #4
        bne     XscaleUnguardedFault
        mrs     r1, spsr
        and     r2, r1, #0x1f
        bic     r1, r1, #0x1f
        cmp     r0, #0
        orrne   r1, r1, #0x1f           @ System
        orreq   r1, r1, #0x10           @ user
        msr     spsr_cxsf, r1
        cmp     r2, #0x1f
        moveq   r0, #1
        movne   r0, #0
        pop     {r1, r2}
        movs    pc, lr
        .size   xscale_svc_handler, . - xscale_svc_handler
