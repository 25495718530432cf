// The model classes a form definition may name, on the form designer's palette page "Models".
#include "models/base/ModelClasses.h"

#include "models/operations/DelayModel.h"
#include "models/interlocking/EC_Model.h"
#include "models/movement/MoveModel.h"
#include "models/movement/SignalMoveModel.h"
#include "models/operations/InstructorModel.h"
#include "models/plan/PlanModel.h"
#include "models/technology/TecnModel.h"

namespace {
template <class T>
void Register()
{
    RegisterComponentClass(T::StaticClassType()->Name, [](TComponent* owner) -> TComponent* { return new T(owner); });
    SetComponentClassPage(T::StaticClassType()->Name, "Models");
}
} // namespace

void RegisterModelClasses()
{
    Register<TPlanModel>();
    Register<TTecnModel>();
    Register<TDelayModel>();
    Register<TInstructorModel>();
    Register<TEC_Model>();
    Register<TMoveModel>();
    Register<TSignalMoveModel>();
}
