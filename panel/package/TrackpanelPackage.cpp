// The trackpanel component package: the shared library a form designer loads. The trainer links
// the same elements in but never registers their palette pages; only the designer needs them.
#include <utility>

#include "platform/core/Package.h"
#include "panel/PanelClasses.h"
#include "platform/core/Component.h"

namespace {
// Every element class with the palette page it is shown on.
const std::pair<const char*, const char*> kPalette[] = {
    {"TEC_Cell", "Samples"},          {"TEC_Cell45", "Samples"},         {"TEC_Cell60", "Samples"},
    {"TEC_Cell90", "Samples"},        {"TEC_Cell120", "Samples"},        {"TEC_Cell135", "Samples"},
    {"TEC_Separator", "Samples"},     {"TEC_WhiteLine", "Samples"},      {"TEC_Endway", "Samples"},
    {"TEC_Peregon", "Samples"},       {"TEC_Block", "Samples"},          {"TEC_DirectAB", "Samples"},
    {"TMRC_Cell", "EC_Interface"},    {"TMRC_Cell45", "EC_Interface"},   {"TMRC_Cell120", "EC_Interface"},
    {"TMRC_Cell135", "EC_Interface"}, {"TMRC_RoutePointer", "EC_Interface"},
    {"TEC_Section", "Samples"},       {"TEC_Section2", "EC_Interface"},  {"TEC_Section4", "EC_Interface"},
    {"TEC_Section8", "EC_Interface"}, {"TEC_Section16", "EC_Interface"}, {"TEC_Signal", "Samples"},
    {"TEC_Switch", "EC_Interface"},   {"TEC_Button", "EC_Interface"},    {"TEC_PlButton", "EC_Interface"},
    {"TEC_ButtonLamp", "EC_Interface"}, {"TEC_ButtonGreen", "EC_Interface"}, {"TEC_ButtonRed", "EC_Interface"},
    {"TEC_Lamp", "EC_Interface"},     {"TEC_ButtonGor", "Samples"},      {"TEC_Amper", "Samples"},
    {"TTrenagerStatusBar", "EC_Interface"}, {"TEC_ComutatorButton", "Samples"},
    {"TEC_ConnectButton", "Samples"}, {"TConnection", "EC_Interface"},   {"TEC_Speaker", "MyComponents"},
};
} // namespace

extern "C" VELO_PACKAGE_EXPORT void RegisterTrackpanelPackage(TPaletteSink sink, void* context)
{
    RegisterPanelClasses();
    for (const auto& [name, page] : kPalette) {
        if (!IsComponentClassRegistered(name)) continue;
        SetComponentClassPage(name, page);
        if (sink) sink(context, page, name);
    }
}
