// The simulated user-interface library: windows, the message queue and virtual-time timers.
// Window procedures run where Windows runs them, outside the platform mark.
#include "platform/windowing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <utility>

#include "platform/sim/device.h"
#include "platform/sim/internal.h"

namespace {

using sim::internal::PlatformCall;
using sim::internal::SimCall;

struct ClassEntry {
  std::u16string Name;
  plat::WindowClass Record;
  std::uint16_t Atom;
};

struct QueuedMessage {
  plat::Message Message;
  bool Quit;
};

struct TimerEntry {
  sim::TimerRecord Record;
  std::uint64_t Order;  // ties between timers due together go by creation
};

struct WindowingState {
  std::vector<ClassEntry> classes;
  std::uint16_t nextAtom = 0xC000;
  std::vector<sim::WindowRecord> windows;  // handle = index + 1
  std::vector<plat::WindowProc> procedures;
  std::deque<QueuedMessage> queue;
  std::vector<sim::PostedMessage> posted;
  bool quitPosted = false;
  int quitCode = 0;
  std::vector<TimerEntry> timers;
  std::uint64_t nextTimerOrder = 0;
  std::uintptr_t nextThreadTimerId = 0x7F00;
  plat::LResult defaultProcessingResult = 0;
  std::map<int, int> metrics = {
      {plat::SM_CXSCREEN, 240}, {plat::SM_CYSCREEN, 320}, {plat::SM_CXICON, 32},
      {plat::SM_CYICON, 32},    {plat::SM_CXSMICON, 16},  {plat::SM_CYSMICON, 16},
  };
};

WindowingState& W() {
  static WindowingState state;
  return state;
}

sim::WindowRecord* FindWindowRecord(plat::Window window) {
  auto index = static_cast<std::uintptr_t>(window);
  auto& s = W();
  if (index == 0 || index > s.windows.size()) return nullptr;
  return &s.windows[index - 1];
}

// A live window of this process, with its procedure.
plat::WindowProc OwnProcedure(plat::Window window) {
  sim::WindowRecord* record = FindWindowRecord(window);
  if (record == nullptr || record->Destroyed || record->Foreign) return nullptr;
  return W().procedures[static_cast<std::uintptr_t>(window) - 1];
}

plat::LResult CallProcedure(plat::WindowProc procedure, plat::Window window, std::uint32_t message,
                            plat::WParam wParam, plat::LParam lParam) {
  sim::internal::ProgramCallback callback;
  return procedure(window, message, wParam, lParam);
}

// Messages below WM_USER whose parameters carry pointers: the platform delivers them only by
// sending (a posted one would reach the receiver with a pointer into another process), so
// posting one fails.
bool SendOnly(std::uint32_t message) {
  constexpr std::uint32_t pointerMessages[] = {plat::WM_CREATE,
                                               0x000C /* WM_SETTEXT */,
                                               0x000D /* WM_GETTEXT */,
                                               0x0024 /* WM_GETMINMAXINFO */,
                                               0x0046 /* WM_WINDOWPOSCHANGING */,
                                               0x0047 /* WM_WINDOWPOSCHANGED */,
                                               0x004A /* WM_COPYDATA */,
                                               0x0081 /* WM_NCCREATE */,
                                               0x0083 /* WM_NCCALCSIZE */};
  for (std::uint32_t pointerMessage : pointerMessages) {
    if (message == pointerMessage) return true;
  }
  return false;
}

// Any WM_QUIT ends GetMessageW, whether PostQuitMessage or another process posted it.
bool IsQuit(const QueuedMessage& queued) {
  return queued.Quit || queued.Message.Id == plat::WM_QUIT;
}

bool MessageMatches(const plat::Message& m, plat::Window filter, std::uint32_t first,
                    std::uint32_t last) {
  if (filter != plat::Window{} && m.Target != filter) return false;
  if (first == 0 && last == 0) return true;
  return m.Id >= first && m.Id <= last;
}

TimerEntry* FindTimerEntry(plat::Window owner, std::uintptr_t id) {
  for (auto& t : W().timers) {
    if (t.Record.Owner == owner && t.Record.Id == id) return &t;
  }
  return nullptr;
}

TimerEntry* EarliestTimer() {
  TimerEntry* best = nullptr;
  for (auto& t : W().timers) {
    if (best == nullptr || t.Record.NextDueMs < best->Record.NextDueMs ||
        (t.Record.NextDueMs == best->Record.NextDueMs && t.Order < best->Order)) {
      best = &t;
    }
  }
  return best;
}

// What GetMessageW returns: queued messages first; with none, virtual time advances to the next
// timer or script action. 0 for the quit message and, with no message, when the script has
// run out.
int NextMessage(plat::Message* message, plat::Window filter, std::uint32_t first,
                std::uint32_t last) {
  using namespace plat;
  auto& s = W();
  for (;;) {
    for (auto it = s.queue.begin(); it != s.queue.end();) {
      if (IsQuit(*it)) {
        if (message) *message = it->Message;
        s.queue.erase(it);
        return 0;
      }
      if (!MessageMatches(it->Message, filter, first, last)) {
        ++it;
        continue;
      }
      if (it->Message.Target != Window{} && OwnProcedure(it->Message.Target) == nullptr) {
        it = s.queue.erase(it);  // its window is gone
        continue;
      }
      if (message) *message = it->Message;
      s.queue.erase(it);
      return 1;
    }
    // Nothing to serve: advance virtual time to the next timer or script action.
    std::optional<std::uint32_t> action = sim::internal::NextActionTime();
    if (!action) {
      // The program would wait on; the test stops watching. No quit message: the program's
      // loop ends, but nothing tells it to end.
      sim::internal::EndScenario();
      if (message) *message = Message{};
      return 0;
    }
    TimerEntry* timer = EarliestTimer();
    if (timer != nullptr && timer->Record.NextDueMs <= *action) {
      sim::internal::AdvanceTo(timer->Record.NextDueMs);
      timer->Record.NextDueMs = sim::Now() + timer->Record.PeriodMs;
      sim::internal::QueueMessage(timer->Record.Owner, WM_TIMER, timer->Record.Id, 0);
    } else {
      sim::internal::RunNextAction();
    }
  }
}

}  // namespace

