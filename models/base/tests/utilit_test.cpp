// Data-line reading, word utilities, expression primitives, random generators and vertical curves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"

namespace {
std::string WriteTemp(const std::string& name, const std::string& bytes)
{
    std::string p = testing::TempDir() + name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
}
} // namespace

TEST(ReadDataLine, BlankCommentDataAndEnd)
{
    std::string p = WriteTemp("rdl.dat", "   * word\n12 * 3\n\t\nlast\n");
    std::FILE* f = std::fopen(p.c_str(), "r");
    ASSERT_NE(f, nullptr);
    std::string buf;
    EXPECT_EQ(ReadDataLine(f, buf, "*"), 0);
    EXPECT_EQ(ReadDataLine(f, buf, "*"), 1);
    EXPECT_EQ(buf, "12 * 3\n");
    EXPECT_EQ(ReadDataLine(f, buf, "*"), 0);
    EXPECT_EQ(ReadDataLine(f, buf, "*"), 1);
    EXPECT_EQ(ReadDataLine(f, buf, "*"), 0);
    EXPECT_EQ(ReadDataLine(f, buf, "*"), -1);
    EXPECT_EQ(buf, "EOF");
    std::fclose(f);
}

TEST(ReadDataLine, LongLineIsCutAndTheRestDropped)
{
    std::string longLine(300, '7');
    std::string p = WriteTemp("rdl-long.dat", "1 " + longLine + "\n\xCE\xE1\xFA\xE5\xEA\xF2 2\n");
    std::FILE* f = std::fopen(p.c_str(), "r");
    std::string buf;
    EXPECT_EQ(ReadDataLine(f, buf, "*"), 1);
    EXPECT_EQ(buf.size(), kDataLineBytes);
    EXPECT_EQ(ReadDataLine(f, buf, "*"), 1);
    EXPECT_EQ(buf, "Объект 2\n");
    std::fclose(f);
}

TEST(ReadDataLine, LastLineWithoutLineEndAndReadErrors)
{
    std::string p = WriteTemp("rdl-noeol.dat", "a\nlast");
    std::FILE* f = std::fopen(p.c_str(), "r");
    std::string buf;
    EXPECT_EQ(ReadDataLine(f, buf, "*"), 1);
    EXPECT_EQ(ReadDataLine(f, buf, "*"), 1);
    EXPECT_EQ(buf, "last");
    EXPECT_EQ(ReadDataLine(f, buf, "*"), -1);
    std::fclose(f);

    // A stream that cannot be read ends like end of file instead of giving blank lines forever.
    f = std::fopen(p.c_str(), "w");
    EXPECT_EQ(ReadDataLine(f, buf, "*"), 0);
    EXPECT_EQ(ReadDataLine(f, buf, "*"), -1);
    EXPECT_EQ(buf, "EOF");
    std::fclose(f);
}

TEST(OpenDataFile, CountsDataLinesAndClosesEmptyFiles)
{
    std::FILE* f = nullptr;
    EXPECT_EQ(OpenDataFile(&f, WriteTemp("odf.dat", "* c\n1\n\n2\n")), 2);
    ASSERT_NE(f, nullptr);
    std::string buf;
    EXPECT_EQ(ReadDataLine(f, buf, "*"), 0);  // rewound to the start
    std::fclose(f);
    EXPECT_EQ(OpenDataFile(&f, WriteTemp("odf-empty.dat", "* only\n  * comments\n")), 0);
    EXPECT_EQ(f, nullptr);
    EXPECT_EQ(OpenDataFile(&f, testing::TempDir() + "missing.dat"), 0);
}

TEST(Words, KeysFirstWordDropWordsClock)
{
    AnsiString keys[] = {"Вершины", "Объект"};
    std::string line = "  Объект \r\n";
    EXPECT_EQ(FindKeyIndex(line, keys, 2), 1);
    EXPECT_EQ(line, "Объект");
    std::string other = "x";
    EXPECT_EQ(FindKeyIndex(other, keys, 2), -1);

    EXPECT_EQ(FirstWord("  12 34"), "12");
    EXPECT_EQ(DropFirstWord("3 4  12"), "4  12");
    EXPECT_EQ(DropFirstWord("4  12"), " 12");
    EXPECT_EQ(DropWords("3 4  12", 2), "12");
    EXPECT_EQ(DropFirstWord("one"), "");

    EXPECT_EQ(SecondsToClock(0), "00:00");
    EXPECT_EQ(SecondsToClock(59), "00:00");
    EXPECT_EQ(SecondsToClock(3725), "01:02");
    EXPECT_EQ(SecondsToClock(36000), "10:00");
    EXPECT_EQ(SecondsToClock(90000), "25:00");

    EXPECT_TRUE(IsAllDigits(""));
    EXPECT_FALSE(IsAllDigits("1a"));
}

