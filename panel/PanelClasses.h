// Start-up registration of the panel library: its pictures in the store of named pictures and
// its component classes in the class registry.
#pragma once

void RegisterPanelBitmaps();
void RegisterPanelClasses();
