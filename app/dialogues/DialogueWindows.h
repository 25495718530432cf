// The classes of the dialogue and channel windows, added to the program's table of windows.
#pragma once

// Adds every dialogue and channel window to the table from which the windows are made; call it
// once before the windows are created.
void RegisterDialogueWindows();
