// The model classes a form definition may name.
#include "models/ModelClasses.h"

#include "models/DelayModel.h"
#include "models/EC_Model.h"
#include "models/InstructorModel.h"
#include "models/PlanModel.h"

namespace {
template <class T>
void Register()
{
    RegisterComponentClass(T::StaticClassType()->Name, [](TComponent* owner) -> TComponent* { return new T(owner); });
}
} // namespace

void RegisterModelClasses()
{
    Register<TPlanModel>();
    Register<TDelayModel>();
    Register<TInstructorModel>();
    Register<TEC_Model>();
}
