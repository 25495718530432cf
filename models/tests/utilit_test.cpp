// Data-line reading and word utilities.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "models/Utilit.h"

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
    EXPECT_TRUE(IsNumber("-1.5e2"));
    EXPECT_FALSE(IsNumber("1x"));
}
