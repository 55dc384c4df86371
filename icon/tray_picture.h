// Handing icon pictures to the notification area.
#pragma once

#include "icon/picture.h"

// Makes an icon of the picture and puts it in the tray; the icon it replaces is destroyed.
void SetTrayIconPicture(const IconPicture& picture);
// Puts the program's own icon (resource 100) in the tray at the current IconScale.
void SetPlainTrayIcon();
