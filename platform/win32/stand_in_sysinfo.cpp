// The handheld's system information on the desktop: the processor information record, which the
// handheld's kernel answers from the processor it runs on and the stand-in from its simulated
// main ID register; the object store, for which the disk of the Windows directory stands; and the
// storage cards, for which the removable drives stand.
// Windows API only; a port to the handheld replaces this file with the handheld's own calls.
#include <cstring>
#include <cwchar>
#include <iterator>

#include "platform/win32/stand_in.h"
#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::ToWindows;

namespace {

const wchar_t* VendorName(std::uint32_t mainId) {
  switch (mainId >> 24) {
    case 0x41:
      return L"ARM";
    case 0x69:
      return L"Intel";
    default:
      return L"";
  }
}

// The part number (bits 4-15) names the chip of the XScale families the stand-in models.
const wchar_t* ProcessorName(std::uint32_t mainId) {
  switch ((mainId >> 4) & 0xFFF) {
    case 0x411:
      return L"PXA270";
    case 0x2D0:
    case 0x290:
      return L"PXA255";
    default:
      return L"XScale";
  }
}

void CopyText(char16_t* field, std::size_t capacity, const wchar_t* text) {
  std::size_t i = 0;
  for (; i + 1 < capacity && text[i] != L'\0'; ++i) field[i] = static_cast<char16_t>(text[i]);
  field[i] = u'\0';
}

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

namespace standin {

bool AnswerProcessorQuery(void* output, std::uint32_t outputSize, std::uint32_t* returned) {
  using plat::ProcessorInfo;
  if (output == nullptr || outputSize < sizeof(ProcessorInfo)) {
    ::SetLastError(ERROR_NOT_SUPPORTED);
    return false;
  }
  const std::uint32_t mainId = standin::Read(standin::MainId);
  auto* info = static_cast<ProcessorInfo*>(output);
  *info = ProcessorInfo{};
  info->Version = 1;
  CopyText(info->Vendor, std::size(info->Vendor), VendorName(mainId));
  CopyText(info->ProcessorName, std::size(info->ProcessorName), ProcessorName(mainId));
  info->ProcessorRevision = static_cast<std::uint16_t>(mainId & 0xF);
  if (returned != nullptr) *returned = sizeof(ProcessorInfo);
  return true;
}

}  // namespace standin

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

}  // namespace plat
