// Handing icon pictures to the notification area.
// Keeps one rule: the tray record holds exactly one icon of ours; the one it replaces is destroyed.
#include "icon/tray_picture.h"

#include "base/ids.h"
#include "base/state.h"
#include "platform/graphics.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/windowing.h"

namespace {

constexpr plat::Icon NoIcon{};
constexpr plat::Bitmap NoBitmap{};

int IconSide() { return AppState.IconScale == 2 ? 32 : 16; }

// The shell keeps its own copy of the picture, so the old icon can go once the record holds
// the new one, whether or not the shell took the modify.
void ReplaceTrayIcon(plat::Icon icon) {
  const plat::Icon previous = AppState.TrayIconData.IconHandle;
  AppState.TrayIconData.IconHandle = icon;
  plat::Shell_NotifyIcon(plat::NIM_MODIFY, &AppState.TrayIconData);
  if (previous != NoIcon && previous != icon) plat::DestroyIcon(previous);
}

}  // namespace

void SetTrayIconPicture(const IconPicture& picture) {
  const int side = picture.Side == 32 ? 32 : 16;
  const plat::Bitmap color = plat::CreateBitmap(side, side, 1, 4, picture.Color);
  const plat::Bitmap mask = plat::CreateBitmap(side, side, 1, 1, picture.Mask);
  plat::Icon icon = NoIcon;
  if (color != NoBitmap && mask != NoBitmap) {
    icon = plat::CreateIconIndirect(plat::IconInfo{true, 0, 0, mask, color});
  }
  if (color != NoBitmap) plat::DeleteObject(color);
  if (mask != NoBitmap) plat::DeleteObject(mask);
  // Without a new icon the tray keeps showing the last one.
  if (icon != NoIcon) ReplaceTrayIcon(icon);
}

void SetPlainTrayIcon() {
  const int side = IconSide();
  const plat::Icon icon =
      plat::LoadImageW(AppState.Instance, IDI_PROGRAM, plat::IMAGE_ICON, side, side, 0);
  if (icon != NoIcon) ReplaceTrayIcon(icon);
}
