// The image's start in supervisor mode, before the checks run in user mode: the MMU over the
// image's memory (the linker script's bounds), then the static constructors.
#include "platform/xscale/kernel.h"

extern "C" {
extern char __program_start[], __program_end[], __kernel_start[], __kernel_end[];
extern void (*__init_array_start[])(), (*__init_array_end[])();

void ImageStart() {
  const auto address = [](const char* symbol) { return reinterpret_cast<std::uintptr_t>(symbol); };
  xscale::StartMmu({address(__program_start), address(__program_end), address(__kernel_start),
                    address(__kernel_end)});
  for (auto* constructor = __init_array_start; constructor != __init_array_end; ++constructor) {
    (*constructor)();
  }
}
}
