// List views, tree views and image lists over the common controls.
// Windows API only; no program logic.
#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::ToWindows;

namespace {

HWND Hwnd(plat::Window window) { return ToWindows<HWND>(window); }

// The controls take their texts as writable pointers but only read them.
LPWSTR Text(const char16_t* text) {
  return const_cast<LPWSTR>(reinterpret_cast<LPCWSTR>(text != nullptr ? text : u""));
}

}  // namespace

namespace plat {

int ListViewInsertColumn(Window list, int column, int format, const char16_t* header) {
  LVCOLUMNW desktop{};
  desktop.mask = LVCF_FMT | LVCF_TEXT;
  desktop.fmt = format;
  desktop.pszText = Text(header);
  return ListView_InsertColumn(Hwnd(list), column, &desktop);
}

bool ListViewSetColumnWidth(Window list, int column, int width) {
  return ListView_SetColumnWidth(Hwnd(list), column, width) != FALSE;
}

void ListViewSetExtendedStyle(Window list, std::uint32_t style) {
  ListView_SetExtendedListViewStyle(Hwnd(list), style);
}

int ListViewInsertItem(Window list, int index, const char16_t* text, int image, LParam parameter) {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = index;
  item.pszText = Text(text);
  item.iImage = image;
  item.lParam = parameter;
  return ListView_InsertItem(Hwnd(list), &item);
}

bool ListViewSetItemText(Window list, int index, int column, const char16_t* text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = Text(text);
  return ::SendMessageW(Hwnd(list), LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&item)) != FALSE;
}

bool ListViewDeleteAllItems(Window list) { return ListView_DeleteAllItems(Hwnd(list)) != FALSE; }

int ListViewGetNextItem(Window list, int start, int flags) {
  return ListView_GetNextItem(Hwnd(list), start, flags);
}

std::uint32_t ListViewGetItemState(Window list, int index, std::uint32_t mask) {
  return ListView_GetItemState(Hwnd(list), index, mask);
}

bool ListViewGetItemParam(Window list, int index, LParam* parameter) {
  if (parameter == nullptr) return false;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (!ListView_GetItem(Hwnd(list), &item)) return false;
  *parameter = item.lParam;
  return true;
}

ImageList ListViewSetImageList(Window list, ImageList images, int kind) {
  return ToPlatform<ImageList>(
      ListView_SetImageList(Hwnd(list), ToWindows<HIMAGELIST>(images), kind));
}

TreeItem TreeViewInsertItem(Window tree, TreeItem parent, const char16_t* text) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent == TreeItem{} ? TVI_ROOT : ToWindows<HTREEITEM>(parent);
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = Text(text);
  return ToPlatform<TreeItem>(TreeView_InsertItem(Hwnd(tree), &insert));
}

ImageList ImageList_Create(int width, int height, std::uint32_t flags, int initial, int grow) {
  // The desktop draws an icon's transparent parts only from a masked list.
  return ToPlatform<ImageList>(::ImageList_Create(width, height, flags | ILC_MASK, initial, grow));
}

int ImageList_ReplaceIcon(ImageList images, int index, Icon icon) {
  return ::ImageList_ReplaceIcon(ToWindows<HIMAGELIST>(images), index, ToWindows<HICON>(icon));
}

bool ImageList_Destroy(ImageList images) {
  return ::ImageList_Destroy(ToWindows<HIMAGELIST>(images)) != FALSE;
}

}  // namespace plat
