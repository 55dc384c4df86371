// The simulated registry: keys by path under HKLM and HKCU with typed values, Win32 result codes,
// injected failures, and a record of every call and of the handles left open.
#include "platform/registry.h"

#include <algorithm>
#include <cstring>

#include "platform/sim/device.h"

namespace {

using sim::Device;

inline constexpr long ERROR_INVALID_HANDLE = 6;
inline constexpr long ERROR_INVALID_PARAMETER = 87;
inline constexpr std::uint32_t REG_CREATED_NEW_KEY = 1;
inline constexpr std::uint32_t REG_OPENED_EXISTING_KEY = 2;

// The path of a root or an open handle; false when the handle is neither.
bool BasePath(plat::RegKey key, std::u16string* path) {
  if (key == plat::HKEY_LOCAL_MACHINE || key == plat::HKEY_CURRENT_USER) {
    *path = key == plat::HKEY_LOCAL_MACHINE ? u"HKLM" : u"HKCU";
    return true;
  }
  auto found = Device().Registry.Open.find(static_cast<std::uintptr_t>(key));
  if (found == Device().Registry.Open.end()) return false;
  *path = found->second;
  return true;
}

// `base` with the non-empty parts of `subKey` appended.
std::u16string JoinPath(std::u16string path, const char16_t* subKey) {
  const std::u16string parts = sim::FromZ(subKey);
  for (std::size_t start = 0; start < parts.size();) {
    std::size_t end = std::min(parts.find(u'\\', start), parts.size());
    if (end > start) path += u"\\" + parts.substr(start, end - start);
    start = end + 1;
  }
  return path;
}

// A key exists when it was made or seeded, or any key below it was: keys below `path` sort
// together right after `path` + "\".
bool KeyExists(const std::u16string& path) {
  const auto& keys = Device().Registry.Keys;
  if (path.find(u'\\') == std::u16string::npos || keys.count(path) != 0) return true;
  auto below = keys.lower_bound(path + u"\\");
  return below != keys.end() && below->first.size() > path.size() &&
         sim::EqualNoCase(std::u16string_view(below->first).substr(0, path.size() + 1),
                          path + u"\\");
}

long Record(const char* operation, const std::u16string& path, const char16_t* valueName,
            std::uint32_t access, long result) {
  Device().Log.Registry.push_back({operation, path, sim::FromZ(valueName), access, result});
  return result;
}

// The error a test set up for this operation on this key and value, or ERROR_SUCCESS.
long InjectedError(const char* operation, const std::u16string& path, const char16_t* valueName) {
  for (const sim::RegistryFailure& failure : Device().Faults.Registry) {
    if (failure.Operation == operation &&
        (failure.KeyPath.empty() || sim::EqualNoCase(failure.KeyPath, path)) &&
        (failure.ValueName.empty() || sim::EqualNoCase(failure.ValueName, sim::FromZ(valueName)))) {
      return failure.Error;
    }
  }
  return plat::ERROR_SUCCESS;
}

// Opening and creating differ only in whether missing keys on the way are made.
long OpenKey(const char* operation, plat::RegKey root, const char16_t* subKey, std::uint32_t access,
             bool create, plat::RegKey* result, std::uint32_t* disposition) {
  std::u16string base;
  const bool known = BasePath(root, &base);
  const std::u16string path = JoinPath(base, subKey);
  if (result == nullptr) return Record(operation, path, nullptr, access, ERROR_INVALID_PARAMETER);
  *result = plat::RegKey{};
  if (!known) return Record(operation, path, nullptr, access, ERROR_INVALID_HANDLE);
  if (long error = InjectedError(operation, path, nullptr)) {
    return Record(operation, path, nullptr, access, error);
  }
  const bool existed = KeyExists(path);
  if (!existed && !create)
    return Record(operation, path, nullptr, access, plat::ERROR_FILE_NOT_FOUND);
  if (!existed) {  // the key and its parents
    for (std::size_t end = path.find(u'\\'); end != std::u16string::npos;
         end = path.find(u'\\', end + 1)) {
      Device().Registry.Keys[path.substr(0, end)];
    }
    Device().Registry.Keys[path];
  }
  if (disposition != nullptr)
    *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  const std::uintptr_t handle = Device().Registry.NextHandle++;
  Device().Registry.Open[handle] = path;
  *result = plat::RegKey(handle);
  return Record(operation, path, nullptr, access, plat::ERROR_SUCCESS);
}

}  // namespace

