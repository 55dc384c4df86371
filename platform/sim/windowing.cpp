// The simulated user-interface library: windows, the message queue in virtual time, timers and
// the top-level windows of every process. Window procedures run as program code (CallProgram).
#include "platform/windowing.h"

#include <algorithm>

#include "platform/sim/device.h"

namespace sim {

WindowRecord* FindWindow(plat::Window window) {
  auto& windows = Device().Ui.Windows;
  const auto index = static_cast<std::uintptr_t>(window);
  return index == 0 || index > windows.size() ? nullptr : &windows[index - 1];
}

plat::WindowProc OwnProcedure(plat::Window window) {
  const WindowRecord* record = FindWindow(window);
  if (!record || record->Destroyed || record->ProcessId != ProgramProcessId) return nullptr;
  return record->Subclass ? record->Subclass : record->Procedure;
}

void QueueMessage(plat::Window window, std::uint32_t message, plat::WParam wParam,
                  plat::LParam lParam) {
  Device().Ui.Queue.push_back({{window, message, wParam, lParam}, false});
}

plat::Window NewWindow(const std::u16string& className, const std::u16string& title,
                       plat::WindowProc procedure, bool control) {
  auto& windows = Device().Ui.Windows;
  const plat::Window handle = plat::Window(windows.size() + 1);
  // Dialogs show; the program's main window does not.
  windows.push_back({handle, className, title, ProgramProcessId, className == u"#32770", control,
                     false, procedure});
  return handle;
}

void RemoveWindow(plat::Window window) {
  if (const plat::WindowProc procedure = OwnProcedure(window)) {
    CallProgram([&] { return procedure(window, plat::WM_DESTROY, 0, 0); });
  }
  // The procedure may have run anything; look the record up again.
  if (WindowRecord* record = FindWindow(window)) record->Destroyed = true;
  std::erase_if(Device().Ui.Timers, [&](const TimerRecord& t) { return t.Owner == window; });
}

namespace {

const WindowRecord* LiveWindow(plat::Window window) {
  const WindowRecord* record = FindWindow(window);
  return record == nullptr || record->Destroyed ? nullptr : record;
}

plat::LResult Dispatch(const plat::Message& message) {
  const plat::WindowProc procedure = OwnProcedure(message.Target);
  if (procedure == nullptr) return 0;
  return CallProgram([&] {
    return procedure(message.Target, message.Id, message.WParamValue, message.LParamValue);
  });
}

// What GetMessageW returns: queued messages first (any WM_QUIT ends the loop, whoever posted it);
// with none, virtual time advances to the next timer or script action. 0 for the quit message
// and, with no message, when the script has run out.
int NextMessage(plat::Message* message, plat::Window filter, std::uint32_t first,
                std::uint32_t last) {
  Handheld& device = Device();
  auto& queue = device.Ui.Queue;
  for (;;) {
    for (auto it = queue.begin(); it != queue.end();) {
      const plat::Message& m = it->Message;
      if (it->Quit || m.Id == plat::WM_QUIT) {
        if (message) *message = m;
        queue.erase(it);
        return 0;
      }
      if ((filter != plat::Window{} && m.Target != filter) ||
          ((first != 0 || last != 0) && (m.Id < first || m.Id > last))) {
        ++it;
        continue;
      }
      if (m.Target != plat::Window{} && OwnProcedure(m.Target) == nullptr) {
        it = queue.erase(it);  // its window is gone
        continue;
      }
      if (message) *message = m;
      queue.erase(it);
      return 1;
    }
    // Nothing to serve: advance virtual time to the next timer or script action.
    Script& script = device.Script;
    if (script.Actions.empty()) {
      // The program would wait on; the test stops watching. No quit message: the program's
      // loop ends, but nothing tells it to end.
      script.Ended = true;
      if (message) *message = plat::Message{};
      return 0;
    }
    const auto action = script.Actions.begin();
    const std::uint32_t actionDue = std::max(action->first.first, script.Now);
    auto& timers = device.Ui.Timers;
    auto timer = std::min_element(
        timers.begin(), timers.end(),
        [](const TimerRecord& a, const TimerRecord& b) { return a.NextDueMs < b.NextDueMs; });
    if (timer != timers.end() && timer->NextDueMs <= actionDue) {
      script.Now = std::max(script.Now, timer->NextDueMs);
      timer->NextDueMs = script.Now + timer->PeriodMs;
      QueueMessage(timer->Owner, plat::WM_TIMER, timer->Id, 0);
    } else {
      script.Now = actionDue;
      std::function<void()> run = std::move(action->second);
      script.Actions.erase(action);
      run();
    }
  }
}

// Messages below WM_USER whose parameters carry pointers: the platform delivers them only by
// sending (a posted one would reach the receiver with a pointer into another process).
bool SendOnly(std::uint32_t message) {
  constexpr std::uint32_t pointerMessages[] = {plat::WM_CREATE, 0x000C, 0x000D, 0x0024, 0x0046,
                                               0x0047,          0x004A, 0x0081, 0x0083};
  return std::ranges::find(pointerMessages, message) != std::end(pointerMessages);
}

}  // namespace

bool Post(plat::Window window, std::uint32_t message, plat::WParam wParam, plat::LParam lParam) {
  if (OwnProcedure(window) == nullptr || SendOnly(message)) return false;
  QueueMessage(window, message, wParam, lParam);
  return true;
}

plat::LResult Send(plat::Window window, std::uint32_t message, plat::WParam wParam,
                   plat::LParam lParam, bool fromOtherThread) {
  std::uint32_t& inSend = Device().Ui.InSend;
  const std::uint32_t outer = std::exchange(inSend, fromOtherThread ? plat::ISMEX_SEND : inSend);
  const plat::LResult result = Dispatch({window, message, wParam, lParam});
  inSend = outer;
  return result;
}

PumpResult PumpOneMessage() {
  plat::Message message{};
  if (NextMessage(&message, plat::Window{}, 0, 0) == 0) {
    if (message.Id != plat::WM_QUIT) return PumpResult::ScenarioEnded;
    // Modal loops leave the quit message for the loop that runs them.
    Device().Ui.Queue.push_front({message, true});
    return PumpResult::Quit;
  }
  if (!plat::UnsafeFromOutside(message.Id, plat::Delivery::Posted)) Dispatch(message);
  return PumpResult::Dispatched;
}

}  // namespace sim

