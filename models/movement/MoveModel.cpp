// The base of the movement models.
#include "models/movement/MoveModel.h"

#include "models/plan/PlanModel.h"

TMoveModel::TMoveModel(TComponent* owner) : TModel(owner) {}

TaRM_Objects* TMoveModel::Objects() const
{
    return PlanModel ? &PlanModel->Objects : nullptr;
}
