// Start-up notices: a string-table entry in an ownerless, topmost box captioned "Zorvik".
#pragma once

#include <cstdint>

#include "platform/dialogs.h"

inline constexpr std::uint32_t NoticeStyle =
    plat::MB_OK | plat::MB_ICONEXCLAMATION | plat::MB_SETFOREGROUND | plat::MB_TOPMOST;
static_assert(NoticeStyle == 0x00050030);

inline constexpr char16_t NoticeCaption[] = u"Zorvik";

// Loads string-table entry `stringId` into TextBuffer and shows it.
void ShowNotice(std::uint32_t stringId);
