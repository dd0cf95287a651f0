// The flag lists of config.xml: writing and the forgiving read rules.
#include "core/FlagList.h"

#include <gtest/gtest.h>

TEST(FlagList, EncodesOneItemPerFlagWithoutTrailingComma)
{
    EXPECT_EQ(EncodeFlagList({true, true, true, true, true, true}), "1,1,1,1,1,1");
    std::vector<bool> tasks(11, true);
    tasks[2] = false;
    tasks[6] = false;
    EXPECT_EQ(EncodeFlagList(tasks), "1,1,0,1,1,1,0,1,1,1,1");
    EXPECT_EQ(EncodeFlagList({false}), "0");
    EXPECT_EQ(EncodeFlagList({}), "");
}

TEST(FlagList, TheLastPieceServesEveryFurtherItem)
{
    std::vector<bool> six(6, false);
    EXPECT_TRUE(DecodeFlagList("1,0", six));
    EXPECT_EQ(six, std::vector<bool>({true, false, false, false, false, false}));

    std::vector<bool> all(6, false);
    EXPECT_TRUE(DecodeFlagList("1", all));
    EXPECT_EQ(all, std::vector<bool>(6, true));
}

TEST(FlagList, EmptyPiecesAreDroppedAndSurplusIgnored)
{
    std::vector<bool> six(6, false);
    EXPECT_TRUE(DecodeFlagList("1,,0", six));
    EXPECT_EQ(six, std::vector<bool>({true, false, false, false, false, false}));

    std::vector<bool> four(4, false);
    EXPECT_TRUE(DecodeFlagList("1,,0,1", four));
    EXPECT_EQ(four, std::vector<bool>({true, false, true, true}));

    std::vector<bool> eleven(11, false);
    EXPECT_TRUE(DecodeFlagList("0,1,1,1,1,1,1,1,1,1,1,1,1", eleven));
    EXPECT_FALSE(eleven[0]);
    for (std::size_t i = 1; i < eleven.size(); ++i)
        EXPECT_TRUE(eleven[i]) << i;
    EXPECT_EQ(EncodeFlagList(eleven), "0,1,1,1,1,1,1,1,1,1,1");
}

TEST(FlagList, TextsWithoutPiecesChangeNothing)
{
    std::vector<bool> flags = {true, false, true};
    EXPECT_FALSE(DecodeFlagList("", flags));
    EXPECT_FALSE(DecodeFlagList(",,,", flags));
    EXPECT_EQ(flags, std::vector<bool>({true, false, true}));
}

TEST(FlagList, OnlyTheTextOneTicks)
{
    std::vector<bool> flags(4, true);
    EXPECT_TRUE(DecodeFlagList(" 1,true,yes,1 ", flags));
    EXPECT_EQ(flags, std::vector<bool>({false, false, false, false}));
}
