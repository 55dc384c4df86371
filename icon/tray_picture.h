// Handing icon pictures to the notification area.
#pragma once

#include "icon/picture.h"

// Makes an icon of the picture (4-bit colour and 1-bit mask bitmaps, deleted once the icon
// exists), puts it into AppState.TrayIconData and modifies the tray icon with it. The icon it
// replaces is destroyed, so the record always holds the one live icon of ours. When the icon
// cannot be made, the tray keeps the one it has.
void SetTrayIconPicture(const IconPicture& picture);
// Puts the program's own icon (resource 100) at 16 x IconScale pixels into the tray the same way.
void SetPlainTrayIcon();
