// The modal user interface: dialog boxes from the program's templates, message boxes and beeps.
// Contract only. Each modal call runs its own message loop on the user-interface thread and
// returns when the user has answered; meanwhile the thread's other windows keep receiving their
// messages and timers, so the program may be re-entered from inside the call.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace plat {

// Message box styles and answers.
inline constexpr std::uint32_t MB_OK = 0x00000000;
inline constexpr std::uint32_t MB_YESNO = 0x00000004;
inline constexpr std::uint32_t MB_ICONHAND = 0x00000010;
inline constexpr std::uint32_t MB_ICONQUESTION = 0x00000020;
inline constexpr std::uint32_t MB_ICONEXCLAMATION = 0x00000030;
inline constexpr std::uint32_t MB_ICONASTERISK = 0x00000040;
inline constexpr std::uint32_t MB_DEFBUTTON2 = 0x00000100;
inline constexpr std::uint32_t MB_SETFOREGROUND = 0x00010000;
inline constexpr std::uint32_t MB_TOPMOST = 0x00040000;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// ---- Dialog boxes -----------------------------------------------------------------------

inline constexpr std::uint32_t WM_INITDIALOG = 0x0110;

// A dialog procedure: returns non-zero when it handled the message, 0 to leave it to the
// platform's dialog manager.
inline constexpr std::intptr_t DialogHandled = 1;
inline constexpr std::intptr_t DialogNotHandled = 0;
using DialogProc = std::intptr_t (*)(Window dialog, std::uint32_t message, WParam wParam,
                                     LParam lParam);

// Runs a modal dialog from a loaded template (see resources.h, FindResourceW and LoadResource).
// The procedure receives WM_INITDIALOG once, with `initParam` as lParam, before the dialog shows
// (one that another process sends later goes to the default handling), then every message of
// the dialog. EndDialog hides the dialog; its loop returns once no dialog opened from inside it
// runs any more, and messages that reach the dialog meanwhile still go to the procedure. Every
// running dialog answers its keys (Escape, Enter, Tab), not only the innermost one. Returns the
// result given to EndDialog, or -1 when the dialog could not be made (the procedure was never
// called). A quit message arriving in the dialog's loop ends the dialog and stays queued for the
// caller.
LResult DialogBoxIndirectParamW(Instance module, const void* dialogTemplate, Window owner,
                                DialogProc procedure, LParam initParam);

// Ends a dialog run by DialogBoxIndirectParamW: its loop returns `result` once the current
// message is handled. False when `dialog` is no open dialog.
bool EndDialog(Window dialog, LResult result);

// The control `id` of a dialog; 0 when there is none.
Window GetDlgItem(Window dialog, int id);

// Brings a window to the front and gives it the input focus.
bool SetForegroundWindow(Window window);

// ---- Controls of the dialogs: list view, tree view, image lists ---------------------------

enum class ImageList : std::uintptr_t {};
enum class TreeItem : std::uintptr_t {};  // 0 is the root of the tree

inline constexpr int LVCFMT_LEFT = 0;
inline constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;
inline constexpr std::uint32_t LVS_EX_FULLROWSELECT = 0x20;
inline constexpr std::uint32_t LVIS_SELECTED = 0x2;
inline constexpr int LVNI_ALL = 0;
inline constexpr int LVSIL_SMALL = 1;
inline constexpr std::uint32_t ILC_COLORDDB = 0xFE;

// Report-view list: columns, rows (an item with its text, image index and 32-bit parameter) and
// their cells. Every text is copied by the control. Index results are -1 on failure. An image
// index below 0 gives the item no image.
int ListViewInsertColumn(Window list, int column, int format, const char16_t* header);
bool ListViewSetColumnWidth(Window list, int column, int width);
void ListViewSetExtendedStyle(Window list, std::uint32_t style);
int ListViewInsertItem(Window list, int index, const char16_t* text, int image, LParam parameter);
bool ListViewSetItemText(Window list, int index, int column, const char16_t* text);
bool ListViewDeleteAllItems(Window list);
// The next item after `start` (-1: the first) in any state; -1 when there is none.
int ListViewGetNextItem(Window list, int start, int flags);
std::uint32_t ListViewGetItemState(Window list, int index, std::uint32_t mask);
// The parameter of item `index`; false when there is no such item.
bool ListViewGetItemParam(Window list, int index, LParam* parameter);
// Gives the list its image list of `kind`; returns the one it had, which the caller now owns.
ImageList ListViewSetImageList(Window list, ImageList images, int kind);

// Turns a list's or tree's drawing off while many of its rows change, so that it is not drawn
// again row by row, and back on, which draws the whole control once.
void SetWindowRedraw(Window control, bool redraw);

// Tree: appends an item with `text` as the last child of `parent`; 0 on failure.
TreeItem TreeViewInsertItem(Window tree, TreeItem parent, const char16_t* text);

// Image lists of square icons. ImageList_ReplaceIcon with index -1 appends a copy of the icon and
// returns its index (-1 on failure); the caller still owns `icon`.
ImageList ImageList_Create(int width, int height, std::uint32_t flags, int initial, int grow);
int ImageList_ReplaceIcon(ImageList images, int index, Icon icon);
bool ImageList_Destroy(ImageList images);

// ---- Message boxes and beeps ------------------------------------------------------------

// Modal message box with the platform's own loop; returns the button pressed.
int MessageBoxW(Window owner, const char16_t* text, const char16_t* caption, std::uint32_t style);
bool MessageBeep(std::uint32_t type);

}  // namespace plat
