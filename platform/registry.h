// The registry.
// Contract only. Results are Win32 error codes: 0 (ERROR_SUCCESS) on success.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace plat {

// Predefined roots, with the bit pattern the Windows API gives them (sign-extended).
constexpr RegKey PredefinedKey(std::int32_t value) {
  return RegKey(static_cast<std::uintptr_t>(static_cast<std::intptr_t>(value)));
}
inline constexpr RegKey HKEY_CURRENT_USER = PredefinedKey(static_cast<std::int32_t>(0x80000001u));
inline constexpr RegKey HKEY_LOCAL_MACHINE = PredefinedKey(static_cast<std::int32_t>(0x80000002u));

inline constexpr std::uint32_t KEY_READ = 0x20019;
inline constexpr std::uint32_t KEY_WRITE = 0x20006;

inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;

inline constexpr long ERROR_SUCCESS = 0;
inline constexpr long ERROR_FILE_NOT_FOUND = 2;
inline constexpr long ERROR_MORE_DATA = 234;

long RegOpenKeyExW(RegKey root, const char16_t* subKey, std::uint32_t options, std::uint32_t access,
                   RegKey* result);
// Opens the key, creating it (and its parents) when missing.
long RegCreateKeyExW(RegKey root, const char16_t* subKey, std::uint32_t reserved,
                     const char16_t* className, std::uint32_t options, std::uint32_t access,
                     void* security, RegKey* result, std::uint32_t* disposition);
// Reads a value into `data` of `*size` bytes; `*size` becomes the value's size. A value larger
// than the buffer gives ERROR_MORE_DATA and leaves the buffer untouched.
long RegQueryValueExW(RegKey key, const char16_t* name, std::uint32_t* reserved,
                      std::uint32_t* type, void* data, std::uint32_t* size);
long RegSetValueExW(RegKey key, const char16_t* name, std::uint32_t reserved, std::uint32_t type,
                    const void* data, std::uint32_t size);
long RegCloseKey(RegKey key);
// The name of subkey `index` into `name` (`*nameLength` characters with the terminator; becomes
// the name's length). ERROR_NO_MORE_ITEMS past the last subkey.
inline constexpr long ERROR_NO_MORE_ITEMS = 259;
long RegEnumKeyExW(RegKey key, std::uint32_t index, char16_t* name, std::uint32_t* nameLength);

}  // namespace plat