namespace sim {
namespace internal {

void QueueMessage(plat::Window window, std::uint32_t message, plat::WParam wParam,
                  plat::LParam lParam) {
  W().queue.push_back({{window, message, wParam, lParam}, false});
}

void ResetWindowing() { W() = WindowingState{}; }

plat::Window NewWindow(const std::u16string& className, const std::u16string& title,
                       plat::WindowProc procedure) {
  auto& s = W();
  plat::Window handle = plat::Window(s.windows.size() + 1);
  s.windows.push_back({handle, className, title, false, false});
  s.procedures.push_back(procedure);
  return handle;
}

void RemoveWindow(plat::Window window) {
  sim::WindowRecord* record = FindWindowRecord(window);
  if (record == nullptr || record->Destroyed) return;
  if (plat::WindowProc procedure = OwnProcedure(window)) {
    CallProcedure(procedure, window, plat::WM_DESTROY, 0, 0);
  }
  FindWindowRecord(window)->Destroyed = true;
  auto& timers = W().timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(),
                              [&](const TimerEntry& t) { return t.Record.Owner == window; }),
               timers.end());
}

PumpResult PumpOneMessage() {
  plat::Message message{};
  if (NextMessage(&message, plat::Window{}, 0, 0) == 0) {
    if (message.Id != plat::WM_QUIT) return PumpResult::ScenarioEnded;
    // Modal loops leave the quit message for the loop that runs them.
    W().queue.push_front({message, true});
    return PumpResult::Quit;
  }
  if (plat::WindowProc procedure = OwnProcedure(message.Target)) {
    CallProcedure(procedure, message.Target, message.Id, message.WParamValue, message.LParamValue);
  }
  return PumpResult::Dispatched;
}

void PumpQueued() {
  while (!W().queue.empty() && PumpOneMessage() == PumpResult::Dispatched) {
  }
}

bool RunModalLoop(plat::Window owner, const bool* ended) {
  while (!W().queue.empty() && OwnProcedure(owner) != nullptr && !*ended) {
    if (PumpOneMessage() == PumpResult::Quit) W().queue.pop_front();  // taken, as on the desktop
  }
  return OwnProcedure(owner) != nullptr;
}

