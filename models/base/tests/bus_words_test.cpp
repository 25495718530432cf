// A message split into words once reads each field as scanning the whole text would.
#include <gtest/gtest.h>

#include "models/base/BusWords.h"
#include "platform/core/CFormat.h"

TEST(BusWords, FieldsReadAsScanningTheTextWould)
{
    const std::string mes = " 1\t8  -12 3.25e1 -1 12abc +7 \n";
    TBusWords w(mes);
    ASSERT_EQ(w.Count(), 7u);
    int r = 0, c = 0, n = 0, tail = 0;
    double x = 0;
    unsigned u = 0;
    ASSERT_EQ(SScanf(mes.c_str(), "%d%d%d%lf%u%d", &r, &c, &n, &x, &u, &tail), 6);
    EXPECT_EQ(w.Int(0), r);
    EXPECT_EQ(w.Int(1), c);
    EXPECT_EQ(w.Int(2), n);
    EXPECT_EQ(w.Double(3), x);
    EXPECT_EQ(w.Float(3), 32.5f);
    EXPECT_EQ(w.UInt(4), u);  // "-1" as %u reads it
    EXPECT_EQ(w.Int(5), tail);  // a word read as far as it is a number
    EXPECT_EQ(w.Int(6), 7);
    // A missing or non-numeric word keeps the default.
    EXPECT_EQ(w.Int(7, -5), -5);
    EXPECT_EQ(TBusWords("2 x").Int(1, 3), 3);
    EXPECT_STREQ(w.Word(9), "");
    EXPECT_EQ(w.Rest(4), "-1 12abc +7");
    EXPECT_EQ(w.Rest(7), "");
}

TEST(BusWords, LongMessagesKeepTheirWordsAndText)
{
    std::string mes = "3 5 9";
    for (int i = 0; i < 80; ++i) mes += " " + std::to_string(1000 + i);
    TBusWords w(mes);
    mes.assign("reply");  // the words are a copy
    ASSERT_EQ(w.Count(), TBusWords::kMaxWords);
    EXPECT_EQ(w.Int(63), 1060);
    EXPECT_EQ(w.Rest(82), "1079");
}
