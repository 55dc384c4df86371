// A test-only helper for bench/wine_process_list.sh: starts idle processes for the process list
// to show, and times the running program's process list from outside. Built with mingw-w64 by
// the benchmark; never part of zorvik.exe.
//   list_timer spawn COUNT     starts COUNT idle copies of itself; returns once every one runs
//   list_timer idle            what each copy does: tells its starter it runs, then waits for ever
//   list_timer open            opens the process list; prints the ms until it is shown and drawn
//   list_timer refresh COUNT   presses Refresh COUNT times; prints the ms of each, until drawn
//   list_timer close           closes the process list; returns once it is gone
// Exit 0 on success, 2 when the program or its list is not there, 3 when a step failed.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

// The program's identifiers (base/ids.h): the menu command that opens the process list, the
// Refresh button.
constexpr WPARAM CommandProcesses = 1000;
constexpr int ButtonRefresh = 103;
const wchar_t* const ListTitle = L"Процессы";
const wchar_t* const Started = L"ZorvikListTimerIdle";

double NowMs() {
  LARGE_INTEGER frequency, now;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HWND ShownList() {
  const HWND dialog = ::FindWindowW(nullptr, ListTitle);
  return dialog != nullptr && ::IsWindowVisible(dialog) ? dialog : nullptr;
}

// Has the dialog and its controls drawn now: the paint messages are sent to the program, and the
// call returns once it has handled them.
void DrawNow(HWND dialog) {
  ::RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int Spawn(long count) {
  const HANDLE started = ::CreateSemaphoreW(nullptr, 0, 0x7FFFFFFF, Started);
  if (started == nullptr) return 3;
  wchar_t path[MAX_PATH];
  if (::GetModuleFileNameW(nullptr, path, MAX_PATH) == 0) return 3;
  wchar_t line[MAX_PATH + 16];
  std::swprintf(line, MAX_PATH + 16, L"\"%ls\" idle", path);
  for (long i = 0; i < count; ++i) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(path, line, nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                          &startup, &process)) {
      return 3;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }
  for (long i = 0; i < count; ++i) {
    if (::WaitForSingleObject(started, 120000) != WAIT_OBJECT_0) return 3;
  }
  return 0;
}

int Idle() {
  const HANDLE started = ::OpenSemaphoreW(SEMAPHORE_MODIFY_STATE, FALSE, Started);
  if (started == nullptr || !::ReleaseSemaphore(started, 1, nullptr)) return 3;
  ::Sleep(INFINITE);
  return 0;
}

int Open() {
  const HWND program = ::FindWindowW(L"Zorvik", L"Zorvik");
  if (program == nullptr || ShownList() != nullptr) return 2;
  const double start = NowMs();
  if (!::PostMessageW(program, WM_COMMAND, CommandProcesses, 0)) return 3;
  HWND dialog = nullptr;
  while ((dialog = ShownList()) == nullptr) {
    if (NowMs() - start > 120000) return 3;
    ::Sleep(1);
  }
  DrawNow(dialog);
  std::printf("%.0f\n", NowMs() - start);
  return 0;
}

int Refresh(long count) {
  const HWND dialog = ShownList();
  if (dialog == nullptr) return 2;
  const HWND button = ::GetDlgItem(dialog, ButtonRefresh);
  for (long i = 0; i < count; ++i) {
    const double start = NowMs();
    // Pressed as a user presses it: the button tells the dialog from the program's own thread (a
    // command sent from another process would only be queued for later). The message sent after
    // it returns once the program has handled the press, so once the list is refilled.
    if (!::PostMessageW(button, BM_CLICK, 0, 0)) return 3;
    ::Sleep(5);  // the program takes the press before the message below comes
    ::SendMessageW(dialog, WM_NULL, 0, 0);
    DrawNow(dialog);
    std::printf("%.0f\n", NowMs() - start);
  }
  return 0;
}

int Close() {
  const HWND dialog = ShownList();
  if (dialog == nullptr) return 2;
  if (!::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0)) return 3;
  const double start = NowMs();
  while (::IsWindow(dialog) && ::IsWindowVisible(dialog)) {
    if (NowMs() - start > 60000) return 3;
    ::Sleep(5);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 64;
  const long count = argc > 2 ? std::wcstol(argv[2], nullptr, 0) : 1;
  if (std::wcscmp(argv[1], L"spawn") == 0) return Spawn(count);
  if (std::wcscmp(argv[1], L"idle") == 0) return Idle();
  if (std::wcscmp(argv[1], L"open") == 0) return Open();
  if (std::wcscmp(argv[1], L"refresh") == 0) return Refresh(count);
  if (std::wcscmp(argv[1], L"close") == 0) return Close();
  return 64;
}
