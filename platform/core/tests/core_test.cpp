// Platform core: class names, ownership, registry, code page 1251, C-locale numbers, path mapping.
#include <gtest/gtest.h>

#include <cstring>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/core/CFormat.h"
#include "platform/core/Component.h"
#include "platform/core/Paths.h"
#include "platform/core/Strings.h"
#include "platform/core/Variant.h"

namespace {

class TProbe : public TComponent {
    VELO_CLASS(TProbe, TComponent)
public:
    explicit TProbe(TComponent* owner, int* destroyed = nullptr) : TComponent(owner), counter(destroyed) {}
    ~TProbe() override { if (counter) ++*counter; }
    int* counter;
};

} // namespace

TEST(Component, ClassNamesAndAncestors)
{
    TProbe p(nullptr);
    EXPECT_EQ(p.ClassName(), "TProbe");
    EXPECT_TRUE(p.InheritsFromClassName("TComponent"));
    EXPECT_TRUE(p.InheritsFromClassName("TObject"));
    EXPECT_FALSE(p.InheritsFromClassName("TModel"));
}

TEST(Component, OwnerDestroysOwnedInAnyOrderOfDeletion)
{
    int destroyed = 0;
    auto* form = new TComponent(nullptr);
    auto* a = new TProbe(form, &destroyed);
    a->SetName("A");
    auto* b = new TProbe(a, &destroyed);
    b->SetName("B");
    new TProbe(form, &destroyed);
    EXPECT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(form->FindComponent("A"), a);
    std::vector<std::string> walked;
    form->ForEachOwned([&](TComponent* c) { walked.push_back(c->Name()); });
    EXPECT_EQ(walked, (std::vector<std::string>{"A", "B", ""}));
    delete b;  // deleting an owned component first removes it from its owner
    EXPECT_EQ(a->ComponentCount(), 0);
    delete form;
    EXPECT_EQ(destroyed, 3);
}

TEST(Component, RegistryCreatesByClassName)
{
    RegisterComponentClass("TProbe", [](TComponent* o) -> TComponent* { return new TProbe(o); });
    TComponent owner;
    TComponent* c = CreateComponentByClassName("TProbe", &owner);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->ClassName(), "TProbe");
    EXPECT_EQ(c->Owner(), &owner);
    EXPECT_EQ(CreateComponentByClassName("TNoSuchClass", &owner), nullptr);
}

TEST(Cp1251, RoundTripsEveryByteButTheUnassignedOne)
{
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98) continue;
        std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(byte)), byte) << b;
    }
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
    EXPECT_EQ(Cp1251ToUtf8("\xCE\xE1\xFA\xE5\xEA\xF2"), "Объект");
    EXPECT_EQ(Cp1251ToUtf8("\xB2\xB3\xAF\xBF\xAA\xBA\xA5\xB4"), "ІіЇїЄєҐґ");
    EXPECT_EQ(Utf8ToCp1251("日"), "?");
}

TEST(Cp1251, AgreesWithIconv)
{
    std::FILE* p = popen("command -v iconv >/dev/null 2>&1 && echo yes", "r");
    char buf[8] = {};
    bool have = p && std::fgets(buf, sizeof buf, p);
    if (p) pclose(p);
    if (!have) GTEST_SKIP() << "iconv not installed";
    std::string all;
    for (int b = 0x80; b < 256; ++b)
        if (b != 0x98) all += static_cast<char>(b);
    std::string in = testing::TempDir() + "cp1251.bin";
    std::ofstream(in, std::ios::binary) << all;
    std::FILE* q = popen(("iconv -f CP1251 -t UTF-8 " + in).c_str(), "r");
    ASSERT_NE(q, nullptr);
    std::string out;
    int c;
    while ((c = std::fgetc(q)) != EOF) out += static_cast<char>(c);
    pclose(q);
    EXPECT_EQ(Cp1251ToUtf8(all), out);
}

