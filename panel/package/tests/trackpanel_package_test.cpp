// The trackpanel package loads on its own and puts its elements on the designer's pages.
#include <gtest/gtest.h>

#include "platform/core/tests/PackageLoader.h"

TEST(TrackpanelPackage, RegistersTheElementsOnTheirPages)
{
    TLoadedPackage p(VELO_PACKAGE_FILE, "RegisterTrackpanelPackage");
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.pageOf["TEC_Cell"], "Samples");
    EXPECT_EQ(p.pageOf["TMRC_RoutePointer"], "EC_Interface");
    EXPECT_EQ(p.pageOf["TEC_Signal"], "Samples");
    EXPECT_EQ(p.pageOf["TEC_Switch"], "EC_Interface");
    EXPECT_EQ(p.pageOf["TEC_Speaker"], "MyComponents");
    EXPECT_EQ(p.pageOf.size(), 37u);
}
