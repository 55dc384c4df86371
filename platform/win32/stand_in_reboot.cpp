// The handheld's kernel controls on the desktop stand-in: every reboot request is counted in the
// device key and refused, so the program goes on as after a reboot the platform turned down; the
// processor query is answered from the simulated registers (stand_in_sysinfo.cpp).
// Windows API only.
#include "platform/win32/stand_in.h"
#include "platform/win32/windows_api.h"

namespace {

// Set by SetCleanRebootFlag and kept until a reboot, as the handheld keeps it.
bool cleanRebootPending = false;

}  // namespace

namespace plat {

bool KernelIoControl(std::uint32_t code, void* /*input*/, std::uint32_t /*inputSize*/, void* output,
                     std::uint32_t outputSize, std::uint32_t* returned) {
  if (returned != nullptr) *returned = 0;
  if (code == IOCTL_PROCESSOR_INFORMATION) {
    return standin::AnswerProcessorQuery(output, outputSize, returned);
  }
  if (code != IOCTL_HAL_REBOOT) {
    ::SetLastError(ERROR_NOT_SUPPORTED);
    return false;
  }
  standin::Increment(standin::Reboots);
  if (cleanRebootPending) standin::Increment(standin::CleanReboots);
  ::SetLastError(ERROR_ACCESS_DENIED);
  return false;
}

void SetCleanRebootFlag() { cleanRebootPending = true; }

}  // namespace plat
