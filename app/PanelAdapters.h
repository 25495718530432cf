// Links from the panel library's element classes to the interfaces of PanelLinks.h.
#pragma once

// Registers the link of every element class the main window reaches. Safe to call more than once.
void RegisterPanelLinks();
