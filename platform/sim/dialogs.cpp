// The simulated modal user interface: message boxes answered by the script, and beeps.
#include "platform/dialogs.h"

#include <deque>
#include <vector>

#include "platform/sim/device.h"
#include "platform/sim/internal.h"

namespace {

using sim::internal::PlatformCall;
using sim::internal::SimCall;

struct DialogsState {
  std::deque<int> boxAnswers;
  std::vector<sim::MessageBoxRecord> boxes;
  std::vector<std::uint32_t> beeps;
};

DialogsState& D() {
  static DialogsState state;
  return state;
}

}  // namespace

namespace sim {
namespace internal {
void ResetDialogs() { D() = DialogsState{}; }
}  // namespace internal

void AnswerNextMessageBox(int answer) {
  SimCall mark;
  D().boxAnswers.push_back(answer);
}
const std::vector<MessageBoxRecord>& MessageBoxes() { return D().boxes; }
const std::vector<std::uint32_t>& Beeps() { return D().beeps; }

}  // namespace sim

namespace plat {

int MessageBoxW(Window owner, const char16_t* text, const char16_t* caption, std::uint32_t style) {
  PlatformCall call("MessageBoxW");
  auto& s = D();
  int answer;
  if (!s.boxAnswers.empty()) {
    answer = s.boxAnswers.front();
    s.boxAnswers.pop_front();
  } else {
    answer = (style & 0xF) == MB_OK ? IDOK : IDNO;
  }
  s.boxes.push_back(
      {owner, sim::internal::FromZ(text), sim::internal::FromZ(caption), style, answer});
  return answer;
}

bool MessageBeep(std::uint32_t type) {
  PlatformCall call("MessageBeep");
  D().beeps.push_back(type);
  return true;
}

}  // namespace plat
