// Event registrations of the simulated handheld: one entry per wake-up registration, removed
// all together by name, as the platform's notification database keeps them.
#include "platform/notification.h"

#include <algorithm>

#include "platform/sim/device.h"
#include "platform/sim/internal.h"

namespace {

struct NotificationState {
  std::vector<std::u16string> wakeups;
};

NotificationState& N() {
  static NotificationState state;
  return state;
}

}  // namespace

namespace sim {
namespace internal {
void ResetNotification() { N() = NotificationState{}; }
}  // namespace internal

std::vector<std::u16string> WakeupRegistrations() {
  internal::SimCall mark;
  return N().wakeups;
}

}  // namespace sim

namespace plat {

bool CeRunAppAtEvent(const char16_t* application, std::uint32_t event) {
  sim::internal::PlatformCall call("CeRunAppAtEvent");
  if (application == nullptr || application[0] == u'\0') return false;
  auto& wakeups = N().wakeups;
  if (event == NOTIFICATION_EVENT_NONE) {
    wakeups.erase(std::remove_if(wakeups.begin(), wakeups.end(),
                                 [&](const std::u16string& name) {
                                   return sim::internal::EqualNoCase(name, application);
                                 }),
                  wakeups.end());
    return true;
  }
  if (event == NOTIFICATION_EVENT_WAKEUP) {
    wakeups.emplace_back(application);
    return true;
  }
  return false;  // no other event is simulated
}

}  // namespace plat
