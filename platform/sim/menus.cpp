// The simulated menus: live trees built from the script's templates, edited by command identifier,
// and tracked in a modal loop that delivers the scripted user's choice.
#include "platform/menus.h"

#include <algorithm>
#include <utility>

#include "platform/sim/device.h"

namespace {

using sim::Device;
using sim::MenuEntry;

inline constexpr std::uint32_t MF_DISABLED = 0x0002;
inline constexpr std::uint32_t MF_POPUP = 0x0010;
inline constexpr std::uint32_t MF_BYPOSITION = 0x0400;
constexpr std::size_t TrackedMenusKept = 16;

std::vector<MenuEntry>* FindMenu(plat::Menu menu) {
  auto found = Device().Menus.Live.find(menu);
  return found == Device().Menus.Live.end() ? nullptr : &found->second;
}

plat::Menu BuildMenu(const std::vector<sim::MenuItem>& items) {
  const plat::Menu handle = plat::Menu(Device().Menus.NextHandle++);
  std::vector<MenuEntry> entries;
  for (const sim::MenuItem& item : items) {
    entries.push_back({item.IsPopup ? 0 : item.Id, item.Text, item.Separator, item.Checked,
                       item.Grayed, item.IsPopup ? BuildMenu(item.Submenu) : plat::Menu{}});
  }
  Device().Menus.Live[handle] = std::move(entries);
  return handle;
}

std::vector<sim::MenuItem> Snapshot(plat::Menu menu) {
  std::vector<sim::MenuItem> items;
  if (const std::vector<MenuEntry>* entries = FindMenu(menu)) {
    for (const MenuEntry& e : *entries) {
      items.push_back({e.Id, e.Text, e.Separator, e.Checked, e.Grayed, Snapshot(e.Submenu),
                       e.Submenu != plat::Menu{}});
    }
  }
  return items;
}

void DestroyMenuTree(plat::Menu menu) {
  auto found = Device().Menus.Live.find(menu);
  if (found == Device().Menus.Live.end()) return;
  const std::vector<MenuEntry> entries = std::move(found->second);
  Device().Menus.Live.erase(found);
  for (const MenuEntry& e : entries) DestroyMenuTree(e.Submenu);
}

struct ItemLocation {
  std::vector<MenuEntry>* Entries;
  std::size_t Index;
};

// Depth-first in item order, as Windows searches: an item's submenu before the items after it.
std::optional<ItemLocation> FindByCommand(plat::Menu menu, std::uint32_t id) {
  std::vector<MenuEntry>* entries = FindMenu(menu);
  if (entries == nullptr) return std::nullopt;
  for (std::size_t i = 0; i < entries->size(); ++i) {
    const MenuEntry& e = (*entries)[i];
    if (e.Submenu != plat::Menu{}) {
      if (auto found = FindByCommand(e.Submenu, id)) return found;
    } else if (!e.Separator && e.Id == id) {
      return ItemLocation{entries, i};
    }
  }
  return std::nullopt;
}

std::optional<ItemLocation> FindItem(plat::Menu menu, std::uint32_t id, std::uint32_t flags) {
  if ((flags & MF_BYPOSITION) == 0) return FindByCommand(menu, id);
  std::vector<MenuEntry>* entries = FindMenu(menu);
  if (entries == nullptr || id >= entries->size()) return std::nullopt;
  return ItemLocation{entries, id};
}

}  // namespace

