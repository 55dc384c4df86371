// The simulated user-interface library: windows, queue, virtual-time timers, boxes, strings, menus.
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
  std::deque<int> boxAnswers;
  std::vector<sim::MessageBoxRecord> boxes;
  std::vector<std::uint32_t> beeps;
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

}  // namespace

namespace sim {
namespace internal {

void QueueMessage(plat::Window window, std::uint32_t message, plat::WParam wParam,
                  plat::LParam lParam) {
  W().queue.push_back({{window, message, wParam, lParam}, false});
}

void ResetWindowing() { W() = WindowingState{}; }

}  // namespace internal

const std::vector<WindowRecord>& Windows() { return W().windows; }

plat::Window AddForeignWindow(const std::u16string& className, const std::u16string& title) {
  SimCall mark;
  auto& s = W();
  s.windows.push_back({plat::Window(s.windows.size() + 1), className, title, true, false});
  s.procedures.push_back(nullptr);
  return s.windows.back().Handle;
}

const std::vector<PostedMessage>& PostedMessages() { return W().posted; }

void Post(plat::Window window, std::uint32_t message, plat::WParam wParam, plat::LParam lParam) {
  SimCall mark;
  if (OwnProcedure(window) == nullptr) return;  // another process's or a dead window
  internal::QueueMessage(window, message, wParam, lParam);
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

void AnswerNextMessageBox(int answer) {
  SimCall mark;
  W().boxAnswers.push_back(answer);
}
const std::vector<MessageBoxRecord>& MessageBoxes() { return W().boxes; }
const std::vector<std::uint32_t>& Beeps() { return W().beeps; }

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
  return 0;
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
  auto& s = W();
  for (;;) {
    for (auto it = s.queue.begin(); it != s.queue.end();) {
      if (it->Quit) {
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
      sim::internal::EndScenario();
      if (message) *message = {Window{}, WM_QUIT, 0, 0};
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

int MessageBoxW(Window owner, const char16_t* text, const char16_t* caption, std::uint32_t style) {
  PlatformCall call("MessageBoxW");
  auto& s = W();
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
  W().beeps.push_back(type);
  return true;
}

int LoadStringW(Instance, std::uint32_t id, char16_t* buffer, int capacity) {
  PlatformCall call("LoadStringW");
  if (buffer == nullptr || capacity <= 0) return 0;
  for (const auto& [stringId, text] : sim::Resources().Strings) {
    if (static_cast<std::uint32_t>(stringId) == id) {
      return sim::internal::CopyBounded(text, buffer, capacity);
    }
  }
  buffer[0] = u'\0';
  return 0;
}

int GetSystemMetrics(int index) {
  PlatformCall call("GetSystemMetrics");
  auto& metrics = W().metrics;
  auto it = metrics.find(index);
  return it == metrics.end() ? 0 : it->second;
}

Icon LoadImageW(Instance, std::uint16_t id, std::uint32_t type, int width, int height,
                std::uint32_t) {
  PlatformCall call("LoadImageW");
  if (type != IMAGE_ICON) return Icon{};
  for (const auto& [iconId, file] : sim::Resources().Icons) {
    if (iconId == id) {
      // Size 0 asks for the system's large icon size.
      if (width == 0) width = W().metrics[SM_CXICON];
      if (height == 0) height = W().metrics[SM_CYICON];
      return sim::internal::NewResourceIcon(id, width, height);
    }
  }
  return Icon{};
}

}  // namespace plat

// ---- Menus: live trees built from the script's templates, edited by command ----

namespace {

inline constexpr std::uint32_t MF_DISABLED = 0x0002;
inline constexpr std::uint32_t MF_POPUP = 0x0010;
inline constexpr std::uint32_t MF_BYPOSITION = 0x0400;

struct MenuEntry {
  std::uint32_t Id;
  std::u16string Text;
  bool Separator;
  bool Checked;
  bool Grayed;
  std::uintptr_t Submenu;  // menu handle of a popup entry, else 0
};

struct MenuNode {
  std::vector<MenuEntry> Items;
};

struct MenuState {
  std::map<std::uintptr_t, MenuNode> menus;  // every live menu handle, submenus included
  std::uintptr_t nextHandle = sim::internal::MenuHandleBase + 1;
  std::vector<sim::TrackedMenu> tracked;
  std::uint32_t nextChoice = 0;
};

MenuState& M() {
  static MenuState state;
  return state;
}

MenuNode* FindMenu(std::uintptr_t handle) {
  auto it = M().menus.find(handle);
  return it == M().menus.end() ? nullptr : &it->second;
}

std::uintptr_t BuildMenu(const std::vector<sim::MenuItem>& items) {
  std::uintptr_t handle = M().nextHandle++;
  M().menus[handle];
  for (const auto& item : items) {
    MenuEntry entry{item.Id, item.Text, item.Separator, item.Checked, item.Grayed, 0};
    if (item.IsPopup) {
      entry.Id = 0;
      entry.Submenu = BuildMenu(item.Submenu);
    }
    FindMenu(handle)->Items.push_back(entry);
  }
  return handle;
}

std::vector<sim::MenuItem> SnapshotMenu(std::uintptr_t handle) {
  std::vector<sim::MenuItem> out;
  MenuNode* node = FindMenu(handle);
  if (node == nullptr) return out;
  for (const auto& e : node->Items) {
    sim::MenuItem item{e.Id, e.Text, e.Separator, e.Checked, e.Grayed, {}, e.Submenu != 0};
    if (e.Submenu != 0) item.Submenu = SnapshotMenu(e.Submenu);
    out.push_back(std::move(item));
  }
  return out;
}

void DestroyMenuTree(std::uintptr_t handle) {
  MenuNode* node = FindMenu(handle);
  if (node == nullptr) return;
  std::vector<std::uintptr_t> children;
  for (const auto& e : node->Items) {
    if (e.Submenu != 0) children.push_back(e.Submenu);
  }
  M().menus.erase(handle);
  for (auto child : children) DestroyMenuTree(child);
}

struct ItemLocation {
  MenuNode* Node;
  std::size_t Index;
};

// Depth-first in item order, as Windows searches: an item's submenu before the items after it.
std::optional<ItemLocation> FindByCommand(std::uintptr_t handle, std::uint32_t id) {
  MenuNode* node = FindMenu(handle);
  if (node == nullptr) return std::nullopt;
  for (std::size_t i = 0; i < node->Items.size(); ++i) {
    const MenuEntry& e = node->Items[i];
    if (e.Submenu != 0) {
      if (auto found = FindByCommand(e.Submenu, id)) return found;
    } else if (!e.Separator && e.Id == id) {
      return ItemLocation{node, i};
    }
  }
  return std::nullopt;
}

std::optional<ItemLocation> FindItem(plat::Menu menu, std::uint32_t id, std::uint32_t flags) {
  auto handle = static_cast<std::uintptr_t>(menu);
  if ((flags & MF_BYPOSITION) == 0) return FindByCommand(handle, id);
  MenuNode* node = FindMenu(handle);
  if (node == nullptr || id >= node->Items.size()) return std::nullopt;
  return ItemLocation{node, id};
}

}  // namespace

namespace sim {
namespace internal {
void ResetMenus() { M() = MenuState{}; }
}  // namespace internal

void ChooseNextMenuCommand(std::uint32_t id) { M().nextChoice = id; }
const std::vector<TrackedMenu>& TrackedMenus() { return M().tracked; }
int LiveMenuCount() { return static_cast<int>(M().menus.size()); }

}  // namespace sim

namespace plat {

Menu LoadMenuW(Instance, std::uint16_t id) {
  PlatformCall call("LoadMenuW");
  for (const auto& [menuId, items] : sim::Resources().Menus) {
    if (menuId == id) return Menu(BuildMenu(items));
  }
  return Menu{};
}

Menu GetSubMenu(Menu menu, int position) {
  PlatformCall call("GetSubMenu");
  MenuNode* node = FindMenu(static_cast<std::uintptr_t>(menu));
  if (node == nullptr || position < 0 || static_cast<std::size_t>(position) >= node->Items.size()) {
    return Menu{};
  }
  std::uintptr_t sub = node->Items[static_cast<std::size_t>(position)].Submenu;
  return FindMenu(sub) != nullptr ? Menu(sub) : Menu{};
}

bool InsertMenuW(Menu menu, std::uint32_t beforeId, std::uint32_t flags, std::uintptr_t newId,
                 const char16_t* text) {
  PlatformCall call("InsertMenuW");
  MenuEntry entry{
      0, u"", false, (flags & MF_CHECKED) != 0, (flags & (MF_GRAYED | MF_DISABLED)) != 0, 0};
  if (flags & MF_SEPARATOR) {
    entry.Separator = true;
  } else if (flags & MF_POPUP) {
    if (FindMenu(newId) == nullptr) return false;
    entry.Submenu = newId;
    entry.Text = sim::internal::FromZ(text);
  } else {
    entry.Id = static_cast<std::uint32_t>(newId);
    entry.Text = sim::internal::FromZ(text);
  }
  if (flags & MF_BYPOSITION) {
    MenuNode* node = FindMenu(static_cast<std::uintptr_t>(menu));
    if (node == nullptr) return false;
    std::size_t at = std::min<std::size_t>(beforeId, node->Items.size());  // past the end appends
    node->Items.insert(node->Items.begin() + static_cast<std::ptrdiff_t>(at), entry);
    return true;
  }
  auto found = FindByCommand(static_cast<std::uintptr_t>(menu), beforeId);
  if (!found) return false;
  auto& items = found->Node->Items;
  items.insert(items.begin() + static_cast<std::ptrdiff_t>(found->Index), entry);
  return true;
}

bool RemoveMenu(Menu menu, std::uint32_t id, std::uint32_t flags) {
  PlatformCall call("RemoveMenu");
  auto found = FindItem(menu, id, flags);
  if (!found) return false;
  // Like Windows, a removed popup's submenu is detached, not destroyed.
  auto& items = found->Node->Items;
  items.erase(items.begin() + static_cast<std::ptrdiff_t>(found->Index));
  return true;
}

std::uint32_t CheckMenuItem(Menu menu, std::uint32_t id, std::uint32_t flags) {
  PlatformCall call("CheckMenuItem");
  auto found = FindItem(menu, id, flags);
  if (!found) return 0xFFFFFFFFu;
  MenuEntry& e = found->Node->Items[found->Index];
  std::uint32_t previous = e.Checked ? MF_CHECKED : 0;
  e.Checked = (flags & MF_CHECKED) != 0;
  return previous;
}

// True when the item exists (Windows returns its previous state, or -1 for no such item).
bool EnableMenuItem(Menu menu, std::uint32_t id, std::uint32_t flags) {
  PlatformCall call("EnableMenuItem");
  auto found = FindItem(menu, id, flags);
  if (!found) return false;
  found->Node->Items[found->Index].Grayed = (flags & (MF_GRAYED | MF_DISABLED)) != 0;
  return true;
}

bool TrackPopupMenuEx(Menu menu, std::uint32_t flags, int x, int y, Window owner) {
  PlatformCall call("TrackPopupMenuEx");
  auto handle = static_cast<std::uintptr_t>(menu);
  if (FindMenu(handle) == nullptr) return false;
  M().tracked.push_back({SnapshotMenu(handle), flags, x, y, owner});
  std::uint32_t choice = std::exchange(M().nextChoice, 0);
  if (choice != 0) sim::internal::QueueMessage(owner, WM_COMMAND, choice, 0);
  return true;
}

bool DestroyMenu(Menu menu) {
  PlatformCall call("DestroyMenu");
  auto handle = static_cast<std::uintptr_t>(menu);
  if (FindMenu(handle) == nullptr) return false;
  DestroyMenuTree(handle);
  return true;
}

}  // namespace plat