namespace plat {

using sim::Device;

std::uint16_t RegisterClassW(const WindowClass& windowClass) {
  SIM_CALL();
  auto& classes = Device().Ui.Classes;
  // A class belongs to the module that registers it.
  if (!windowClass.ClassName || !windowClass.Procedure || windowClass.Module == Instance{})
    return 0;
  for (const auto& [name, procedure] : classes) {
    if (sim::EqualNoCase(name, windowClass.ClassName)) return 0;  // already registered
  }
  classes.emplace_back(windowClass.ClassName, windowClass.Procedure);
  return static_cast<std::uint16_t>(0xC000 + classes.size() - 1);
}

Window CreateWindowExW(std::uint32_t, const char16_t* className, const char16_t* title,
                       std::uint32_t, int, int, int, int, Window, Menu, Instance, void*) {
  SIM_CALL();
  if (className == nullptr || Device().Faults.WindowCreationFails) return Window{};
  const std::pair<std::u16string, WindowProc>* found = nullptr;
  for (const auto& entry : Device().Ui.Classes) {
    if (sim::EqualNoCase(entry.first, className)) found = &entry;
  }
  if (found == nullptr) return Window{};
  const WindowProc procedure = found->second;
  const Window handle = sim::NewWindow(found->first, sim::FromZ(title), procedure, false);
  // The creation record is not modelled: the program reads nothing from lParam.
  if (sim::CallProgram([&] { return procedure(handle, WM_CREATE, 0, 0); }) == -1) {
    sim::RemoveWindow(handle);
    return Window{};
  }
  return handle;
}

bool DestroyWindow(Window window) {
  SIM_CALL();
  if (sim::OwnProcedure(window) == nullptr) return false;
  sim::RemoveWindow(window);
  return true;
}

LResult DefWindowProcW(Window, std::uint32_t, WParam, LParam) {
  SIM_CALL();
  return Device().Ui.DefaultResult;
}

Window FindWindowW(const char16_t* className, const char16_t* title) {
  SIM_CALL();
  for (const sim::WindowRecord& w : Device().Ui.Windows) {
    if (!w.Destroyed && (!className || sim::EqualNoCase(w.ClassName, className)) &&
        (!title || sim::EqualNoCase(w.Title, title)))
      return w.Handle;
  }
  return Window{};
}

bool EnumWindows(EnumWindowsProc callback, LParam parameter) {
  SIM_CALL();
  if (callback == nullptr) return false;
  std::vector<Window> topLevel;
  for (const sim::WindowRecord& w : Device().Ui.Windows) {
    if (!w.Destroyed && !w.Control) topLevel.push_back(w.Handle);
  }
  for (Window window : topLevel) {
    if (sim::CallProgram([&] { return callback(window, parameter); }) == 0) return false;
  }
  return true;
}

bool IsWindowVisible(Window window) {
  SIM_CALL();
  const sim::WindowRecord* record = sim::LiveWindow(window);
  return record != nullptr && record->Visible;
}

int GetWindowTextW(Window window, char16_t* buffer, int capacity) {
  SIM_CALL();
  const sim::WindowRecord* record = sim::LiveWindow(window);
  if (buffer == nullptr || capacity <= 0) return 0;
  return sim::CopyBounded(record == nullptr ? u"" : record->Title, buffer, capacity);
}

std::uint32_t GetWindowThreadProcessId(Window window, std::uint32_t* processId) {
  SIM_CALL();
  const sim::WindowRecord* record = sim::LiveWindow(window);
  const std::uint32_t owner = record == nullptr ? 0 : record->ProcessId;
  if (processId) *processId = owner;
  return owner == 0 ? 0 : owner + 1;  // its first thread
}

Window GetShellWindow() {
  SIM_CALL();
  return Device().Ui.ShellWindow;
}

bool PostMessageW(Window window, std::uint32_t message, WParam wParam, LParam lParam) {
  SIM_CALL();
  Device().Log.Posted.push_back({window, message, wParam, lParam, Device().Script.Now});
  if (sim::SendOnly(message)) return false;
  const sim::WindowRecord* record = sim::LiveWindow(window);
  if (window != Window{} && record == nullptr) return false;
  // A thread message is queued; one to another process's window is only recorded.
  if (record == nullptr || record->ProcessId == sim::ProgramProcessId) {
    sim::QueueMessage(window, message, wParam, lParam);
  }
  return true;
}

void PostQuitMessage(int exitCode) {
  SIM_CALL();
  sim::Ui& ui = Device().Ui;
  ui.QuitPosted = true;
  ui.QuitCode = exitCode;
  // One still pending keeps its place: only its code changes.
  auto quit = std::ranges::find(ui.Queue, true, &sim::QueuedMessage::Quit);
  if (quit == ui.Queue.end()) quit = ui.Queue.insert(quit, {{Window{}, WM_QUIT, 0, 0}, true});
  quit->Message.WParamValue = static_cast<WParam>(exitCode);
}

int GetMessageW(Message* message, Window filter, std::uint32_t first, std::uint32_t last) {
  SIM_CALL();
  return sim::NextMessage(message, filter, first, last);
}

bool TranslateMessage(const Message*) {
  SIM_CALL();
  return false;  // no keyboard on the simulated handheld
}

LResult DispatchMessageW(const Message* message) {
  SIM_CALL();
  return message == nullptr ? 0 : sim::Dispatch(*message);
}

std::uintptr_t SetTimer(Window window, std::uintptr_t id, std::uint32_t periodMs) {
  SIM_CALL();
  sim::Ui& ui = Device().Ui;
  if (window != Window{} && sim::OwnProcedure(window) == nullptr) return 0;
  if (window == Window{}) id = ui.NextThreadTimer++;
  if (id == 0) return 0;
  // Windows raises shorter periods to its minimum; this also keeps virtual time moving.
  const std::uint32_t period = std::max<std::uint32_t>(periodMs, 10);
  const std::uint32_t due = Device().Script.Now + period;
  auto timer = std::ranges::find_if(
      ui.Timers, [&](const sim::TimerRecord& t) { return t.Owner == window && t.Id == id; });
  if (timer == ui.Timers.end()) timer = ui.Timers.emplace(timer);
  *timer = {window, id, period, due};  // one set again keeps its place: the order of ties
  return id;
}

std::uint32_t InSendMessageEx(void*) {
  SIM_CALL();
  return Device().Ui.InSend;
}

bool SetWindowSubclass(Window control, WindowProc procedure) {
  SIM_CALL();
  sim::WindowRecord* record = sim::FindWindow(control);
  if (!record || record->Destroyed || !record->Control || !procedure) return false;
  record->Subclass = procedure;
  return true;
}

LResult DefSubclassProc(Window control, std::uint32_t message, WParam wParam, LParam lParam) {
  SIM_CALL();
  const sim::WindowRecord* record = sim::FindWindow(control);
  return record && record->Procedure ? record->Procedure(control, message, wParam, lParam) : 0;
}

bool KillTimer(Window window, std::uintptr_t id) {
  SIM_CALL();
  return std::erase_if(Device().Ui.Timers, [&](const sim::TimerRecord& t) {
           return t.Owner == window && t.Id == id;
         }) != 0;
}

int GetSystemMetrics(int index) {
  SIM_CALL();
  const auto& metrics = Device().System.Metrics;
  const auto it = metrics.find(index);
  return it == metrics.end() ? 0 : it->second;
}

}  // namespace plat