TEST(IsNumber, DecimalSyntaxOnly)
{
    for (const char* yes : {"5", "-2.5", "+3", "1e3", "1.", ".5", "2E-2", " 7"}) EXPECT_TRUE(IsNumber(yes)) << yes;
    for (const char* no : {"", "-", ".", "1x", "5 ", "1e", "1e+", "inf", "nan", "0x10", "1,5"})
        EXPECT_FALSE(IsNumber(no)) << no;
}

TEST(Random, SeedsStepsAndDraws)
{
    ResetRandomGenerators();
    std::string t;
    ASSERT_TRUE(RunPrimitive(TPrimitive::Rnd, t));
    EXPECT_EQ(RandomState(TRandomGenerator::Rnd), 3873903980u);
    EXPECT_EQ(t, "0.901964");
    ErlangValue(1, 1, 2);
    EXPECT_EQ(RandomState(TRandomGenerator::Erlang), 4062904036u);

    // RNDZ starts where RND started: twelve of its draws are the next twelve RND draws.
    ResetRandomGenerators();
    float s = -6;
    for (int i = 0; i < 12; ++i) s = static_cast<float>(s + RandomUniform(TRandomGenerator::Rnd));
    EXPECT_DOUBLE_EQ(NormalValue(10, 2), 10 + s * 2.0);
    EXPECT_EQ(RandomState(TRandomGenerator::Rnd), RandomState(TRandomGenerator::RndZ));

    // An Erlang value never exceeds b when b > a.
    for (int i = 0; i < 200; ++i) EXPECT_LE(ErlangValue(10, 3, 20), 20.0);
    ResetRandomGenerators();
    EXPECT_EQ(RandomState(TRandomGenerator::Erlang), 25431u);
}

namespace {
std::string Prim(TPrimitive p, std::string text, bool expect = true)
{
    EXPECT_EQ(RunPrimitive(p, text), expect) << text;
    return text;
}
} // namespace

TEST(Primitives, Arithmetic)
{
    EXPECT_EQ(Prim(TPrimitive::Plus, "1 2.5"), "3.500000");
    EXPECT_EQ(Prim(TPrimitive::Plus, "1 x", false), "1 x");
    EXPECT_EQ(Prim(TPrimitive::Mul, "2 3 0.5"), "3.000000");
    EXPECT_EQ(Prim(TPrimitive::Minus, "10 1 2"), "7.000000");
    EXPECT_EQ(Prim(TPrimitive::Div, "8 2 2"), "2.000000");
    EXPECT_EQ(Prim(TPrimitive::Div, "8 0", false), "8 0");
    EXPECT_EQ(Prim(TPrimitive::Plus, "", false), "");
    EXPECT_EQ(Prim(TPrimitive::Plus, "inf 1", false), "inf 1");
    EXPECT_EQ(Prim(TPrimitive::Mul, "1e300 1e300", false), "1e300 1e300");
    EXPECT_EQ(Prim(TPrimitive::Int, " -7.9 "), "-7");
    EXPECT_EQ(Prim(TPrimitive::Int, "7.9"), "7");
    EXPECT_EQ(Prim(TPrimitive::Int, "1 2", false), "1 2");
    EXPECT_EQ(Prim(TPrimitive::Int, "1e20", false), "1e20");
    EXPECT_EQ(Prim(TPrimitive::Abs, "-3 -x"), " 3  x");
}

