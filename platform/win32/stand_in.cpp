// The desktop stand-in's device state over the registry key HKLM\Hardware\SimulatedPXA
// (first filled from HKLM\SOFTWARE\SimulatedPXA).
// Windows API only; the key is opened and closed around every access, never cached.
#include "platform/win32/stand_in.h"

#include <cwchar>

#include "platform/win32/windows_api.h"

namespace standin {
namespace {

// The device key, opened (and created when missing) for reading and writing, and closed when
// it goes out of scope. HKLM\Hardware is volatile, and so must its subkeys be: the key then
// lasts as long as the registry server, and creating it at the first access of each process
// lets other programs add values while this one runs.
class DeviceKey {
 public:
  DeviceKey() {
    DWORD disposition = 0;
    LONG result = Create(REG_OPTION_NON_VOLATILE, &disposition);
    if (result == ERROR_CHILD_MUST_BE_VOLATILE) result = Create(REG_OPTION_VOLATILE, &disposition);
    if (result != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    if (disposition == REG_CREATED_NEW_KEY) CopySeedValues();
  }
  ~DeviceKey() {
    if (key_ != nullptr) ::RegCloseKey(key_);
  }
  DeviceKey(const DeviceKey&) = delete;
  DeviceKey& operator=(const DeviceKey&) = delete;

  HKEY get() const { return key_; }

 private:
  LONG Create(DWORD options, DWORD* disposition) {
    return ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, DeviceKeyPath, 0, nullptr, options,
                             KEY_READ | KEY_WRITE, nullptr, &key_, disposition);
  }

  // A device that did not exist until now starts from the seed key's values, if any.
  void CopySeedValues() {
    HKEY seed = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, SeedKeyPath, 0, KEY_READ, &seed) != ERROR_SUCCESS) {
      return;
    }
    ::RegCopyTreeW(seed, nullptr, key_);
    ::RegCloseKey(seed);
  }

  HKEY key_ = nullptr;
};

// The longest wake-up list served, in characters with every terminator: far more than the few
// registrations a handheld holds, each a path shorter than MAX_PATH.
constexpr std::size_t WakeupListChars = 16384;

// The wake-up list as last read: its entries one after another, each terminated. The program
// reads it from its one thread, so one list in static storage serves every call.
struct WakeupList {
  wchar_t Text[WakeupListChars];
  std::size_t Length;  // characters of Text in use, every entry's terminator included
  std::uint32_t Count;
};
WakeupList wakeups;

// Reads the list into `wakeups`; whatever is not a well-formed entry is left out, and a missing
// value or one of another type reads as no entry. False, with no entry, when the value cannot
// be read whole: it is then never written back, so no entry is lost.
bool ReadWakeups(HKEY key) {
  wakeups.Length = 0;
  wakeups.Count = 0;
  DWORD type = REG_NONE;
  // Two characters are kept back: the terminator a value of the wrong shape may lack, and the
  // empty string that ends the list when it is written back.
  DWORD size = sizeof(wakeups.Text) - 2 * sizeof(wchar_t);
  const LONG result = ::RegQueryValueExW(key, WakeupValueName, nullptr, &type,
                                         reinterpret_cast<BYTE*>(wakeups.Text), &size);
  if (result == ERROR_FILE_NOT_FOUND) return true;
  if (result != ERROR_SUCCESS) return false;
  if (type != REG_MULTI_SZ && type != REG_SZ) return true;
  const std::size_t length = size / sizeof(wchar_t);
  for (std::size_t start = 0; start < length;) {
    std::size_t end = start;
    while (end < length && wakeups.Text[end] != L'\0') ++end;
    if (end == start) break;  // an empty string ends the list
    wakeups.Text[end] = L'\0';
    wakeups.Length = end + 1;
    ++wakeups.Count;
    if (type == REG_SZ) break;
    start = end + 1;
  }
  return true;
}

bool WriteWakeups(HKEY key) {
  wakeups.Text[wakeups.Length] = L'\0';  // the empty string that ends the list
  return ::RegSetValueExW(
             key, WakeupValueName, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(wakeups.Text),
             static_cast<DWORD>((wakeups.Length + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool SameName(const wchar_t* a, const wchar_t* b) {
  return ::CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

thread_local bool kernelMode = false;

}  // namespace

std::uint32_t Read(const DwordValue& value) {
  DeviceKey key;
  if (key.get() == nullptr) return value.Default;
  DWORD type = REG_NONE;
  DWORD setting = 0;
  DWORD size = sizeof(setting);
  if (::RegQueryValueExW(key.get(), value.Name, nullptr, &type, reinterpret_cast<BYTE*>(&setting),
                         &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof(setting)) {
    return value.Default;
  }
  return setting;
}

bool Write(const DwordValue& value, std::uint32_t setting) {
  DeviceKey key;
  if (key.get() == nullptr) return false;
  const DWORD data = setting;
  return ::RegSetValueExW(key.get(), value.Name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof(data)) == ERROR_SUCCESS;
}

bool Increment(const DwordValue& value) { return Write(value, Read(value) + 1); }

bool AppendWakeup(const wchar_t* application) {
  DeviceKey key;
  if (key.get() == nullptr || !ReadWakeups(key.get())) return false;
  const std::size_t length = std::wcslen(application);
  // The entry, its terminator and the list's closing empty string must fit.
  if (wakeups.Length + length + 2 > WakeupListChars) return false;
  std::wmemcpy(wakeups.Text + wakeups.Length, application, length + 1);
  wakeups.Length += length + 1;
  ++wakeups.Count;
  return WriteWakeups(key.get());
}

bool RemoveAllWakeups(const wchar_t* application) {
  DeviceKey key;
  if (key.get() == nullptr || !ReadWakeups(key.get())) return false;
  // The kept entries move down over the removed ones, in order.
  std::size_t kept = 0;
  std::uint32_t keptCount = 0;
  for (std::size_t entry = 0; entry < wakeups.Length;) {
    const std::size_t size = std::wcslen(wakeups.Text + entry) + 1;
    if (!SameName(wakeups.Text + entry, application)) {
      std::wmemmove(wakeups.Text + kept, wakeups.Text + entry, size);
      kept += size;
      ++keptCount;
    }
    entry += size;
  }
  if (keptCount == wakeups.Count) return true;
  wakeups.Length = kept;
  wakeups.Count = keptCount;
  return WriteWakeups(key.get());
}

std::uint32_t WakeupCount() {
  DeviceKey key;
  if (key.get() == nullptr || !ReadWakeups(key.get())) return 0;
  return wakeups.Count;
}

const wchar_t* WakeupEntry(std::uint32_t index) {
  DeviceKey key;
  if (key.get() == nullptr || !ReadWakeups(key.get()) || index >= wakeups.Count) return nullptr;
  const wchar_t* entry = wakeups.Text;
  for (std::uint32_t i = 0; i < index; ++i) entry += std::wcslen(entry) + 1;
  return entry;
}

bool SwapKernelMode(bool kernel) {
  const bool previous = kernelMode;
  kernelMode = kernel;
  return previous;
}

bool InKernelMode() { return kernelMode; }

}  // namespace standin
