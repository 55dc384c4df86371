// The simulated registry: a tree of keys under HKLM and HKCU with typed values, Win32 result
// codes, and a record of every call and of the handles left open.
#include "platform/registry.h"

#include <cstring>
#include <iterator>
#include <map>
#include <memory>

#include "platform/sim/device.h"
#include "platform/sim/internal.h"

namespace {

using sim::internal::PlatformCall;

inline constexpr long ERROR_INVALID_HANDLE = 6;
inline constexpr long ERROR_INVALID_PARAMETER = 87;
inline constexpr std::uint32_t REG_CREATED_NEW_KEY = 1;
inline constexpr std::uint32_t REG_OPENED_EXISTING_KEY = 2;

struct KeyNode {
  std::map<std::u16string, std::unique_ptr<KeyNode>> Children;        // by folded name
  std::vector<std::pair<std::u16string, sim::RegistryValue>> Values;  // in order of creation
};

struct OpenKey {
  KeyNode* Node;
  std::u16string Path;
};

struct InjectedFailure {
  std::string Operation;
  long Error;
  std::u16string KeyPath;    // empty: any key
  std::u16string ValueName;  // empty: any value
};

struct RegistryState {
  std::unique_ptr<KeyNode> localMachine = std::make_unique<KeyNode>();
  std::unique_ptr<KeyNode> currentUser = std::make_unique<KeyNode>();
  std::map<std::uintptr_t, OpenKey> open;
  std::uintptr_t nextHandle = sim::internal::RegKeyHandleBase + 1;
  std::vector<sim::RegistryCall> calls;
  std::vector<InjectedFailure> failures;
};

RegistryState& R() {
  static RegistryState state;
  return state;
}

std::vector<std::u16string> SplitPath(std::u16string_view path) {
  std::vector<std::u16string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) end = path.size();
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// The node and printable path of a root or an open handle; nullptr when the handle is not one.
KeyNode* ResolveBase(plat::RegKey key, std::u16string* path) {
  auto& s = R();
  if (key == plat::HKEY_LOCAL_MACHINE) {
    *path = u"HKLM";
    return s.localMachine.get();
  }
  if (key == plat::HKEY_CURRENT_USER) {
    *path = u"HKCU";
    return s.currentUser.get();
  }
  auto it = s.open.find(static_cast<std::uintptr_t>(key));
  if (it == s.open.end()) return nullptr;
  *path = it->second.Path;
  return it->second.Node;
}

KeyNode* Walk(KeyNode* node, const std::vector<std::u16string>& parts, bool create, bool* created) {
  for (const auto& part : parts) {
    std::u16string folded = sim::internal::Folded(part);
    auto it = node->Children.find(folded);
    if (it == node->Children.end()) {
      if (!create) return nullptr;
      it = node->Children.emplace(folded, std::make_unique<KeyNode>()).first;
      if (created) *created = true;
    }
    node = it->second.get();
  }
  return node;
}

// A test path "HKLM\\A\\B" to its node.
KeyNode* NodeForPath(const std::u16string& keyPath, bool create) {
  std::vector<std::u16string> parts = SplitPath(keyPath);
  if (parts.empty()) return nullptr;
  KeyNode* root = nullptr;
  std::u16string first = sim::internal::Folded(parts.front());
  if (first == u"hklm" || first == u"hkey_local_machine") root = R().localMachine.get();
  if (first == u"hkcu" || first == u"hkey_current_user") root = R().currentUser.get();
  if (root == nullptr) return nullptr;
  parts.erase(parts.begin());
  return Walk(root, parts, create, nullptr);
}

sim::RegistryValue* FindValue(KeyNode* node, std::u16string_view name) {
  for (auto& [valueName, value] : node->Values) {
    if (sim::internal::EqualNoCase(valueName, name)) return &value;
  }
  return nullptr;
}

void StoreValue(KeyNode* node, const std::u16string& name, sim::RegistryValue value) {
  if (sim::RegistryValue* existing = FindValue(node, name)) {
    *existing = std::move(value);
  } else {
    node->Values.emplace_back(name, std::move(value));
  }
}

std::u16string JoinPath(const std::u16string& base, const char16_t* subKey) {
  std::u16string path = base;
  for (const auto& part : SplitPath(sim::internal::FromZ(subKey))) path += u"\\" + part;
  return path;
}

long Record(const char* operation, const std::u16string& path, const char16_t* valueName,
            std::uint32_t access, long result) {
  R().calls.push_back({operation, path, sim::internal::FromZ(valueName), access, result});
  return result;
}

// The error a test set up for this operation on this key and value, or ERROR_SUCCESS.
long InjectedError(const char* operation, const std::u16string& path, const char16_t* valueName) {
  for (const InjectedFailure& failure : R().failures) {
    if (failure.Operation != operation) continue;
    if (!failure.KeyPath.empty() && !sim::internal::EqualNoCase(failure.KeyPath, path)) continue;
    if (!failure.ValueName.empty() &&
        !sim::internal::EqualNoCase(failure.ValueName, sim::internal::FromZ(valueName))) {
      continue;
    }
    return failure.Error;
  }
  return plat::ERROR_SUCCESS;
}

plat::RegKey NewHandle(KeyNode* node, const std::u16string& path) {
  std::uintptr_t handle = R().nextHandle++;
  R().open[handle] = {node, path};
  return plat::RegKey(handle);
}

}  // namespace

