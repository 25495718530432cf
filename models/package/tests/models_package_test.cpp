// The Models package loads on its own and puts every model class on the palette page "Models".
#include <gtest/gtest.h>

#include "platform/core/tests/PackageLoader.h"

TEST(ModelsPackage, RegistersTheModelClassesOnTheirPage)
{
    TLoadedPackage p(VELO_PACKAGE_FILE, "RegisterModelsPackage");
    ASSERT_EQ(p.error, "");
    for (const char* name : {"TPlanModel", "TTecnModel", "TEC_Model", "TDelayModel", "TInstructorModel", "TMoveModel",
                             "TSignalMoveModel"})
        EXPECT_EQ(p.pageOf[name], "Models") << name;
}
