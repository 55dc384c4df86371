// Display and system service commands.
#include "menu/service.h"

#include "platform/registry.h"

std::uint32_t ReadLogicalPixelsX() {
  plat::RegKey key{};
  if (plat::RegOpenKeyExW(plat::HKEY_LOCAL_MACHINE, DisplayKeyPath, 0, plat::KEY_READ, &key) !=
      plat::ERROR_SUCCESS) {
    return 0;
  }
  std::uint32_t value = 0;
  std::uint32_t size = sizeof value;
  // Only a whole 4-byte value counts; a shorter one would leave part of the number unread.
  std::uint32_t read = 0;
  if (plat::RegQueryValueExW(key, u"LogicalPixelsX", nullptr, nullptr, &read, &size) ==
          plat::ERROR_SUCCESS &&
      size == sizeof read) {
    value = read;
  }
  plat::RegCloseKey(key);
  return value;
}
