// The simulated menus: live trees built from the script's templates, edited by command identifier,
// and a scripted choice for every tracking.
#include "platform/menus.h"

#include <map>
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
  if (!sim::internal::RunModalLoop(owner)) return false;  // dismissed: no command
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
