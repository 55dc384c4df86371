// Handle and value types shared by every platform header.
// No operating-system header may be included here: the core sees only these types.
#pragma once

#include <cstdint>

namespace plat {

// Opaque handles. Zero always means "none"; backends map them to their own objects.
enum class Instance : std::uintptr_t {};
enum class Window : std::uintptr_t {};
enum class Menu : std::uintptr_t {};
enum class Icon : std::uintptr_t {};
enum class Bitmap : std::uintptr_t {};
enum class Handle : std::uintptr_t {};  // kernel objects: mutex, file search, process
enum class RegKey : std::uintptr_t {};

// The value a failed file search or object creation returns (INVALID_HANDLE_VALUE).
inline constexpr Handle InvalidHandle = Handle(~std::uintptr_t{0});

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

using WindowProc = LResult (*)(Window window, std::uint32_t message, WParam wParam, LParam lParam);

constexpr std::uint16_t LoWord(std::uintptr_t v) { return static_cast<std::uint16_t>(v & 0xFFFF); }

}  // namespace plat
