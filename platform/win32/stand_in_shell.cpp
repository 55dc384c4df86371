// The handheld's shortcut files on the desktop stand-in: a shortcut is the handheld's small
// text file, the target's length in characters, '#', then the quoted target.
// Windows API only.
#include <utility>

#include "platform/win32/windows_api.h"

using win32::Wide;

namespace plat {

bool SHCreateShortcut(const char16_t* shortcut, const char16_t* target) {
  if (shortcut == nullptr || target == nullptr) return false;
  // The target is a handheld path, kept as the handheld writes it (ASCII in practice).
  char text[MAX_PATH + 16];
  const int targetLength = ::lstrlenW(Wide(target));
  // The length counts the two quotes; its digits are written backwards, then turned round.
  int length = 0;
  for (int rest = targetLength + 2; rest > 0 || length == 0; rest /= 10) {
    text[length++] = static_cast<char>('0' + rest % 10);
  }
  for (int i = 0; i < length / 2; ++i) std::swap(text[i], text[length - 1 - i]);
  text[length++] = '#';
  text[length++] = '"';
  for (int i = 0; i < targetLength && length < static_cast<int>(sizeof text) - 2; ++i) {
    const char16_t c = target[i];
    text[length++] = c < 0x80 ? static_cast<char>(c) : '?';
  }
  text[length++] = '"';
  // Never replaces an existing file, as on the handheld.
  const HANDLE file = ::CreateFileW(Wide(shortcut), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = ::WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
  ::CloseHandle(file);
  if (ok && written == static_cast<DWORD>(length)) return true;
  ::DeleteFileW(Wide(shortcut));
  return false;
}

}  // namespace plat
