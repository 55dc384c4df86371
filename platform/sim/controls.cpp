// The simulated list-view, tree-view and image-list controls: what the program put in them, for
// tests to read back. A control is any live window of its class; an image list given to a list
// view goes with it when the list's window is destroyed, as on the handheld.
#include <map>

#include "platform/dialogs.h"
#include "platform/sim/device.h"
#include "platform/sim/internal.h"

namespace {

using sim::internal::PlatformCall;
using sim::internal::SimCall;

constexpr std::uintptr_t ImageListHandleBase = 0x80000;
constexpr std::uintptr_t TreeItemHandleBase = 0x90000;

struct TreeNode {
  std::u16string Text;
  std::uintptr_t Parent;  // 0: the root
};

struct TreeState {
  std::vector<std::uintptr_t> Order;  // items in insertion order
};

struct ControlsState {
  std::map<std::uintptr_t, sim::ListViewRecord> lists;
  std::map<std::uintptr_t, TreeState> trees;
  std::map<std::uintptr_t, TreeNode> treeItems;
  std::uintptr_t nextTreeItem = TreeItemHandleBase + 1;
  std::map<std::uintptr_t, sim::ImageListRecord> imageLists;
  std::uintptr_t nextImageList = ImageListHandleBase + 1;
};

ControlsState& C() {
  static ControlsState state;
  return state;
}

// Window handles are their record's position plus one (see FindWindowRecord in processes.cpp).
const sim::WindowRecord* LiveControl(plat::Window window, const char16_t* className) {
  const auto& windows = sim::Windows();
  const auto index = static_cast<std::uintptr_t>(window);
  if (index == 0 || index > windows.size()) return nullptr;
  const sim::WindowRecord& w = windows[index - 1];
  return w.Handle == window && !w.Destroyed && sim::internal::EqualNoCase(w.ClassName, className)
             ? &w
             : nullptr;
}

sim::ListViewRecord* List(plat::Window window) {
  if (LiveControl(window, u"SysListView32") == nullptr) return nullptr;
  return &C().lists[static_cast<std::uintptr_t>(window)];
}

bool ValidRow(const sim::ListViewRecord* list, int index) {
  return list != nullptr && index >= 0 && static_cast<std::size_t>(index) < list->Rows.size();
}

bool ListWindowDestroyed(std::uintptr_t handle) {
  for (const auto& w : sim::Windows()) {
    if (static_cast<std::uintptr_t>(w.Handle) == handle) return w.Destroyed;
  }
  return true;
}

void AddChildren(std::uintptr_t parent, const TreeState& tree,
                 std::vector<sim::TreeItemRecord>* out) {
  for (std::uintptr_t item : tree.Order) {
    const TreeNode& node = C().treeItems[item];
    if (node.Parent != parent) continue;
    sim::TreeItemRecord record{node.Text, {}};
    AddChildren(item, tree, &record.Children);
    out->push_back(std::move(record));
  }
}

}  // namespace

namespace sim {
namespace internal {
void ResetControls() { C() = ControlsState{}; }
}  // namespace internal

std::optional<ListViewRecord> ListView(plat::Window list) {
  SimCall mark;
  auto it = C().lists.find(static_cast<std::uintptr_t>(list));
  if (it == C().lists.end()) return std::nullopt;
  return it->second;
}

void SelectRow(plat::Window list, int index) {
  SimCall mark;
  ListViewRecord* record = List(list);
  if (record == nullptr) return;
  for (std::size_t i = 0; i < record->Rows.size(); ++i) {
    record->Rows[i].Selected = static_cast<int>(i) == index;
  }
}

std::vector<TreeItemRecord> TreeItems(plat::Window tree) {
  SimCall mark;
  std::vector<TreeItemRecord> out;
  auto it = C().trees.find(static_cast<std::uintptr_t>(tree));
  if (it != C().trees.end()) AddChildren(0, it->second, &out);
  return out;
}

std::optional<ImageListRecord> GetImageList(plat::ImageList images) {
  SimCall mark;
  auto it = C().imageLists.find(static_cast<std::uintptr_t>(images));
  if (it == C().imageLists.end()) return std::nullopt;
  return it->second;
}

int LiveImageListCount() {
  SimCall mark;
  int live = 0;
  for (const auto& [handle, images] : C().imageLists) {
    if (images.Destroyed) continue;
    bool ownerGone = false;
    for (const auto& [list, record] : C().lists) {
      if (static_cast<std::uintptr_t>(record.SmallImages) == handle && ListWindowDestroyed(list)) {
        ownerGone = true;
      }
    }
    live += ownerGone ? 0 : 1;
  }
  return live;
}

}  // namespace sim