namespace plat {

// Options (a volatile key, a link) and reserved arguments are refused: the handheld has none.
long RegOpenKeyExW(RegKey root, const char16_t* subKey, std::uint32_t options, std::uint32_t access,
                   RegKey* result) {
  SIM_CALL();
  if (options != 0) return ERROR_INVALID_PARAMETER;
  return OpenKey("open", root, subKey, access, false, result, nullptr);
}

long RegCreateKeyExW(RegKey root, const char16_t* subKey, std::uint32_t reserved, const char16_t*,
                     std::uint32_t options, std::uint32_t access, void*, RegKey* result,
                     std::uint32_t* disposition) {
  SIM_CALL();
  if (reserved != 0 || options != 0) return ERROR_INVALID_PARAMETER;
  return OpenKey("create", root, subKey, access, true, result, disposition);
}

long RegQueryValueExW(RegKey key, const char16_t* name, std::uint32_t*, std::uint32_t* type,
                      void* data, std::uint32_t* size) {
  SIM_CALL();
  std::u16string path;
  if (!BasePath(key, &path)) return Record("query", path, name, 0, ERROR_INVALID_HANDLE);
  if (long error = InjectedError("query", path, name)) return Record("query", path, name, 0, error);
  const auto stored = Device().Registry.Keys.find(path);
  const sim::RegistryKey empty;
  const sim::RegistryKey& values = stored == Device().Registry.Keys.end() ? empty : stored->second;
  const auto found = values.find(sim::FromZ(name));
  if (found == values.end()) return Record("query", path, name, 0, ERROR_FILE_NOT_FOUND);
  if (data != nullptr && size == nullptr) {
    return Record("query", path, name, 0, ERROR_INVALID_PARAMETER);
  }
  const sim::RegistryValue& value = found->second;
  const auto needed = static_cast<std::uint32_t>(value.Data.size());
  if (type != nullptr) *type = value.Type;
  if (data == nullptr) {  // a size query
    if (size != nullptr) *size = needed;
    return Record("query", path, name, 0, ERROR_SUCCESS);
  }
  if (*size < needed) {
    *size = needed;  // the buffer stays untouched
    return Record("query", path, name, 0, ERROR_MORE_DATA);
  }
  if (needed != 0) std::memcpy(data, value.Data.data(), needed);
  *size = needed;
  return Record("query", path, name, 0, ERROR_SUCCESS);
}

long RegSetValueExW(RegKey key, const char16_t* name, std::uint32_t reserved, std::uint32_t type,
                    const void* data, std::uint32_t size) {
  SIM_CALL();
  if (reserved != 0) return ERROR_INVALID_PARAMETER;
  std::u16string path;
  if (!BasePath(key, &path)) return Record("set", path, name, 0, ERROR_INVALID_HANDLE);
  if (long error = InjectedError("set", path, name)) return Record("set", path, name, 0, error);
  if (data == nullptr && size != 0) return Record("set", path, name, 0, ERROR_INVALID_PARAMETER);
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  Device().Registry.Keys[path][sim::FromZ(name)] = {type, {bytes, bytes + (data ? size : 0)}};
  return Record("set", path, name, 0, ERROR_SUCCESS);
}

long RegCloseKey(RegKey key) {
  SIM_CALL();
  std::u16string path;
  if (!BasePath(key, &path)) return Record("close", u"", nullptr, 0, ERROR_INVALID_HANDLE);
  Device().Registry.Open.erase(static_cast<std::uintptr_t>(key));
  return Record("close", path, nullptr, 0, ERROR_SUCCESS);
}

// Subkeys are enumerated in name order, without regard to case.
long RegEnumKeyExW(RegKey key, std::uint32_t index, char16_t* name, std::uint32_t* nameLength) {
  SIM_CALL();
  std::u16string path;
  if (!BasePath(key, &path)) return ERROR_INVALID_HANDLE;
  if (name == nullptr || nameLength == nullptr) return ERROR_INVALID_PARAMETER;
  std::vector<std::u16string> subkeys;
  const std::u16string prefix = path + u"\\";
  const auto& keys = Device().Registry.Keys;
  for (auto it = keys.lower_bound(prefix);
       it != keys.end() && it->first.size() > prefix.size() &&
       sim::EqualNoCase(it->first.substr(0, prefix.size()), prefix);
       ++it) {
    const std::u16string rest = it->first.substr(prefix.size());
    const std::u16string child = rest.substr(0, rest.find(u'\\'));
    if (std::none_of(subkeys.begin(), subkeys.end(),
                     [&](const std::u16string& s) { return sim::EqualNoCase(s, child); })) {
      subkeys.push_back(child);
    }
  }
  std::sort(subkeys.begin(), subkeys.end(), sim::NoCase{});
  if (index >= subkeys.size()) return ERROR_NO_MORE_ITEMS;
  const std::u16string& found = subkeys[index];
  if (found.size() + 1 > *nameLength) return ERROR_MORE_DATA;
  sim::CopyBounded(found, name, static_cast<int>(*nameLength));
  *nameLength = static_cast<std::uint32_t>(found.size());
  return ERROR_SUCCESS;
}

}  // namespace plat
