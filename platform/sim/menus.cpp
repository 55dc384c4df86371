// The simulated menus: live trees built from the script's templates, edited by command identifier,
// and a scripted choice for every tracking. Menus live in reused slots whose entries keep their
// storage, so opening the same menu again and again settles into not allocating.
#include "platform/menus.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/sim/device.h"
#include "platform/sim/internal.h"
#include "platform/windowing.h"

// ---- Menus: live trees built from the script's templates, edited by command ----

namespace {

using sim::internal::PlatformCall;
using sim::internal::SimCall;

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

// The live entries are the first Count; those after them are spare, kept for their storage.
struct MenuNode {
  std::uintptr_t Handle = 0;  // 0: a free slot
  std::vector<MenuEntry> Items;
  std::size_t Count = 0;

  // A fresh entry at the end, reusing a spare one's storage.
  MenuEntry& Append() {
    if (Count == Items.size()) Items.emplace_back();
    return Items[Count++];
  }
  void Insert(std::size_t at, const MenuEntry& entry) {
    Assign(Append(), entry);
    std::rotate(Items.begin() + static_cast<std::ptrdiff_t>(at),
                Items.begin() + static_cast<std::ptrdiff_t>(Count - 1),
                Items.begin() + static_cast<std::ptrdiff_t>(Count));
  }
  void Remove(std::size_t at) {
    std::rotate(Items.begin() + static_cast<std::ptrdiff_t>(at),
                Items.begin() + static_cast<std::ptrdiff_t>(at + 1),
                Items.begin() + static_cast<std::ptrdiff_t>(Count));
    --Count;
  }
  static void Assign(MenuEntry& to, const MenuEntry& from) {
    to.Id = from.Id;
    to.Text.assign(from.Text);
    to.Separator = from.Separator;
    to.Checked = from.Checked;
    to.Grayed = from.Grayed;
    to.Submenu = from.Submenu;
  }
};

// The most recent trackings kept for tests; older ones make room, reusing their storage.
constexpr std::size_t TrackedMenusKept = 16;

struct MenuState {
  std::vector<MenuNode> menus;  // slots of every live menu handle, submenus included
  int liveMenus = 0;
  std::uintptr_t nextHandle = sim::internal::MenuHandleBase + 1;
  std::vector<sim::TrackedMenu> tracked;
  int trackings = 0;  // every tracking, kept or not
  std::uint32_t nextChoice = 0;
  int trackingDepth = 0;  // menus being tracked right now
  bool ending = false;    // EndMenu was called while one was tracked
};

MenuState& M() {
  static MenuState state;
  return state;
}

MenuNode* FindMenu(std::uintptr_t handle) {
  if (handle == 0) return nullptr;
  for (MenuNode& node : M().menus) {
    if (node.Handle == handle) return &node;
  }
  return nullptr;
}

// A slot for a new menu; its index, since growing the slots moves them.
std::size_t NewMenuSlot() {
  auto& menus = M().menus;
  std::size_t slot = 0;
  while (slot < menus.size() && menus[slot].Handle != 0) ++slot;
  if (slot == menus.size()) menus.emplace_back();
  menus[slot].Handle = M().nextHandle++;
  menus[slot].Count = 0;
  ++M().liveMenus;
  return slot;
}

std::uintptr_t BuildMenu(const std::vector<sim::MenuItem>& items) {
  const std::size_t slot = NewMenuSlot();
  const std::uintptr_t handle = M().menus[slot].Handle;
  for (const auto& item : items) {
    const std::uintptr_t submenu = item.IsPopup ? BuildMenu(item.Submenu) : 0;
    MenuEntry& entry = M().menus[slot].Append();
    entry.Id = item.IsPopup ? 0 : item.Id;
    entry.Text.assign(item.Text);
    entry.Separator = item.Separator;
    entry.Checked = item.Checked;
    entry.Grayed = item.Grayed;
    entry.Submenu = submenu;
  }
  return handle;
}

// Copies the tree into `out`, reusing the storage `out` already has.
void SnapshotMenu(std::uintptr_t handle, std::vector<sim::MenuItem>& out) {
  const MenuNode* node = FindMenu(handle);
  const std::size_t count = node == nullptr ? 0 : node->Count;
  out.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const MenuEntry& e = node->Items[i];
    sim::MenuItem& item = out[i];
    item.Id = e.Id;
    item.Text.assign(e.Text);
    item.Separator = e.Separator;
    item.Checked = e.Checked;
    item.Grayed = e.Grayed;
    item.IsPopup = e.Submenu != 0;
    SnapshotMenu(e.Submenu, item.Submenu);
  }
}

