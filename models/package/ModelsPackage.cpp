// The Models component package: the shared library a form designer loads. Its one exported
// function registers the model classes and reports each with its palette page to the designer.
#include "models/base/ModelClasses.h"
#include "platform/core/Package.h"
#include "platform/core/Component.h"

extern "C" VELO_PACKAGE_EXPORT void RegisterModelsPackage(TPaletteSink sink, void* context)
{
    RegisterModelClasses();
    for (const char* name : {"TPlanModel", "TTecnModel", "TDelayModel", "TInstructorModel", "TEC_Model",
                             "TMoveModel", "TSignalMoveModel"})
        if (sink) sink(context, ComponentClassPage(name).c_str(), name);
}