namespace plat {

int ListViewInsertColumn(Window list, int column, int, const char16_t* header) {
  PlatformCall call("ListViewInsertColumn");
  sim::ListViewRecord* record = List(list);
  if (record == nullptr || column < 0) return -1;
  const auto at = std::min(static_cast<std::size_t>(column), record->Columns.size());
  record->Columns.insert(record->Columns.begin() + static_cast<std::ptrdiff_t>(at),
                         sim::internal::FromZ(header));
  record->Widths.insert(record->Widths.begin() + static_cast<std::ptrdiff_t>(at), 0);
  return static_cast<int>(at);
}

bool ListViewSetColumnWidth(Window list, int column, int width) {
  PlatformCall call("ListViewSetColumnWidth");
  sim::ListViewRecord* record = List(list);
  if (record == nullptr || column < 0 ||
      static_cast<std::size_t>(column) >= record->Widths.size()) {
    return false;
  }
  record->Widths[static_cast<std::size_t>(column)] = width;
  return true;
}

void ListViewSetExtendedStyle(Window list, std::uint32_t style) {
  PlatformCall call("ListViewSetExtendedStyle");
  if (sim::ListViewRecord* record = List(list)) record->ExtendedStyle = style;
}

int ListViewInsertItem(Window list, int index, const char16_t* text, int image, LParam parameter) {
  PlatformCall call("ListViewInsertItem");
  sim::ListViewRecord* record = List(list);
  if (record == nullptr || index < 0) return -1;
  const auto at = std::min(static_cast<std::size_t>(index), record->Rows.size());
  sim::ListViewRow row{{sim::internal::FromZ(text)}, image < 0 ? -1 : image, parameter, false};
  row.Cells.resize(std::max<std::size_t>(1, record->Columns.size()));
  record->Rows.insert(record->Rows.begin() + static_cast<std::ptrdiff_t>(at), row);
  return static_cast<int>(at);
}

bool ListViewSetItemText(Window list, int index, int column, const char16_t* text) {
  PlatformCall call("ListViewSetItemText");
  sim::ListViewRecord* record = List(list);
  if (!ValidRow(record, index) || column < 0) return false;
  auto& cells = record->Rows[static_cast<std::size_t>(index)].Cells;
  if (static_cast<std::size_t>(column) >= cells.size()) cells.resize(column + 1);
  cells[static_cast<std::size_t>(column)] = sim::internal::FromZ(text);
  return true;
}

bool ListViewDeleteAllItems(Window list) {
  PlatformCall call("ListViewDeleteAllItems");
  sim::ListViewRecord* record = List(list);
  if (record == nullptr) return false;
  record->Rows.clear();
  return true;
}

int ListViewGetNextItem(Window list, int start, int) {
  PlatformCall call("ListViewGetNextItem");
  sim::ListViewRecord* record = List(list);
  if (record == nullptr) return -1;
  const int next = start < 0 ? 0 : start + 1;
  return ValidRow(record, next) ? next : -1;
}

std::uint32_t ListViewGetItemState(Window list, int index, std::uint32_t mask) {
  PlatformCall call("ListViewGetItemState");
  sim::ListViewRecord* record = List(list);
  if (!ValidRow(record, index)) return 0;
  return (record->Rows[static_cast<std::size_t>(index)].Selected ? LVIS_SELECTED : 0) & mask;
}

bool ListViewGetItemParam(Window list, int index, LParam* parameter) {
  PlatformCall call("ListViewGetItemParam");
  sim::ListViewRecord* record = List(list);
  if (!ValidRow(record, index) || parameter == nullptr) return false;
  *parameter = record->Rows[static_cast<std::size_t>(index)].Parameter;
  return true;
}

ImageList ListViewSetImageList(Window list, ImageList images, int kind) {
  PlatformCall call("ListViewSetImageList");
  sim::ListViewRecord* record = List(list);
  if (record == nullptr || kind != LVSIL_SMALL) return ImageList{};
  const ImageList previous = record->SmallImages;
  record->SmallImages = images;
  return previous;
}

TreeItem TreeViewInsertItem(Window tree, TreeItem parent, const char16_t* text) {
  PlatformCall call("TreeViewInsertItem");
  if (LiveControl(tree, u"SysTreeView32") == nullptr) return TreeItem{};
  auto& s = C();
  const auto parentHandle = static_cast<std::uintptr_t>(parent);
  if (parentHandle != 0 && s.treeItems.count(parentHandle) == 0) return TreeItem{};
  const std::uintptr_t item = s.nextTreeItem++;
  s.treeItems[item] = {sim::internal::FromZ(text), parentHandle};
  s.trees[static_cast<std::uintptr_t>(tree)].Order.push_back(item);
  return TreeItem(item);
}

ImageList ImageList_Create(int width, int height, std::uint32_t flags, int, int) {
  PlatformCall call("ImageList_Create");
  if (width <= 0 || height <= 0) return ImageList{};
  const std::uintptr_t handle = C().nextImageList++;
  C().imageLists[handle] = {width, height, flags, {}, false};
  return ImageList(handle);
}

int ImageList_ReplaceIcon(ImageList images, int index, Icon icon) {
  PlatformCall call("ImageList_ReplaceIcon");
  auto it = C().imageLists.find(static_cast<std::uintptr_t>(images));
  if (it == C().imageLists.end() || it->second.Destroyed || index != -1 || icon == Icon{} ||
      !sim::GetIconPixels(icon).has_value()) {
    return -1;
  }
  it->second.Sources.push_back(sim::ShellIconSource(icon));
  return static_cast<int>(it->second.Sources.size()) - 1;
}

bool ImageList_Destroy(ImageList images) {
  PlatformCall call("ImageList_Destroy");
  auto it = C().imageLists.find(static_cast<std::uintptr_t>(images));
  if (it == C().imageLists.end() || it->second.Destroyed) return false;
  it->second.Destroyed = true;
  return true;
}

}  // namespace plat