namespace sim {
namespace internal {
void ResetRegistry() { R() = RegistryState{}; }
}  // namespace internal

void CreateRegistryKey(const std::u16string& keyPath) {
  internal::SimCall mark;
  NodeForPath(keyPath, true);
}

void SetRegistryValue(const std::u16string& keyPath, const std::u16string& name, std::uint32_t type,
                      std::vector<std::uint8_t> data) {
  internal::SimCall mark;
  KeyNode* node = NodeForPath(keyPath, true);
  if (node != nullptr) StoreValue(node, name, {type, std::move(data)});
}

void SetRegistryDword(const std::u16string& keyPath, const std::u16string& name,
                      std::uint32_t value) {
  internal::SimCall mark;
  std::vector<std::uint8_t> bytes(4);
  std::memcpy(bytes.data(), &value, 4);
  SetRegistryValue(keyPath, name, plat::REG_DWORD, std::move(bytes));
}

bool RegistryKeyExists(const std::u16string& keyPath) {
  internal::SimCall mark;
  return NodeForPath(keyPath, false) != nullptr;
}

std::optional<RegistryValue> GetRegistryValue(const std::u16string& keyPath,
                                              const std::u16string& name) {
  internal::SimCall mark;
  KeyNode* node = NodeForPath(keyPath, false);
  if (node == nullptr) return std::nullopt;
  RegistryValue* value = FindValue(node, name);
  if (value == nullptr) return std::nullopt;
  return *value;
}

std::optional<std::uint32_t> GetRegistryDword(const std::u16string& keyPath,
                                              const std::u16string& name) {
  internal::SimCall mark;
  std::optional<RegistryValue> value = GetRegistryValue(keyPath, name);
  if (!value || value->Type != plat::REG_DWORD || value->Data.size() != 4) return std::nullopt;
  std::uint32_t out;
  std::memcpy(&out, value->Data.data(), 4);
  return out;
}

std::vector<std::u16string> RegistryValueNames(const std::u16string& keyPath) {
  internal::SimCall mark;
  std::vector<std::u16string> names;
  if (KeyNode* node = NodeForPath(keyPath, false)) {
    for (const auto& value : node->Values) names.push_back(value.first);
  }
  return names;
}

const std::vector<RegistryCall>& RegistryCalls() { return R().calls; }

void FailRegistry(const std::string& operation, long error, const std::u16string& keyPath,
                  const std::u16string& valueName) {
  internal::SimCall mark;
  R().failures.push_back({operation, error, keyPath, valueName});
}
int OpenRegistryKeyCount() { return static_cast<int>(R().open.size()); }

}  // namespace sim