TEST(CFormat, NumbersIgnoreTheProcessLocale)
{
    const char* candidates[] = {"uk_UA.UTF-8", "ru_RU.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8"};
    const char* used = nullptr;
    for (const char* l : candidates)
        if (std::setlocale(LC_ALL, l)) { used = l; break; }
    if (!used) GTEST_SKIP() << "no locale with a decimal comma on this machine (locale -a)";
    EXPECT_EQ(Format("%f", 22.5), "22.500000");
    double d = 0;
    EXPECT_EQ(SScanf("15.25", "%lf", &d), 1);
    EXPECT_DOUBLE_EQ(d, 15.25);
    EXPECT_DOUBLE_EQ(AtofC("2.5"), 2.5);
    EXPECT_EQ(VarToStr(TVariant(22.2)), "22.200000");
    std::setlocale(LC_ALL, "C");
}

TEST(CFormat, LongOutputIsNotCut)
{
    std::string big(1000, 'x');
    EXPECT_EQ(Format("%s|%d", big.c_str(), 7), big + "|7");
}

// The fast paths of SScanf and Format read and write exactly what sscanf and printf do, on the
// texts the bus carries and on the edges where they hand over to the C library.
TEST(CFormat, FastPathsAgreeWithTheCLibrary)
{
    CLocaleScope c;
    const char* texts[] = {"", "   ", "2 5 101 1", "  -7\t12 x", "4 8 201 3 1", "+3 -0 12abc", "-", "- 5", "+x",
                           "4294967295 -1 2147483648 99999999999", "123456789012345678901 1", "99999999999999999999 1",
                           "1.5 -2.25 .5 5.",
                           "3.3 0.1 1e3 2.5E-2 1e", "1e+ 7", "-0 0.000123 123456789.123456789 1.17549435e-38",
                           "inf nan 0x1p3", "0.30000000000000004 9007199254740993 3.4028235e38", "a 1", "1 a",
                           "12345678 0.1234567 16777217 7.0000005", "слово 2 3", "1,5 2"};
    for (const char* t : texts) {
        int i[4] = {-9, -9, -9, -9}, ie[4] = {-9, -9, -9, -9};
        unsigned u[3] = {9, 9, 9}, ue[3] = {9, 9, 9};
        long l[2] = {-9, -9}, le[2] = {-9, -9};
        float f[3] = {-9, -9, -9}, fe[3] = {-9, -9, -9};
        double d[3] = {-9, -9, -9}, de[3] = {-9, -9, -9};
        char s[2][64] = {"?", "?"}, se[2][64] = {"?", "?"};
        const std::string at = std::string("text \"") + t + "\"";
        EXPECT_EQ(SScanf(t, "%d%d%d%d", &i[0], &i[1], &i[2], &i[3]), std::sscanf(t, "%d%d%d%d", &ie[0], &ie[1], &ie[2], &ie[3])) << at;
        EXPECT_EQ(SScanf(t, "%*d%*d%u%u%u", &u[0], &u[1], &u[2]), std::sscanf(t, "%*d%*d%u%u%u", &ue[0], &ue[1], &ue[2])) << at;
        EXPECT_EQ(SScanf(t, "%ld %lu", &l[0], reinterpret_cast<unsigned long*>(&l[1])),
                  std::sscanf(t, "%ld %lu", &le[0], reinterpret_cast<unsigned long*>(&le[1]))) << at;
        EXPECT_EQ(SScanf(t, "%f%f%f", &f[0], &f[1], &f[2]), std::sscanf(t, "%f%f%f", &fe[0], &fe[1], &fe[2])) << at;
        EXPECT_EQ(SScanf(t, "%lf%lf%lf", &d[0], &d[1], &d[2]), std::sscanf(t, "%lf%lf%lf", &de[0], &de[1], &de[2])) << at;
        EXPECT_EQ(SScanf(t, "%*s %d%63s", &i[0], s[0]), std::sscanf(t, "%*s %d%63s", &ie[0], se[0])) << at;
        EXPECT_EQ(SScanf(t, "%3s%s", s[0], s[1]), std::sscanf(t, "%3s%s", se[0], se[1])) << at;
        EXPECT_EQ(SScanf(t, "%d 5 %d", &i[1], &i[2]), std::sscanf(t, "%d 5 %d", &ie[1], &ie[2])) << at;
        EXPECT_EQ(0, std::memcmp(i, ie, sizeof i)) << at;
        EXPECT_EQ(0, std::memcmp(u, ue, sizeof u)) << at;
        EXPECT_EQ(0, std::memcmp(l, le, sizeof l)) << at;
        EXPECT_EQ(0, std::memcmp(f, fe, sizeof f)) << at;
        EXPECT_EQ(0, std::memcmp(d, de, sizeof d)) << at;
        EXPECT_STREQ(s[0], se[0]) << at;
        EXPECT_STREQ(s[1], se[1]) << at;
        EXPECT_EQ(AtolC(t), std::strtol(t, nullptr, 10)) << at;
    }

    auto printed = [](const char* fmt, auto... args) {
        char buf[2048];
        std::snprintf(buf, sizeof buf, fmt, args...);
        return std::string(buf);
    };
    for (double v : {0.0, -0.0, 22.5, -1.0 / 3, 0.0005, 0.0015, 2.5e-7, 1e300, -123456.7890125, 1.0 / 0.0}) {
        EXPECT_EQ(Format("%f", v), printed("%f", v)) << v;
        EXPECT_EQ(Format("%3.3f %d %d", v, 7, -7), printed("%3.3f %d %d", v, 7, -7)) << v;
        EXPECT_EQ(Format("\t%3.3f\t#%.0f|%12.2f", v, v, v), printed("\t%3.3f\t#%.0f|%12.2f", v, v, v)) << v;
    }
    for (int v : {0, -1, 2147483647, -2147483647 - 1})
        EXPECT_EQ(Format("%d %u %5d %ld %lu %c%s %%|%05d|%-4d|%+d", v, static_cast<unsigned>(v), v, static_cast<long>(v),
                         static_cast<unsigned long>(v), 'x', "слово", v, v, v),
                  printed("%d %u %5d %ld %lu %c%s %%|%05d|%-4d|%+d", v, static_cast<unsigned>(v), v, static_cast<long>(v),
                          static_cast<unsigned long>(v), 'x', "слово", v, v, v));
}