namespace plat {

Menu LoadMenuW(Instance, std::uint16_t id) {
  SIM_CALL();
  for (const auto& [menuId, items] : sim::Resources().Menus) {
    if (menuId == id) return BuildMenu(items);
  }
  return Menu{};
}

Menu GetSubMenu(Menu menu, int position) {
  SIM_CALL();
  const std::vector<MenuEntry>* entries = FindMenu(menu);
  if (entries == nullptr || position < 0 || static_cast<std::size_t>(position) >= entries->size()) {
    return Menu{};
  }
  const Menu sub = (*entries)[static_cast<std::size_t>(position)].Submenu;
  return FindMenu(sub) != nullptr ? sub : Menu{};
}

bool InsertMenuW(Menu menu, std::uint32_t beforeId, std::uint32_t flags, std::uintptr_t newId,
                 const char16_t* text) {
  SIM_CALL();
  MenuEntry entry{0,
                  sim::FromZ(text),
                  false,
                  (flags & MF_CHECKED) != 0,
                  (flags & (MF_GRAYED | MF_DISABLED)) != 0,
                  Menu{}};
  if (flags & MF_SEPARATOR) {
    entry.Separator = true;
    entry.Text.clear();
  } else if (flags & MF_POPUP) {
    if (FindMenu(Menu(newId)) == nullptr) return false;
    entry.Submenu = Menu(newId);
  } else {
    entry.Id = static_cast<std::uint32_t>(newId);
  }
  std::vector<MenuEntry>* entries = nullptr;
  std::size_t at = 0;
  if (flags & MF_BYPOSITION) {
    entries = FindMenu(menu);
    if (entries == nullptr) return false;
    at = std::min<std::size_t>(beforeId, entries->size());  // past the end appends
  } else {
    auto found = FindByCommand(menu, beforeId);
    if (!found) return false;
    entries = found->Entries;
    at = found->Index;
  }
  entries->insert(entries->begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
  return true;
}

bool RemoveMenu(Menu menu, std::uint32_t id, std::uint32_t flags) {
  SIM_CALL();
  auto found = FindItem(menu, id, flags);
  if (!found) return false;
  // Like Windows, a removed popup's submenu is detached, not destroyed.
  found->Entries->erase(found->Entries->begin() + static_cast<std::ptrdiff_t>(found->Index));
  return true;
}

std::uint32_t CheckMenuItem(Menu menu, std::uint32_t id, std::uint32_t flags) {
  SIM_CALL();
  auto found = FindItem(menu, id, flags);
  if (!found) return 0xFFFFFFFFu;
  MenuEntry* item = &(*found->Entries)[found->Index];
  const std::uint32_t previous = item->Checked ? MF_CHECKED : 0;
  item->Checked = (flags & MF_CHECKED) != 0;
  return previous;
}

// True when the item exists (Windows returns its previous state, or -1 for no such item).
bool EnableMenuItem(Menu menu, std::uint32_t id, std::uint32_t flags) {
  SIM_CALL();
  auto found = FindItem(menu, id, flags);
  if (!found) return false;
  (*found->Entries)[found->Index].Grayed = (flags & (MF_GRAYED | MF_DISABLED)) != 0;
  return true;
}

bool TrackPopupMenuEx(Menu menu, std::uint32_t flags, int x, int y, Window owner) {
  SIM_CALL();
  sim::Handheld& device = Device();
  if (FindMenu(menu) == nullptr) return false;
  auto& tracked = device.Log.Menus;
  if (tracked.size() == TrackedMenusKept) tracked.erase(tracked.begin());
  tracked.push_back({Snapshot(menu), flags, x, y, owner, false});
  const int number = ++device.Log.MenuTrackings;
  // The menu's modal loop: serves what is queued until the queue is empty, the owner is gone or
  // the program ends the menu. A quit message is taken and lost, even one posted as it ends.
  ++device.Menus.Depth;
  while (!device.Ui.Queue.empty() && sim::OwnProcedure(owner) != nullptr && !device.Menus.Ending) {
    if (sim::PumpOneMessage() == sim::PumpResult::Quit) device.Ui.Queue.pop_front();
  }
  --device.Menus.Depth;
  const bool ended = std::exchange(device.Menus.Ending, false);
  if (ended) std::erase_if(device.Ui.Queue, [](const sim::QueuedMessage& m) { return m.Quit; });
  // Marked only when no menu was tracked meanwhile: the record may have moved on.
  if (ended && device.Log.MenuTrackings == number) tracked.back().EndedByProgram = true;
  if (ended) device.Script.MenuChoice = 0;  // the user's choice went with the closed menu
  // Dismissed, without a command, when the owner is gone or the program ended the menu.
  if (ended || sim::OwnProcedure(owner) == nullptr) return false;
  const std::uint32_t choice = std::exchange(device.Script.MenuChoice, 0);
  if (choice != 0) sim::QueueMessage(owner, WM_COMMAND, choice, 0);
  return true;
}

bool EndMenu() {
  SIM_CALL();
  if (Device().Menus.Depth == 0) return false;
  Device().Menus.Ending = true;
  return true;
}

bool DestroyMenu(Menu menu) {
  SIM_CALL();
  if (FindMenu(menu) == nullptr) return false;
  DestroyMenuTree(menu);
  return true;
}

}  // namespace plat
