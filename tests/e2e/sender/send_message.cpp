// A test-only program that plays "another process" towards the running copy: it finds the main
// window by its class and title "Zorvik" and sends or posts it messages. Never part of zorvik.exe.
//   send_message send|post MESSAGE [COUNT [LPARAM [WPARAM]]]   exit 0 when every call was
//                                                    made, 2 when no window, 3 when a post failed
//   send_message send-to|post-to WINDOW MESSAGE [COUNT [LPARAM [WPARAM]]]
//                                                    the same to a window printed by `windows`
//                                                    or `children`; send-to prints the last answer
//   send_message windows TITLE                       prints the handle of every visible top-level
//                                                    window titled TITLE, one a line
//   send_message children WINDOW CLASS               prints the handle of every window of CLASS
//                                                    inside WINDOW, one a line
//   send_message menus COUNT [COMMAND...]            opens the tray menu, posts the COMMANDs
//                                                    behind it and closes it with Escape,
//                                                    COUNT times
//   send_message handle-index                        prints the table index a fresh user
//                                                    object receives (see below)
//   send_message process-id                          prints the main window's process id as
//                                                    Wine's debug output writes it (%04x)
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

int Deliver(HWND window, bool post, UINT message, long count, WPARAM wParam, LPARAM lParam,
            bool printAnswer) {
  if (window == nullptr || !::IsWindow(window)) return 2;
  LRESULT answer = 0;
  for (long i = 0; i < count; ++i) {
    if (post) {
      if (!::PostMessageW(window, message, wParam, lParam)) return 3;
    } else {
      // A plain send: it returns once the window has handled the message, and a timed send
      // fails now and then under load though the message arrives. The harness bounds the wait.
      answer = ::SendMessageW(window, message, wParam, lParam);
    }
  }
  if (printAnswer) std::printf("%lld\n", static_cast<long long>(answer));
  return 0;
}

// Each show-menu request is followed by an Escape key in the same queue: the menu's own loop
// takes it and closes. The empty send between rounds waits for the program, so the queue stays
// short.
int OpenAndCloseMenus(long count, wchar_t** commands, int commandCount) {
  const HWND window = ::FindWindowW(L"Zorvik", L"Zorvik");
  if (window == nullptr) return 2;
  for (long i = 0; i < count; ++i) {
    if (!::PostMessageW(window, WM_USER + 1, 0, 0)) return 3;
    for (int c = 0; c < commandCount; ++c) {
      const auto id = static_cast<WPARAM>(std::wcstoul(commands[c], nullptr, 0));
      if (!::PostMessageW(window, WM_COMMAND, id, 0)) return 3;
    }
    if (!::PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1)) return 3;
    ::SendMessageW(window, WM_NULL, 0, 0);
  }
  return 0;
}

// Wine keeps every process's user objects (windows, menus, icons) in one table and gives a new
// object the lowest free slot, so a fresh object's index grows with what other processes hold.
// Without GetGuiResources this is the honest outside measure of another process's user handles.
int PrintHandleIndex() {
  const HMENU menu = ::CreatePopupMenu();
  if (menu == nullptr) return 3;
  std::printf("%u\n", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(menu) & 0xFFFF));
  ::DestroyMenu(menu);
  return 0;
}

int PrintProcessId() {
  DWORD process = 0;
  const HWND window = ::FindWindowW(L"Zorvik", L"Zorvik");
  if (window == nullptr || ::GetWindowThreadProcessId(window, &process) == 0) return 2;
  std::printf("%04lx\n", static_cast<unsigned long>(process));
  return 0;
}

const wchar_t* wantedTitle = nullptr;

BOOL CALLBACK PrintIfTitled(HWND window, LPARAM) {
  wchar_t title[256];
  if (::IsWindowVisible(window) && ::GetWindowTextW(window, title, 256) > 0 &&
      std::wcscmp(title, wantedTitle) == 0) {
    std::printf("0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  }
  return TRUE;
}

const wchar_t* wantedClass = nullptr;

BOOL CALLBACK PrintIfOfClass(HWND window, LPARAM) {
  wchar_t name[256];
  if (::GetClassNameW(window, name, 256) > 0 && std::wcscmp(name, wantedClass) == 0) {
    std::printf("0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  }
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wcscmp(argv[1], L"handle-index") == 0) return PrintHandleIndex();
  if (argc == 2 && std::wcscmp(argv[1], L"process-id") == 0) return PrintProcessId();
  if (argc < 3) return 64;
  if (std::wcscmp(argv[1], L"menus") == 0) {
    return OpenAndCloseMenus(std::wcstol(argv[2], nullptr, 0), argv + 3, argc - 3);
  }
  if (std::wcscmp(argv[1], L"windows") == 0) {
    wantedTitle = argv[2];
    ::EnumWindows(PrintIfTitled, 0);
    return 0;
  }
  if (std::wcscmp(argv[1], L"children") == 0 && argc == 4) {
    wantedClass = argv[3];
    const auto parent =
        reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(argv[2], nullptr, 0)));
    ::EnumChildWindows(parent, PrintIfOfClass, 0);
    return 0;
  }
  // The main window, or one named by its handle: the arguments after it are the same.
  const bool addressed = std::wcsstr(argv[1], L"-to") != nullptr;
  if (addressed && argc < 4) return 64;
  const HWND window =
      addressed ? reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(argv[2], nullptr, 0)))
                : ::FindWindowW(L"Zorvik", L"Zorvik");
  wchar_t** rest = argv + (addressed ? 3 : 2);
  const int restCount = argc - (addressed ? 3 : 2);
  const bool post = std::wcsncmp(argv[1], L"post", 4) == 0;
  if (!post && std::wcsncmp(argv[1], L"send", 4) != 0) return 64;
  const auto message = static_cast<UINT>(std::wcstoul(rest[0], nullptr, 0));
  const long count = restCount > 1 ? std::wcstol(rest[1], nullptr, 0) : 1;
  const LPARAM lParam = restCount > 2 ? static_cast<LPARAM>(std::wcstoll(rest[2], nullptr, 0)) : 0;
  const WPARAM wParam = restCount > 3 ? static_cast<WPARAM>(std::wcstoull(rest[3], nullptr, 0)) : 0;
  return Deliver(window, post, message, count, wParam, lParam, addressed && !post);
}