void DestroyMenuTree(std::uintptr_t handle) {
  MenuNode* node = FindMenu(handle);
  if (node == nullptr) return;
  node->Handle = 0;
  --M().liveMenus;
  // The freed slot's entries stay readable until the slot is taken again.
  for (std::size_t i = 0; i < node->Count; ++i) {
    if (node->Items[i].Submenu != 0) DestroyMenuTree(node->Items[i].Submenu);
  }
}

struct ItemLocation {
  MenuNode* Node;
  std::size_t Index;
};

// Depth-first in item order, as Windows searches: an item's submenu before the items after it.
std::optional<ItemLocation> FindByCommand(std::uintptr_t handle, std::uint32_t id) {
  MenuNode* node = FindMenu(handle);
  if (node == nullptr) return std::nullopt;
  for (std::size_t i = 0; i < node->Count; ++i) {
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
  if (node == nullptr || id >= node->Count) return std::nullopt;
  return ItemLocation{node, id};
}

}  // namespace

namespace sim {
namespace internal {
void ResetMenus() { M() = MenuState{}; }
}  // namespace internal

void ChooseNextMenuCommand(std::uint32_t id) { M().nextChoice = id; }
const std::vector<TrackedMenu>& TrackedMenus() { return M().tracked; }
int TrackedMenuCount() { return M().trackings; }
int LiveMenuCount() { return M().liveMenus; }

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
  if (node == nullptr || position < 0 || static_cast<std::size_t>(position) >= node->Count) {
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
  bool hasText = true;
  if (flags & MF_SEPARATOR) {
    entry.Separator = true;
    hasText = false;
  } else if (flags & MF_POPUP) {
    if (FindMenu(newId) == nullptr) return false;
    entry.Submenu = newId;
  } else {
    entry.Id = static_cast<std::uint32_t>(newId);
  }
  MenuNode* node = nullptr;
  std::size_t at = 0;
  if (flags & MF_BYPOSITION) {
    node = FindMenu(static_cast<std::uintptr_t>(menu));
    if (node == nullptr) return false;
    at = std::min<std::size_t>(beforeId, node->Count);  // past the end appends
  } else {
    auto found = FindByCommand(static_cast<std::uintptr_t>(menu), beforeId);
    if (!found) return false;
    node = found->Node;
    at = found->Index;
  }
  node->Insert(at, entry);
  // The text goes straight into the entry's own storage.
  if (hasText && text != nullptr) node->Items[at].Text.assign(text);
  return true;
}

bool RemoveMenu(Menu menu, std::uint32_t id, std::uint32_t flags) {
  PlatformCall call("RemoveMenu");
  auto found = FindItem(menu, id, flags);
  if (!found) return false;
  // Like Windows, a removed popup's submenu is detached, not destroyed.
  found->Node->Remove(found->Index);
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
  ++M().trackings;
  auto& tracked = M().tracked;
  if (tracked.size() < TrackedMenusKept) {
    tracked.emplace_back();
  } else {
    std::rotate(tracked.begin(), tracked.begin() + 1, tracked.end());
  }
  sim::TrackedMenu& record = tracked.back();
  SnapshotMenu(handle, record.Items);
  record.Flags = flags;
  record.X = x;
  record.Y = y;
  record.Owner = owner;
  record.EndedByProgram = false;
  const std::size_t kept = tracked.size() - 1;
  const int trackingNumber = M().trackings;
  ++M().trackingDepth;
  const bool open = sim::internal::RunModalLoop(owner, &M().ending);
  --M().trackingDepth;
  const bool ended = std::exchange(M().ending, false);
  // The record may have moved on if menus were tracked meanwhile; mark it only where it is.
  if (ended && M().trackings == trackingNumber) M().tracked[kept].EndedByProgram = true;
  if (ended) M().nextChoice = 0;     // the user's choice went with the closed menu
  if (!open || ended) return false;  // dismissed: no command
  std::uint32_t choice = std::exchange(M().nextChoice, 0);
  if (choice != 0) sim::internal::QueueMessage(owner, WM_COMMAND, choice, 0);
  return true;
}

bool EndMenu() {
  PlatformCall call("EndMenu");
  if (M().trackingDepth == 0) return false;
  M().ending = true;
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
