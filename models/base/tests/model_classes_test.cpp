// Every model class can be created by its name with the right run-time class.
#include <gtest/gtest.h>

#include "models/base/Model.h"
#include "models/base/ModelClasses.h"

TEST(ModelClasses, CreatedByName)
{
    RegisterModelClasses();
    TComponent form;
    for (const char* name : {"TPlanModel", "TDelayModel", "TInstructorModel", "TEC_Model"}) {
        TComponent* c = CreateComponentByClassName(name, &form);
        ASSERT_NE(c, nullptr) << name;
        EXPECT_EQ(c->ClassName(), name);
        EXPECT_TRUE(c->InheritsFromClassName("TModel")) << name;
        EXPECT_EQ(c->Owner(), &form);
    }
}
