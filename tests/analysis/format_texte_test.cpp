// printf-style Format: conversions, widths, the locale's separators, faults.
#include "analysis/format_texte.h"

#include <gtest/gtest.h>

#include <limits>

using namespace korvan;

// Readable failure messages.
static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

QString groupe() { return QLocale(QLocale::French, QLocale::France).groupSeparator(); }
QString virgule() { return QLocale(QLocale::French, QLocale::France).decimalPoint(); }

} // namespace

class FormatFr : public ::testing::Test {
protected:
    const ReglagesFormat fr = ReglagesFormat::francais();
};

TEST_F(FormatFr, IntegersAtEveryWidth)
{
    EXPECT_EQ(Format(fr, "%d|%d|%d", 0, -42, int64_t(1) << 40), "0|-42|1099511627776");
    EXPECT_EQ(Format(fr, "%d", std::numeric_limits<int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(Format(fr, "%u", std::numeric_limits<uint64_t>::max()), "18446744073709551615");
    EXPECT_EQ(Format(fr, "%d", std::numeric_limits<uint64_t>::max()), "18446744073709551615");
    EXPECT_EQ(Format(fr, "%u", int32_t(-1)), "4294967295");
    EXPECT_EQ(Format(fr, "%.2d %.2d %.2d", 5, 123, uint8_t(7)), "05 123 07");
    EXPECT_EQ(Format(fr, "%.3d", -5), "-005");
    EXPECT_EQ(Format(fr, "%.4d%.2d%.2d", 2024, 5, 15), "20240515");
    enum class Genre : uint8_t { Rien, Ajout = 200 };
    EXPECT_EQ(Format(fr, "%d %x", Genre::Ajout, Genre::Ajout), "200 C8");
}

TEST_F(FormatFr, HexadecimalIsUpperCaseAtTheArgumentsWidth)
{
    EXPECT_EQ(Format(fr, "%x %X", 255, 0xabcU), "FF ABC");
    EXPECT_EQ(Format(fr, "%.16x", uint64_t(0x1234abcd)), "000000001234ABCD");
    EXPECT_EQ(Format(fr, "%.16x", std::numeric_limits<uint64_t>::max()), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Format(fr, "%x", int32_t(-1)), "FFFFFFFF");
    EXPECT_EQ(Format(fr, "%x", int16_t(-2)), "FFFE");
    EXPECT_EQ(Format(fr, "%x", int64_t(-1)), "FFFFFFFFFFFFFFFF");
}

TEST_F(FormatFr, WidthJustificationAndTexts)
{
    EXPECT_EQ(Format(fr, "[%5d][%-5d][%05d][%5.3d]", 42, 42, -42, 7), "[   42][42   ][-0042][  007]");
    EXPECT_EQ(Format(fr, "[%*d][%-*s]", 4, 7, 3, "a"), "[   7][a  ]");
    EXPECT_EQ(Format(fr, "[%5s][%-5s][%.2s][%1s]", "ab", QString("ab"), "abcdef", "abc"),
              "[   ab][ab   ][ab][abc]");
    EXPECT_EQ(Format(fr, "Il y a %s octets de déchets", std::string("0000001A")),
              "Il y a 0000001A octets de déchets");
    EXPECT_EQ(Format(QString("%s à %s"), "9:05:07", QString("é")), "9:05:07 à é");
    EXPECT_EQ(Format(fr, "100%% %d%%", 5), "100% 5%");
    EXPECT_EQ(Format(fr, "sans argument"), "sans argument");
}

TEST_F(FormatFr, NumbersWithTheLocalesSeparators)
{
    const QString g = groupe();
    const QString v = virgule();
    EXPECT_EQ(Format(fr, "%.0n", 1234567), "1" + g + "234" + g + "567");
    EXPECT_EQ(Format(fr, "%.0n", 999), "999");
    EXPECT_EQ(Format(fr, "%.0n", -1000), "-1" + g + "000");
    EXPECT_EQ(Format(fr, "%n", 1234.5), "1" + g + "234" + v + "50");
    EXPECT_EQ(Format(fr, "%.1n", -1234567.26), "-1" + g + "234" + g + "567" + v + "3");
    EXPECT_EQ(Format(fr, "%.0n", std::numeric_limits<uint64_t>::max()),
              "18" + g + "446" + g + "744" + g + "073" + g + "709" + g + "551" + g + "615");
    EXPECT_EQ(Format(fr, "%f|%.3f|%.0f", 3.14159, 3.14159, 7.0), "3" + v + "14|3" + v + "142|7");
    EXPECT_EQ(Format(fr, "%.2f", -0.001), "0" + v + "00");
    EXPECT_EQ(Format(fr, "%.1f", 5), "5" + v + "0");
    EXPECT_EQ(Format(fr, "%8.2f|%-8.1f|", -1.5, 2.0), "   -1" + v + "50|2" + v + "0     |");
    EXPECT_EQ(Format(fr, "%f", std::numeric_limits<double>::infinity()), "INF");
}

TEST_F(FormatFr, FaultsLeaveAMarkerAndNeverThrow)
{
    EXPECT_EQ(Format(fr, "a %d b"), "a %!d(manquant) b");
    EXPECT_EQ(Format(fr, "%d %s", "texte", "suite"), "%!d(incompatible) suite");
    EXPECT_EQ(Format(fr, "%s|%x|%n", 5, 1.5, "x"), "%!s(incompatible)|%!x(incompatible)|%!n(incompatible)");
    EXPECT_EQ(Format(fr, "%q %d", 3), "%!q(inconnu) 3");
    EXPECT_EQ(Format(fr, "fin %"), "fin %!(incomplet)");
    EXPECT_EQ(Format(fr, "fin %-5."), "fin %!(incomplet)");
    EXPECT_EQ(Format(fr, "%*d|%d", "x", 3), "%!*(incompatible)|3");
    EXPECT_EQ(Format(fr, "%.*d"), "%!*(manquant)");
    EXPECT_EQ(Format(fr, "%d", 1, 2, "de trop"), "1");
    // A huge width is bounded rather than exhausting memory.
    EXPECT_LE(Format(fr, "%999999999999d", 1).size(), 1000);
}

TEST_F(FormatFr, DecimalNumbersReadAndWrittenWithTheSettingsSeparator)
{
    ReglagesFormat point = fr;
    point.separateurDecimal = QStringLiteral(".");
    EXPECT_EQ(FloatToStr(29.97, fr), "29,97");
    EXPECT_EQ(FloatToStr(25, fr), "25");
    EXPECT_EQ(FloatToStr(1.0 / 3, point), "0.3333333333333333");
    EXPECT_EQ(StrToFloat(FloatToStr(1.0 / 3, fr), fr), 1.0 / 3);
    struct Cas {
        const char* texte;
        const ReglagesFormat* reglages;
        std::optional<double> valeur;
    };
    const Cas cas[] = {
        {"29,97", &fr, 29.97},       {"29.97", &fr, std::nullopt}, {"29.97", &point, 29.97},
        {"29,97", &point, std::nullopt}, {" 30 ", &fr, 30.0},     {"+2,5", &fr, 2.5},
        {"-0,5", &fr, -0.5},         {"1e3", &fr, 1000.0},         {"2,5E-1", &fr, 0.25},
        {",5", &fr, 0.5},            {"", &fr, std::nullopt},      {"   ", &fr, std::nullopt},
        {"abc", &fr, std::nullopt},  {"1,2,3", &fr, std::nullopt}, {"+-1", &fr, std::nullopt},
        {"1e", &fr, std::nullopt},   {"1e999", &fr, std::nullopt}, {"nan", &fr, std::nullopt},
        {"inf", &fr, std::nullopt},  {"٣", &fr, std::nullopt},    {"25 i/s", &fr, std::nullopt},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(StrToFloat(QString::fromUtf8(c.texte), *c.reglages), c.valeur) << c.texte;
}
