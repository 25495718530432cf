// TMoveModel: the base of the movement models. It moves the plan's moving objects, so it is tied
// to a plan model (the published PlanModel, set when the program is wired from its form).
#pragma once
#include "models/base/Model.h"

class TPlanModel;
class TaRM_Objects;

class TMoveModel : public TModel {
    VELO_CLASS(TMoveModel, TModel)
public:
    explicit TMoveModel(TComponent* owner = nullptr);

    // Published: the plan whose objects this model moves; none leaves the model idle.
    TPlanModel* PlanModel = nullptr;

    // The plan's moving objects; null when no plan is set.
    TaRM_Objects* Objects() const;
};
