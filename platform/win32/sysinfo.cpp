// System information from the desktop where it has the fact: the disk of the Windows directory
// stands for the object store, removable drives for storage cards; version, time zone, code
// pages and language are the desktop's own.
// Windows API only; no program logic.
#include <cstring>

#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::ToWindows;

namespace {

// A storage-card search: the drive letters still to look at.
struct CardSearch {
  DWORD Drives;
  int Next;
};

std::uint32_t Clamp32(ULONGLONG value) {
  return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
}

bool NextRemovableDrive(CardSearch* search, plat::FlashCardData* data) {
  for (; search->Next < 26; ++search->Next) {
    if ((search->Drives & (1u << search->Next)) == 0) continue;
    const wchar_t root[] = {static_cast<wchar_t>(L'A' + search->Next), L':', L'\\', L'\0'};
    if (::GetDriveTypeW(root) != DRIVE_REMOVABLE) continue;
    ++search->Next;
    if (data != nullptr) {
      data->Attributes = FILE_ATTRIBUTE_DIRECTORY;
      std::memcpy(data->Name, root, sizeof(root));
    }
    return true;
  }
  return false;
}

// One card search at a time. Its handle is a real file search (of the Windows directory), so
// that FindClose (system.h) ends it like any other search; the drives are kept here.
HANDLE cardToken = INVALID_HANDLE_VALUE;
CardSearch cardSearch;

}  // namespace

namespace plat {

bool GetStoreInformation(StoreInformation* information) {
  if (information == nullptr) return false;
  *information = {};
  wchar_t windows[MAX_PATH];
  const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
  if (length < 3 || length >= MAX_PATH) return false;
  windows[3] = L'\0';  // "C:\"
  ULARGE_INTEGER available{}, total{}, free{};
  if (!::GetDiskFreeSpaceExW(windows, &available, &total, &free)) return false;
  information->StoreSize = Clamp32(total.QuadPart);
  information->FreeSize = Clamp32(free.QuadPart);
  return true;
}

Handle FindFirstFlashCard(FlashCardData* data) {
  CardSearch search{::GetLogicalDrives(), 0};
  if (!NextRemovableDrive(&search, data)) return InvalidHandle;
  wchar_t pattern[MAX_PATH + 4];
  const UINT length = ::GetWindowsDirectoryW(pattern, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return InvalidHandle;
  std::memcpy(pattern + length, L"\\*", 3 * sizeof(wchar_t));
  WIN32_FIND_DATAW found{};
  const HANDLE token = ::FindFirstFileW(pattern, &found);
  if (token == INVALID_HANDLE_VALUE) return InvalidHandle;
  cardToken = token;
  cardSearch = search;
  return ToPlatform<Handle>(token);
}

bool FindNextFlashCard(Handle search, FlashCardData* data) {
  if (ToWindows<HANDLE>(search) != cardToken || cardToken == INVALID_HANDLE_VALUE) return false;
  return NextRemovableDrive(&cardSearch, data);
}

bool GetVersionExW(VersionInfo* version) {
  if (version == nullptr) return false;
  OSVERSIONINFOW desktop{};
  desktop.dwOSVersionInfoSize = sizeof(desktop);
  if (!::GetVersionExW(&desktop)) return false;
  *version = {desktop.dwMajorVersion, desktop.dwMinorVersion, desktop.dwBuildNumber};
  return true;
}

std::uint32_t GetTimeZoneInformation(TimeZoneInformation* information) {
  if (information == nullptr) return TIME_ZONE_ID_INVALID;
  TIME_ZONE_INFORMATION desktop{};
  const DWORD id = ::GetTimeZoneInformation(&desktop);
  information->Bias = id == TIME_ZONE_ID_INVALID ? 0 : desktop.Bias;
  return id;
}

std::uint32_t GetOEMCP() { return ::GetOEMCP(); }
std::uint32_t GetACP() { return ::GetACP(); }
std::uint16_t GetSystemDefaultLangID() { return ::GetSystemDefaultLangID(); }

}  // namespace plat