int Metric(int index) {
  auto& metrics = W().metrics;
  auto it = metrics.find(index);
  return it == metrics.end() ? 0 : it->second;
}

}  // namespace internal

void SetDefaultProcessingResult(plat::LResult result) { W().defaultProcessingResult = result; }

const std::vector<WindowRecord>& Windows() { return W().windows; }

plat::Window AddForeignWindow(const std::u16string& className, const std::u16string& title) {
  SimCall mark;
  auto& s = W();
  s.windows.push_back({plat::Window(s.windows.size() + 1), className, title, true, false});
  s.procedures.push_back(nullptr);
  return s.windows.back().Handle;
}

const std::vector<PostedMessage>& PostedMessages() { return W().posted; }

bool Post(plat::Window window, std::uint32_t message, plat::WParam wParam, plat::LParam lParam) {
  SimCall mark;
  if (OwnProcedure(window) == nullptr) return false;  // another process's or a dead window
  if (SendOnly(message)) return false;
  internal::QueueMessage(window, message, wParam, lParam);
  return true;
}

plat::LResult Send(plat::Window window, std::uint32_t message, plat::WParam wParam,
                   plat::LParam lParam) {
  SimCall mark;
  plat::WindowProc procedure = OwnProcedure(window);
  if (procedure == nullptr) return 0;
  return CallProcedure(procedure, window, message, wParam, lParam);
}

bool QuitPosted() { return W().quitPosted; }
int QuitCode() { return W().quitCode; }

std::vector<TimerRecord> Timers() {
  SimCall mark;
  std::vector<TimerRecord> out;
  for (const auto& t : W().timers) out.push_back(t.Record);
  return out;
}

std::optional<TimerRecord> FindTimer(std::uintptr_t id) {
  for (const auto& t : W().timers) {
    if (t.Record.Id == id) return t.Record;
  }
  return std::nullopt;
}

void SetSystemMetric(int index, int value) {
  SimCall mark;
  auto& metrics = W().metrics;
  metrics[index] = value;
  // Icons are square: setting the width sets the height too (set the height after to differ).
  if (index == plat::SM_CXSMICON) metrics[plat::SM_CYSMICON] = value;
  if (index == plat::SM_CXICON) metrics[plat::SM_CYICON] = value;
}

}  // namespace sim

namespace plat {

std::uint16_t RegisterClassW(const WindowClass& windowClass) {
  PlatformCall call("RegisterClassW");
  auto& s = W();
  if (windowClass.ClassName == nullptr || windowClass.Procedure == nullptr) return 0;
  std::u16string name = windowClass.ClassName;
  for (const auto& c : s.classes) {
    if (sim::internal::EqualNoCase(c.Name, name)) return 0;  // already registered
  }
  ClassEntry entry{name, windowClass, s.nextAtom++};
  entry.Record.ClassName = nullptr;  // the caller's strings are not kept
  entry.Record.MenuName = nullptr;
  s.classes.push_back(entry);
  return entry.Atom;
}

Window CreateWindowExW(std::uint32_t, const char16_t* className, const char16_t* title,
                       std::uint32_t, int, int, int, int, Window, Menu, Instance, void*) {
  PlatformCall call("CreateWindowExW");
  auto& s = W();
  if (className == nullptr) return Window{};
  const ClassEntry* found = nullptr;
  for (const auto& c : s.classes) {
    if (sim::internal::EqualNoCase(c.Name, className)) found = &c;
  }
  if (found == nullptr) return Window{};
  WindowProc procedure = found->Record.Procedure;
  Window handle = Window(s.windows.size() + 1);
  s.windows.push_back({handle, found->Name, sim::internal::FromZ(title), false, false});
  s.procedures.push_back(procedure);
  // The creation record is not modelled: the program reads nothing from lParam.
  if (CallProcedure(procedure, handle, WM_CREATE, 0, 0) == -1) {
    CallProcedure(procedure, handle, WM_DESTROY, 0, 0);
    W().windows[static_cast<std::uintptr_t>(handle) - 1].Destroyed = true;
    return Window{};
  }
  return handle;
}

bool DestroyWindow(Window window) {
  PlatformCall call("DestroyWindow");
  WindowProc procedure = OwnProcedure(window);
  if (procedure == nullptr) return false;
  CallProcedure(procedure, window, WM_DESTROY, 0, 0);
  // The procedure may have run anything; look the record up again.
  FindWindowRecord(window)->Destroyed = true;
  auto& timers = W().timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(),
                              [&](const TimerEntry& t) { return t.Record.Owner == window; }),
               timers.end());
  return true;
}

