// The tray icon refresh: measure the shown quantity, decide, draw.
#pragma once

void RefreshTrayIcon();
