// The tray icon refresh: measure the shown quantity, decide, draw.
#pragma once

// Called by the icon timer, start-up, a successful clock apply and a change of view or colours
// (start-up and the last two set ForceIconRedraw first). Plain: the program's icon. Load: takes one
// idle-time sample into SampleHistory and redraws the graph. Frequency, Memory, Battery, Current:
// draws the number unless it equals LastDrawnValue and no redraw is forced. Platform failures pass
// silently: a value that could not be read is drawn as read, a tray that refused keeps its icon.
void RefreshTrayIcon();

// Starts the load graph afresh: every sample idle (100), as at start-up and on a view change.
void ResetLoadHistory();
