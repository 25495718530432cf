// The panel library's pictures and component classes.
#include "panel/PanelClasses.h"

#include "panel/EC_Button.h"
#include "panel/KeyClasses.h"
#include "panel/EC_Cell.h"
#include "panel/EC_Signal.h"
#include "panel/PanelBitmaps.h"
#include "platform/qt/Graphics.h"

void RegisterPanelBitmaps()
{
    for (const std::string& name : PanelBitmapNames()) RegisterBitmap(name, DrawPanelBitmap(name));
}

void RegisterPanelClasses()
{
    // Each element unit registers its own classes here.
    RegisterButtonLampClasses();
    RegisterKeyClasses();
    RegisterCellClasses();
    RegisterSignalSwitchClasses();
}