namespace plat {

namespace {

// Opening and creating differ only in whether missing keys on the way are made.
long OpenKey(const char* operation, RegKey root, const char16_t* subKey, std::uint32_t access,
             bool create, RegKey* result, std::uint32_t* disposition) {
  std::u16string basePath;
  KeyNode* base = ResolveBase(root, &basePath);
  std::u16string path = JoinPath(basePath, subKey);
  if (result == nullptr) return Record(operation, path, nullptr, access, ERROR_INVALID_PARAMETER);
  *result = RegKey{};
  if (base == nullptr) return Record(operation, path, nullptr, access, ERROR_INVALID_HANDLE);
  if (long error = InjectedError(operation, path, nullptr)) {
    return Record(operation, path, nullptr, access, error);
  }
  bool created = false;
  KeyNode* node = Walk(base, SplitPath(sim::internal::FromZ(subKey)), create, &created);
  if (node == nullptr) return Record(operation, path, nullptr, access, ERROR_FILE_NOT_FOUND);
  if (disposition != nullptr) {
    *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  }
  *result = NewHandle(node, path);
  return Record(operation, path, nullptr, access, ERROR_SUCCESS);
}

}  // namespace

long RegOpenKeyExW(RegKey root, const char16_t* subKey, std::uint32_t, std::uint32_t access,
                   RegKey* result) {
  PlatformCall call("RegOpenKeyExW");
  return OpenKey("open", root, subKey, access, false, result, nullptr);
}

long RegCreateKeyExW(RegKey root, const char16_t* subKey, std::uint32_t, const char16_t*,
                     std::uint32_t, std::uint32_t access, void*, RegKey* result,
                     std::uint32_t* disposition) {
  PlatformCall call("RegCreateKeyExW");
  return OpenKey("create", root, subKey, access, true, result, disposition);
}

long RegQueryValueExW(RegKey key, const char16_t* name, std::uint32_t*, std::uint32_t* type,
                      void* data, std::uint32_t* size) {
  PlatformCall call("RegQueryValueExW");
  std::u16string path;
  KeyNode* node = ResolveBase(key, &path);
  if (node == nullptr) return Record("query", path, name, 0, ERROR_INVALID_HANDLE);
  if (long error = InjectedError("query", path, name)) return Record("query", path, name, 0, error);
  const sim::RegistryValue* value = FindValue(node, sim::internal::FromZ(name));
  if (value == nullptr) return Record("query", path, name, 0, ERROR_FILE_NOT_FOUND);
  if (data != nullptr && size == nullptr) {
    return Record("query", path, name, 0, ERROR_INVALID_PARAMETER);
  }
  auto needed = static_cast<std::uint32_t>(value->Data.size());
  if (type != nullptr) *type = value->Type;
  if (data == nullptr) {  // a size query
    if (size != nullptr) *size = needed;
    return Record("query", path, name, 0, ERROR_SUCCESS);
  }
  if (*size < needed) {
    *size = needed;  // the buffer stays untouched
    return Record("query", path, name, 0, ERROR_MORE_DATA);
  }
  if (needed != 0) std::memcpy(data, value->Data.data(), needed);
  *size = needed;
  return Record("query", path, name, 0, ERROR_SUCCESS);
}

long RegSetValueExW(RegKey key, const char16_t* name, std::uint32_t, std::uint32_t type,
                    const void* data, std::uint32_t size) {
  PlatformCall call("RegSetValueExW");
  std::u16string path;
  KeyNode* node = ResolveBase(key, &path);
  if (node == nullptr) return Record("set", path, name, 0, ERROR_INVALID_HANDLE);
  if (long error = InjectedError("set", path, name)) return Record("set", path, name, 0, error);
  if (data == nullptr && size != 0) return Record("set", path, name, 0, ERROR_INVALID_PARAMETER);
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::vector<std::uint8_t> copy(bytes, bytes + (data ? size : 0));
  StoreValue(node, sim::internal::FromZ(name), {type, std::move(copy)});
  return Record("set", path, name, 0, ERROR_SUCCESS);
}

long RegCloseKey(RegKey key) {
  PlatformCall call("RegCloseKey");
  if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER) {
    return Record("close", key == HKEY_LOCAL_MACHINE ? u"HKLM" : u"HKCU", nullptr, 0,
                  ERROR_SUCCESS);
  }
  auto it = R().open.find(static_cast<std::uintptr_t>(key));
  if (it == R().open.end()) return Record("close", u"", nullptr, 0, ERROR_INVALID_HANDLE);
  std::u16string path = it->second.Path;
  R().open.erase(it);
  return Record("close", path, nullptr, 0, ERROR_SUCCESS);
}

}  // namespace plat

namespace plat {

// Subkeys are enumerated by their stored (case-folded) names, in name order.
long RegEnumKeyExW(RegKey key, std::uint32_t index, char16_t* name, std::uint32_t* nameLength) {
  PlatformCall call("RegEnumKeyExW");
  std::u16string path;
  KeyNode* node = ResolveBase(key, &path);
  if (node == nullptr) return ERROR_INVALID_HANDLE;
  if (name == nullptr || nameLength == nullptr) return ERROR_INVALID_PARAMETER;
  if (index >= node->Children.size()) return ERROR_NO_MORE_ITEMS;
  auto it = node->Children.begin();
  std::advance(it, index);
  if (it->first.size() + 1 > *nameLength) return ERROR_MORE_DATA;
  sim::internal::CopyBounded(it->first, name, static_cast<int>(*nameLength));
  *nameLength = static_cast<std::uint32_t>(it->first.size());
  return ERROR_SUCCESS;
}

}  // namespace plat
