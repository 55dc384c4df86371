// Running the program at platform events.
// Contract only.
#pragma once

#include <cstdint>

namespace plat {

inline constexpr std::uint32_t NOTIFICATION_EVENT_NONE = 0;
inline constexpr std::uint32_t NOTIFICATION_EVENT_WAKEUP = 11;

// Registers `application` to run at `event`; NOTIFICATION_EVENT_NONE removes every event
// registration of that application.
bool CeRunAppAtEvent(const char16_t* application, std::uint32_t event);

}  // namespace plat
