// The registry over the Windows registry functions.
// Windows API only. A value too large for the caller's buffer never touches that buffer.
#include <cstring>

#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::ToWindows;
using win32::Wide;

namespace plat {

long RegOpenKeyExW(RegKey root, const char16_t* subKey, std::uint32_t options, std::uint32_t access,
                   RegKey* result) {
  HKEY key = nullptr;
  const LONG status = ::RegOpenKeyExW(ToWindows<HKEY>(root), Wide(subKey), options, access, &key);
  if (result != nullptr) *result = status == ERROR_SUCCESS ? ToPlatform<RegKey>(key) : RegKey{};
  return status;
}

long RegCreateKeyExW(RegKey root, const char16_t* subKey, std::uint32_t reserved,
                     const char16_t* className, std::uint32_t options, std::uint32_t access,
                     void* security, RegKey* result, std::uint32_t* disposition) {
  HKEY key = nullptr;
  DWORD created = 0;
  const LONG status = ::RegCreateKeyExW(
      ToWindows<HKEY>(root), Wide(subKey), reserved, const_cast<wchar_t*>(Wide(className)), options,
      access, static_cast<SECURITY_ATTRIBUTES*>(security), &key, &created);
  if (result != nullptr) *result = status == ERROR_SUCCESS ? ToPlatform<RegKey>(key) : RegKey{};
  if (disposition != nullptr && status == ERROR_SUCCESS) *disposition = created;
  return status;
}

long RegQueryValueExW(RegKey key, const char16_t* name, std::uint32_t* /*reserved*/,
                      std::uint32_t* type, void* data, std::uint32_t* size) {
  const HKEY windowsKey = ToWindows<HKEY>(key);
  DWORD valueType = REG_NONE;
  LONG status = ERROR_SUCCESS;
  if (data == nullptr) {
    DWORD needed = 0;
    status = ::RegQueryValueExW(windowsKey, Wide(name), nullptr, &valueType, nullptr,
                                size != nullptr ? &needed : nullptr);
    if (size != nullptr && status == ERROR_SUCCESS) *size = needed;
  } else {
    if (size == nullptr) return ERROR_INVALID_PARAMETER;
    // Windows leaves a too-small buffer with undefined contents, so small reads go through a
    // scratch buffer and larger ones ask for the size first.
    constexpr DWORD ScratchBytes = 1024;
    if (*size <= ScratchBytes) {
      BYTE scratch[ScratchBytes];
      DWORD length = *size;
      status = ::RegQueryValueExW(windowsKey, Wide(name), nullptr, &valueType, scratch, &length);
      if (status == ERROR_SUCCESS) std::memcpy(data, scratch, length);
      if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) *size = length;
    } else {
      DWORD needed = 0;
      status = ::RegQueryValueExW(windowsKey, Wide(name), nullptr, &valueType, nullptr, &needed);
      if (status == ERROR_SUCCESS && needed > *size) {
        status = ERROR_MORE_DATA;
      } else if (status == ERROR_SUCCESS) {
        DWORD length = *size;
        status = ::RegQueryValueExW(windowsKey, Wide(name), nullptr, &valueType,
                                    static_cast<BYTE*>(data), &length);
        needed = length;
      }
      if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) *size = needed;
    }
  }
  if (type != nullptr && (status == ERROR_SUCCESS || status == ERROR_MORE_DATA)) {
    *type = valueType;
  }
  return status;
}

long RegSetValueExW(RegKey key, const char16_t* name, std::uint32_t reserved, std::uint32_t type,
                    const void* data, std::uint32_t size) {
  return ::RegSetValueExW(ToWindows<HKEY>(key), Wide(name), reserved, type,
                          static_cast<const BYTE*>(data), size);
}

long RegCloseKey(RegKey key) { return ::RegCloseKey(ToWindows<HKEY>(key)); }

}  // namespace plat

namespace plat {

long RegEnumKeyExW(RegKey key, std::uint32_t index, char16_t* name, std::uint32_t* nameLength) {
  if (name == nullptr || nameLength == nullptr) return ERROR_INVALID_PARAMETER;
  DWORD length = *nameLength;
  const LONG status = ::RegEnumKeyExW(ToWindows<HKEY>(key), index, Wide(name), &length, nullptr,
                                      nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) *nameLength = length;
  return status;
}

}  // namespace plat
