# Cross-compiling the core, the simulated handheld and their tests for the handheld's processor
# (ARMv5TE, ARM code) on Debian with g++-arm-linux-gnueabi; the binaries run under QEMU's
# user-mode XScale model.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR armv5te)
set(CMAKE_C_COMPILER arm-linux-gnueabi-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabi-g++)
set(CMAKE_C_FLAGS_INIT "-march=armv5te -marm")
# -Wno-psabi: the notes that GCC 7.1 changed how some arguments are passed concern linking with
# objects of older compilers, which this build never does.
set(CMAKE_CXX_FLAGS_INIT "-march=armv5te -marm -Wno-psabi")

set(ZORVIK_SYSROOT /usr/arm-linux-gnueabi)
set(CMAKE_FIND_ROOT_PATH ${ZORVIK_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest and GoogleTest's test discovery run every target binary through the processor model;
# the processor is chosen when the tests run (tools/qemu_xscale.sh).
get_filename_component(ZORVIK_TOOLS "${CMAKE_CURRENT_LIST_DIR}/../tools" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZORVIK_TOOLS}/qemu_xscale.sh)
