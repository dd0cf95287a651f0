// The start-up decision about the build's bitness.
#include <gtest/gtest.h>

#include "core/StartupRules.h"

namespace {

TEST(StartupRules, OnlyA32BitBuildUnderWow64RefusesToStart)
{
    EXPECT_TRUE(MustRefuseToStart(true, true));
    // A 32-bit build on 32-bit Windows, and the 64-bit build anywhere.
    EXPECT_FALSE(MustRefuseToStart(true, false));
    EXPECT_FALSE(MustRefuseToStart(false, false));
    // A 64-bit process is never under WOW64; should the query say so all
    // the same, the 64-bit build still starts.
    EXPECT_FALSE(MustRefuseToStart(false, true));
}

}  // namespace
