// Icons from bitmaps over GDI, and freeing bitmaps and icons. Making a bitmap is the stand-in's
// (stand_in_graphics.cpp): a 4-bit bitmap takes the handheld's palette.
// Windows API only.
#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::ToWindows;

namespace plat {

Icon CreateIconIndirect(const IconInfo& info) {
  ICONINFO desktopInfo{};
  desktopInfo.fIcon = info.IsIcon ? TRUE : FALSE;
  desktopInfo.xHotspot = info.HotspotX;
  desktopInfo.yHotspot = info.HotspotY;
  desktopInfo.hbmMask = ToWindows<HBITMAP>(info.Mask);
  desktopInfo.hbmColor = ToWindows<HBITMAP>(info.Color);
  return ToPlatform<Icon>(::CreateIconIndirect(&desktopInfo));
}

bool DeleteObject(Bitmap bitmap) { return ::DeleteObject(ToWindows<HBITMAP>(bitmap)) != FALSE; }

bool DestroyIcon(Icon icon) { return ::DestroyIcon(ToWindows<HICON>(icon)) != FALSE; }

}  // namespace plat
