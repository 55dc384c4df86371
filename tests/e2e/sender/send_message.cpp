// A test-only program that plays "another process" towards the running copy: it finds the main
// window by its class and title "Zorvik" and sends or posts it messages. Never part of zorvik.exe.
//   send_message send|post MESSAGE [COUNT [LPARAM [WPARAM]]]   exit 0 when every call was
//                                                    made, 2 when no window, 3 when a post failed
//   send_message menus COUNT                         opens the tray menu and closes it with
//                                                    Escape, COUNT times
//   send_message handle-index                        prints the table index a fresh user
//                                                    object receives (see below)
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

int Deliver(bool post, UINT message, long count, WPARAM wParam, LPARAM lParam) {
  const HWND window = ::FindWindowW(L"Zorvik", L"Zorvik");
  if (window == nullptr) return 2;
  for (long i = 0; i < count; ++i) {
    if (post) {
      if (!::PostMessageW(window, message, wParam, lParam)) return 3;
    } else {
      // A plain send: it returns once the window has handled the message, and a timed send
      // fails now and then under load though the message arrives. The harness bounds the wait.
      ::SendMessageW(window, message, wParam, lParam);
    }
  }
  return 0;
}

// Each show-menu request is followed by an Escape key in the same queue: the menu's own loop
// takes it and closes. The empty send between rounds waits for the program, so the queue stays
// short.
int OpenAndCloseMenus(long count) {
  const HWND window = ::FindWindowW(L"Zorvik", L"Zorvik");
  if (window == nullptr) return 2;
  for (long i = 0; i < count; ++i) {
    if (!::PostMessageW(window, WM_USER + 1, 0, 0) ||
        !::PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1)) {
      return 3;
    }
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wcscmp(argv[1], L"handle-index") == 0) return PrintHandleIndex();
  if (argc < 3) return 64;
  if (std::wcscmp(argv[1], L"menus") == 0) {
    return OpenAndCloseMenus(std::wcstol(argv[2], nullptr, 0));
  }
  const bool post = std::wcscmp(argv[1], L"post") == 0;
  if (!post && std::wcscmp(argv[1], L"send") != 0) return 64;
  const auto message = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 0));
  const long count = argc > 3 ? std::wcstol(argv[3], nullptr, 0) : 1;
  const LPARAM lParam = argc > 4 ? static_cast<LPARAM>(std::wcstol(argv[4], nullptr, 0)) : 0;
  const WPARAM wParam = argc > 5 ? static_cast<WPARAM>(std::wcstoul(argv[5], nullptr, 0)) : 0;
  return Deliver(post, message, count, wParam, lParam);
}
