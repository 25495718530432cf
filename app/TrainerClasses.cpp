// The properties of the models as the main window's definition sets them.
#include "app/TrainerClasses.h"

#include "app/PanelAdapters.h"
#include "app/UtilityWindows.h"
#include "models/base/Model.h"
#include "models/base/ModelClasses.h"
#include "models/movement/MoveModel.h"
#include "models/plan/PlanModel.h"
#include "models/technology/TecnModel.h"
#include "panel/PanelClasses.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Forms.h"
#include "platform/qt/Properties.h"
#include "platform/core/CFormat.h"

void RegisterTrainerClasses()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterQtPlatformClasses();
    RegisterModelClasses();
    RegisterPanelBitmaps();
    RegisterPanelClasses();
    RegisterPanelLinks();
    RegisterUtilityWindowProperties();
    // The switch frame placed on the panel once per switch.
    RegisterFrameClass("TFrame1", ":/app/forms/SwichGr.vfm");
    RegisterStringProperty<TModel>("FileName", [](TModel& m, const std::string& v) { m.FileName = v; });
    RegisterEventProperty<TModel, TSendMessageEvent>("OnSendMessage", [](TModel& m, TSendMessageEvent e) { m.OnSendMessage = e; });
    RegisterEventProperty<TModel, TChangeStateEvent>("OnChangeState", [](TModel& m, TChangeStateEvent e) { m.OnChangeState = e; });
    // A movement model's plan: PlanModel = PlanModel.
    RegisterReferenceProperty<TMoveModel, TPlanModel>("PlanModel", [](TMoveModel& m, TPlanModel* p) { m.PlanModel = p; });
    // The technology model's configured executors: ExecutorArray.Executor00.Number = 1 ...
    RegisterObjectProperty<TTecnModel>("ExecutorArray", [](TTecnModel& m) -> TPersistent* { return m.ExecutorArray; });
    for (int i = 0; i < TExecutors::kCount; ++i)
        RegisterObjectProperty<TExecutors>(Format("Executor%02d", i), [i](TExecutors& t) -> TPersistent* { return t[i]; });
    RegisterIntProperty<TExecutor>("Number", [](TExecutor& e, int v) { e.Number = v; });
    RegisterStringProperty<TExecutor>("ExecName", [](TExecutor& e, const std::string& v) { e.ExecName = v; });
    RegisterStringProperty<TExecutor>("Scill", [](TExecutor& e, const std::string& v) { e.SetScill(v); });
}
