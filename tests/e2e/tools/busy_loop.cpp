// A busy process for the end-to-end tests: keeps every processor of the desktop busy until it is
// ended, so that the idle time the stand-in reports stops growing. Test-only.
#include <windows.h>

namespace {

DWORD WINAPI Spin(void*) {
  volatile unsigned long counter = 0;
  for (;;) counter = counter + 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const DWORD processors = ::GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
  for (DWORD i = 1; i < processors; ++i) ::CreateThread(nullptr, 0, Spin, nullptr, 0, nullptr);
  Spin(nullptr);
  return 0;
}