TEST(Primitives, TestsAnswerWithoutRewriting)
{
    std::string t = "2 1 3";
    EXPECT_TRUE(RunPrimitive(TPrimitive::Between, t));
    EXPECT_EQ(t, "2 1 3");
    EXPECT_TRUE(PrimitiveIsTest(TPrimitive::Between));
    EXPECT_FALSE(PrimitiveIsTest(TPrimitive::Plus));
    Prim(TPrimitive::Between, "4 1 3", false);
    Prim(TPrimitive::Between, "3 3 3");
    Prim(TPrimitive::Between, "", true);  // missing values read as 0
    Prim(TPrimitive::Greater, "2 1");
    Prim(TPrimitive::Greater, "1 1", false);
    Prim(TPrimitive::Less, "1 2");
    Prim(TPrimitive::Less, "2 2", false);
    Prim(TPrimitive::Not, "0");
    Prim(TPrimitive::Not, "");
    Prim(TPrimitive::Not, "3", false);
    Prim(TPrimitive::And, "1 2 -1");
    Prim(TPrimitive::And, "1 0.5", false);
    Prim(TPrimitive::And, "1 x", false);
    Prim(TPrimitive::And, "", false);
    Prim(TPrimitive::Or, "0 0.5 2");
    Prim(TPrimitive::Or, "0 x 2", false);
    Prim(TPrimitive::Or, "0 0", false);
    Prim(TPrimitive::In, "3 1 2 3");
    Prim(TPrimitive::In, "3 1 2 03", false);
    Prim(TPrimitive::In, "3", false);
}

TEST(Primitives, WordsAndRandomValues)
{
    EXPECT_EQ(Prim(TPrimitive::Nth, "1 a b c"), "b");
    EXPECT_EQ(Prim(TPrimitive::Nth, "0 a"), "a");
    Prim(TPrimitive::Nth, "5 a b", false);
    Prim(TPrimitive::Nth, "-1 a b", false);
    Prim(TPrimitive::Nth, "x a b", false);
    EXPECT_EQ(Prim(TPrimitive::StrCat, "A B  C"), "ABC");
    Prim(TPrimitive::StrCat, " ", false);

    ResetRandomGenerators();
    std::string e = Prim(TPrimitive::Erlang, "5 2 10");
    EXPECT_LE(AtofC(e.c_str()), 10.0);
    Prim(TPrimitive::Erlang, "5 0 10", false);
    Prim(TPrimitive::Erlang, "5 -2 10", false);
    std::string z = Prim(TPrimitive::RndZ, "ignored");
    EXPECT_TRUE(IsNumber(z.c_str()));
}

TEST(VerticalCurve, TwoGradesWithOneCurve)
{
    const double slopes[] = {0.01, 0.03}, lengths[] = {100, 100}, radii[] = {250, 250};
    ASSERT_EQ(ComputeVerticalCurve(slopes, lengths, radii, 2), 4);
    double t = 0, arc = 0;
    GetCurveTangent(0, &t, &arc);
    EXPECT_NEAR(t, 2.4990, 1e-4);
    EXPECT_NEAR(arc, std::atan(0.02 / 1.0003) * 250, 1e-9);

    // Point 2 is the first tangent point, on the incoming grade; the curve on interval 2 bends
    // down with a curvature close to 1 / R.
    double k = 0, d2 = 0, d3 = 0;
    GetCurvePoint(2, &k, &d2, &d3);
    EXPECT_DOUBLE_EQ(k, -0.01);
    EXPECT_NEAR(d2, -1.0 / 250, 1e-5);
    GetCurvePoint(3, &k, &d2, &d3);
    EXPECT_DOUBLE_EQ(k, -0.03);

    // Out of the tables: nothing written, or zeros for the tangent.
    k = 7;
    GetCurvePoint(50, &k, &d2, &d3);
    EXPECT_EQ(k, 7);
    GetCurveTangent(50, &t, &arc);
    EXPECT_EQ(t, 0);
    GetCurveTangent(-1, &t, &arc);
    EXPECT_EQ(arc, 0);

    // Grades end at the first zero length even when more are passed.
    const double more[] = {100, 0, 100};
    const double s3[] = {0.01, 0.02, 0.03}, r3[] = {250, 250, 250};
    EXPECT_EQ(ComputeVerticalCurve(s3, more, r3, 3), 2);
    EXPECT_EQ(ComputeVerticalCurve(s3, more, r3, 0), 0);
}
