// The program's own resources: string-table entries, icons and dialog templates.
// Contract only.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace plat {

// Images.
inline constexpr std::uint32_t IMAGE_ICON = 1;

// Loads string-table entry `id` into `buffer` of `capacity` characters (terminator included);
// returns the characters copied, 0 when the entry is missing.
int LoadStringW(Instance module, std::uint32_t id, char16_t* buffer, int capacity);

// Loads icon resource `id` at the given size; 0 on failure.
Icon LoadImageW(Instance module, std::uint16_t id, std::uint32_t type, int width, int height,
                std::uint32_t flags);

// Dialog templates: found by identifier, then loaded; the loaded template lives as long as the
// module and is handed to DialogBoxIndirectParamW (dialogs.h).
enum class ResourceInfo : std::uintptr_t {};
inline constexpr std::uint32_t RT_DIALOG = 5;

// Finds resource `id` of `type` in the module; 0 when there is none.
ResourceInfo FindResourceW(Instance module, std::uint16_t id, std::uint32_t type);
// The resource's data; nullptr when it cannot be loaded.
const void* LoadResource(Instance module, ResourceInfo resource);

}  // namespace plat