LResult DefWindowProcW(Window, std::uint32_t, WParam, LParam) {
  PlatformCall call("DefWindowProcW");
  return W().defaultProcessingResult;
}

Window FindWindowW(const char16_t* className, const char16_t* title) {
  PlatformCall call("FindWindowW");
  for (const auto& w : W().windows) {
    if (w.Destroyed) continue;
    if (className != nullptr && !sim::internal::EqualNoCase(w.ClassName, className)) continue;
    if (title != nullptr && !sim::internal::EqualNoCase(w.Title, title)) continue;
    return w.Handle;
  }
  return Window{};
}

bool PostMessageW(Window window, std::uint32_t message, WParam wParam, LParam lParam) {
  PlatformCall call("PostMessageW");
  auto& s = W();
  s.posted.push_back({window, message, wParam, lParam, sim::Now()});
  if (SendOnly(message)) return false;
  if (window == Window{}) {  // a thread message
    sim::internal::QueueMessage(window, message, wParam, lParam);
    return true;
  }
  sim::WindowRecord* record = FindWindowRecord(window);
  if (record == nullptr || record->Destroyed) return false;
  if (!record->Foreign) sim::internal::QueueMessage(window, message, wParam, lParam);
  return true;
}

void PostQuitMessage(int exitCode) {
  PlatformCall call("PostQuitMessage");
  auto& s = W();
  s.quitPosted = true;
  s.quitCode = exitCode;
  for (auto& q : s.queue) {
    if (q.Quit) {  // still pending: only the code changes
      q.Message.WParamValue = static_cast<WParam>(exitCode);
      return;
    }
  }
  s.queue.push_back({{Window{}, WM_QUIT, static_cast<WParam>(exitCode), 0}, true});
}

int GetMessageW(Message* message, Window filter, std::uint32_t first, std::uint32_t last) {
  PlatformCall call("GetMessageW");
  return NextMessage(message, filter, first, last);
}

bool TranslateMessage(const Message*) {
  PlatformCall call("TranslateMessage");
  return false;  // no keyboard on the simulated handheld
}

LResult DispatchMessageW(const Message* message) {
  PlatformCall call("DispatchMessageW");
  if (message == nullptr) return 0;
  WindowProc procedure = OwnProcedure(message->Target);
  if (procedure == nullptr) return 0;
  return CallProcedure(procedure, message->Target, message->Id, message->WParamValue,
                       message->LParamValue);
}

std::uintptr_t SetTimer(Window window, std::uintptr_t id, std::uint32_t periodMs) {
  PlatformCall call("SetTimer");
  auto& s = W();
  if (window != Window{} && OwnProcedure(window) == nullptr) return 0;
  if (window == Window{}) id = s.nextThreadTimerId++;
  if (id == 0) return 0;
  // Windows raises shorter periods to its minimum; this also keeps virtual time moving.
  std::uint32_t period = std::max<std::uint32_t>(periodMs, 10);
  std::uint32_t due = sim::Now() + period;
  if (TimerEntry* existing = FindTimerEntry(window, id)) {
    existing->Record.PeriodMs = period;
    existing->Record.NextDueMs = due;
  } else {
    s.timers.push_back({{window, id, period, due}, s.nextTimerOrder++});
  }
  return id;
}

bool KillTimer(Window window, std::uintptr_t id) {
  PlatformCall call("KillTimer");
  auto& timers = W().timers;
  for (auto it = timers.begin(); it != timers.end(); ++it) {
    if (it->Record.Owner == window && it->Record.Id == id) {
      timers.erase(it);
      return true;
    }
  }
  return false;
}

int GetSystemMetrics(int index) {
  PlatformCall call("GetSystemMetrics");
  auto& metrics = W().metrics;
  auto it = metrics.find(index);
  return it == metrics.end() ? 0 : it->second;
}

}  // namespace plat
