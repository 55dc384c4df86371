// The desktop stand-in's device state over the registry key HKLM\Hardware\SimulatedPXA
// (first filled from HKLM\SOFTWARE\SimulatedPXA).
// Windows API only; the key is opened and closed around every access, never cached.
#include "platform/win32/stand_in.h"

#include <string>
#include <vector>

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

using Entries = std::vector<std::wstring>;

// Reads the wake-up list; whatever is not a well-formed entry is left out.
Entries ReadWakeups(HKEY key) {
  Entries entries;
  DWORD type = REG_NONE;
  std::vector<wchar_t> text;
  DWORD readSize = 0;
  LONG result = ERROR_MORE_DATA;
  // Another process may grow the value between the size query and the read: ask again.
  for (int attempt = 0; attempt < 4 && result == ERROR_MORE_DATA; ++attempt) {
    DWORD size = 0;
    if (::RegQueryValueExW(key, WakeupValueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      return entries;
    }
    text.assign(size / sizeof(wchar_t) + 1, L'\0');
    readSize = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    result = ::RegQueryValueExW(key, WakeupValueName, nullptr, &type,
                                reinterpret_cast<BYTE*>(text.data()), &readSize);
  }
  if (result != ERROR_SUCCESS || (type != REG_MULTI_SZ && type != REG_SZ)) return entries;
  const std::size_t length = readSize / sizeof(wchar_t);
  for (std::size_t start = 0; start < length;) {
    std::size_t end = start;
    while (end < length && text[end] != L'\0') ++end;
    if (end == start) break;  // an empty string ends the list
    entries.emplace_back(text.data() + start, end - start);
    if (type == REG_SZ) break;
    start = end + 1;
  }
  return entries;
}

bool WriteWakeups(HKEY key, const Entries& entries) {
  std::wstring text;
  for (const std::wstring& entry : entries) {
    text += entry;
    text += L'\0';
  }
  text += L'\0';
  return ::RegSetValueExW(key, WakeupValueName, 0, REG_MULTI_SZ,
                          reinterpret_cast<const BYTE*>(text.data()),
                          static_cast<DWORD>(text.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool SameName(const std::wstring& a, const wchar_t* b) {
  return ::CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
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
  if (key.get() == nullptr) return false;
  Entries entries = ReadWakeups(key.get());
  entries.emplace_back(application);
  return WriteWakeups(key.get(), entries);
}

bool RemoveAllWakeups(const wchar_t* application) {
  DeviceKey key;
  if (key.get() == nullptr) return false;
  const Entries entries = ReadWakeups(key.get());
  Entries kept;
  for (const std::wstring& entry : entries) {
    if (!SameName(entry, application)) kept.push_back(entry);
  }
  return kept.size() == entries.size() || WriteWakeups(key.get(), kept);
}

std::uint32_t WakeupCount() {
  DeviceKey key;
  return key.get() == nullptr ? 0 : static_cast<std::uint32_t>(ReadWakeups(key.get()).size());
}

bool WakeupEntry(std::uint32_t index, std::wstring* entry) {
  DeviceKey key;
  if (key.get() == nullptr) return false;
  const Entries entries = ReadWakeups(key.get());
  if (index >= entries.size()) return false;
  *entry = entries[index];
  return true;
}

bool SwapKernelMode(bool kernel) {
  const bool previous = kernelMode;
  kernelMode = kernel;
  return previous;
}

bool InKernelMode() { return kernelMode; }

}  // namespace standin
