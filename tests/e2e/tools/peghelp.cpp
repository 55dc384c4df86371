// A stand-in help viewer for the end-to-end tests: writes the command line it was started with
// to C:\peghelp.txt (UTF-8) and exits. Test-only; built with mingw-w64 by the menu scenario.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const wchar_t* line = ::GetCommandLineW();
  char text[2048];
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, line, -1, text, sizeof text, nullptr, nullptr);
  if (length <= 0) return 1;
  HANDLE file = ::CreateFileW(L"C:\\peghelp.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  ::WriteFile(file, text, static_cast<DWORD>(length - 1), &written, nullptr);
  ::CloseHandle(file);
  return 0;
}
