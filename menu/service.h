// Display and system service commands.
#pragma once

#include <cstdint>

inline constexpr char16_t DisplayKeyPath[] = u"Drivers\\Display\\GPE";

// LogicalPixelsX of the display driver's key; 0 when the key or value cannot be read.
std::uint32_t ReadLogicalPixelsX();
