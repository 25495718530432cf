// Numbered parameters and parameter lists.
#include <gtest/gtest.h>

#include <clocale>
#include <memory>
#include <vector>

#include "models/base/Parametres.h"

namespace {
std::vector<std::string> Names(const TObjParamList& l)
{
    std::vector<std::string> v;
    for (auto* p = l.First(); p; p = p->next) v.push_back(p->value.name);
    return v;
}
TObjParam P(const char* name, TVariant v) { return TObjParam(name, v); }
} // namespace

TEST(TObjParamList, TextualOrderAndIndex)
{
    TObjParamList l;
    l.Put(P("2001", 1.0));
    l.Put(P("1003", int32_t{1}));
    l.Put(P("200", std::string("x")));
    l.Put(P("3003", std::string("y")));
    EXPECT_EQ(Names(l), (std::vector<std::string>{"1003", "200", "2001", "3003"}));

    TObjParamList big;
    for (int i = 0; i < 25; ++i) big.Put(P(std::to_string(1000 + i * 7).c_str(), int32_t{i}));
    EXPECT_EQ(big.IndexLength(), 3u);
    for (int i = 0; i < 25; ++i) {
        auto* n = big.Find(std::to_string(1000 + i * 7));
        ASSERT_NE(n, nullptr) << i;
        EXPECT_EQ(std::get<int32_t>(n->value.value), i);
    }
    EXPECT_EQ(big.Find("9999"), nullptr);
    unsigned before = big.Length();
    big.Put(P("1007", int32_t{77}));
    EXPECT_EQ(big.Length(), before);
    EXPECT_EQ(std::get<int32_t>(big.Find("1007")->value.value), 77);
    big.Remove(big.Find("1007"));
    EXPECT_EQ(big.Find("1007"), nullptr);
    EXPECT_NE(big.Find("1168"), nullptr);
}

TEST(TObjParamList, CopyOutlivesTheOriginalAndAppendAllSorts)
{
    auto original = std::make_unique<TObjParamList>();
    for (int i = 0; i < 25; ++i) original->Put(P(std::to_string(2000 + i).c_str(), double(i)));
    TObjParamList copy(*original);
    original.reset();
    for (int i = 0; i < 25; ++i) EXPECT_NE(copy.Find(std::to_string(2000 + i)), nullptr);

    TlstParams unsorted;
    unsorted.Append(P("3001", std::string("b")));
    unsorted.Append(P("1001", int32_t{1}));
    TObjParamList sorted;
    sorted.AppendAll(unsorted);
    EXPECT_EQ(Names(sorted), (std::vector<std::string>{"1001", "3001"}));
}

TEST(TObjParam, TypedConversions)
{
    EXPECT_EQ(std::get<int32_t>(TObjParam::SetFromDouble("1005", 2.05)), 2);
    EXPECT_EQ(std::get<int32_t>(TObjParam::SetFromDouble("1005", 2.1)), 3);
    EXPECT_EQ(std::get<int32_t>(TObjParam::SetFromDouble("1005", -0.5)), 0);
    EXPECT_DOUBLE_EQ(std::get<double>(TObjParam::SetFromText("2001", "15")), 15.0);
    EXPECT_EQ(std::get<std::string>(TObjParam::SetFromText("3003", "15")), "15");
    EXPECT_EQ(std::get<std::string>(TObjParam::SetFromText("999", "15")), "15");
    EXPECT_EQ(std::get<std::string>(TObjParam::SetFromInt("3001", 4)), "4");

    EXPECT_EQ(ParamValueToText(P("2005", 22.2)), "22.200001");
    EXPECT_EQ(ParamValueToText(P("1005", std::string("12"))), "12");  // mismatched kind converts
    EXPECT_EQ(ParamValueToText(P("3005", int32_t{3})), "3");

    EXPECT_FALSE(TObjParam::ValueDiffers(P("500", int32_t{1}), P("500", int32_t{2})));
    EXPECT_TRUE(TObjParam::ValueDiffers(P("1005", int32_t{5}), P("1005", int32_t{6})));
    EXPECT_FALSE(TObjParam::ValueDiffers(P("2001", 1.0), P("2001", 1.0)));
    EXPECT_FALSE(TObjParam::ValueDiffers(P("2001", 1.0), P("2002", 2.0)));

    TObjParam t;
    t.FromText("2001  15.5");
    EXPECT_EQ(t.name, "2001");
    EXPECT_DOUBLE_EQ(std::get<double>(t.value), 15.5);
}

TEST(ParseWords, DropsLeadingWords)
{
    dllist<AnsiString> l;
    auto* n = ParseWords(l, "3 4 12 1003 2001", 3);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->value, "12");
    EXPECT_EQ(l.Length(), 3u);
    EXPECT_EQ(l.Last()->value, "2001");
    dllist<AnsiString> e;
    EXPECT_EQ(ParseWords(e, "3 4", 3), nullptr);
    dllist<AnsiString> tabs;
    ParseWords(tabs, "1\t1\r\n2001\n", 3);
    EXPECT_EQ(tabs.First()->value, "2001");
}

TEST(TObjParam, FloatTextUnderACommaLocale)
{
    const char* used = nullptr;
    for (const char* l : {"uk_UA.UTF-8", "ru_RU.UTF-8"})
        if (std::setlocale(LC_ALL, l)) { used = l; break; }
    if (!used) GTEST_SKIP() << "no uk_UA.UTF-8 or ru_RU.UTF-8 locale on this machine";
    EXPECT_EQ(ParamValueToText(P("2005", 22.2)), "22.200001");
    EXPECT_DOUBLE_EQ(std::get<double>(TObjParam::SetFromText("2001", "1.5")), 1.5);
    std::setlocale(LC_ALL, "C");
}