TEST(Variant, ConversionsNeverThrow)
{
    EXPECT_EQ(VarToInt(TVariant(std::string("12abc"))), 12);
    EXPECT_EQ(VarToInt(TVariant(std::string("abc"))), 0);
    EXPECT_EQ(VarToInt(TVariant(2.9)), 2);
    EXPECT_EQ(VarToInt(TVariant(-2.9)), -2);
    EXPECT_DOUBLE_EQ(VarToDouble(TVariant(std::string("1.5"))), 1.5);
    EXPECT_EQ(VarToStr(TVariant(int32_t{-4})), "-4");
}

TEST(Paths, BackslashesAndCaseAreMapped)
{
    namespace fs = std::filesystem;
    fs::path root = fs::path(testing::TempDir()) / "velo_paths";
    fs::remove_all(root);
    fs::create_directories(root / "data");
    fs::create_directories(root / "sound");
    std::ofstream(root / "data" / "Tecnology.dat") << "x";
    std::ofstream(root / "sound" / "путь.wav") << "x";
    fs::path old = fs::current_path();
    fs::current_path(root);
    EXPECT_EQ(MapPath("DATA\\Tecnology.dat"), "data/Tecnology.dat");
    EXPECT_EQ(MapPath("data\\TECNOLOGY.DAT"), "data/Tecnology.dat");
    EXPECT_EQ(MapPath("Sound\\ПУТЬ.wav"), "sound/путь.wav");
    EXPECT_EQ(MapPath("data\\new.shd"), "data/new.shd");
    EXPECT_TRUE(FileExists("DATA\\tecnology.DAT"));
    std::FILE* f = OpenFile("Data\\Tecnology.dat", "r");
    EXPECT_NE(f, nullptr);
    if (f) std::fclose(f);
    EXPECT_TRUE(DeleteFile("SOUND\\Путь.WAV"));
    EXPECT_FALSE(FileExists("sound\\путь.wav"));
    fs::current_path(old);
}

TEST(Strings, TrimAndStringList)
{
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
    TStringList l;
    l.SetText("one\r\ntwo\nthree");
    EXPECT_EQ(l.Count(), 3);
    EXPECT_EQ(l[1], "two");
    l.Delete(0);
    EXPECT_EQ(l.IndexOf("three"), 1);
    EXPECT_EQ(l.Text(), "two\nthree\n");
}
