#include "analysis/formatage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace korvan;

// Readable failure messages.
static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

TDateTime dt(int a, int mo, int j, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    TDateTime v = 0;
    EXPECT_TRUE(EncodeDateTime(a, mo, j, h, mi, s, ms, v));
    return v;
}

class FormatDateTimeFr : public ::testing::Test {
protected:
    const ReglagesFormat fr = ReglagesFormat::francais();
    // A Wednesday; every field differs from the others.
    const TDateTime mercredi = dt(2024, 5, 15, 9, 5, 7, 42);

    QString f(const char* format, TDateTime v) const { return FormatDateTime(QString::fromUtf8(format), v, fr); }
    QString f(const char* format) const { return f(format, mercredi); }
};

QString groupe() { return QLocale(QLocale::French, QLocale::France).groupSeparator(); }
QString virgule() { return QLocale(QLocale::French, QLocale::France).decimalPoint(); }

} // namespace

TEST_F(FormatDateTimeFr, FrenchSettingsComeFromTheFrenchLocale)
{
    EXPECT_EQ(fr.nomsMoisLongs[4], "mai");
    EXPECT_EQ(fr.nomsJoursLongs[3], "mercredi");
    EXPECT_EQ(fr.nomsJoursLongs[0], "dimanche");
    EXPECT_EQ(fr.formatDateCourt, "dd/mm/yyyy");
    EXPECT_EQ(fr.separateurDate, "/");
    EXPECT_EQ(fr.separateurHeure, ":");
    EXPECT_EQ(fr.separateurMilliers, groupe());
    EXPECT_EQ(fr.separateurDecimal, ",");
}

TEST_F(FormatDateTimeFr, TheProgramsStoredFormats)
{
    EXPECT_EQ(f("dd.mm.yyyy_hh.nn.ss"), "15.05.2024_09.05.07");
    EXPECT_EQ(f("dd/mm/yyyy hh:nn:ss"), "15/05/2024 09:05:07");
    EXPECT_EQ(f("yyyymmdd_hh.nn.ss"), "20240515_09.05.07");
    EXPECT_EQ(f("ddddd hh:nn:ss"), "15/05/2024 09:05:07");
    EXPECT_EQ(f("yyyymmddhhnnss"), "20240515090507");
    EXPECT_EQ(f("d/mm/yyyy", dt(2024, 5, 3)), "3/05/2024");
    EXPECT_EQ(f("h:mm:ss"), "9:05:07");
}

TEST_F(FormatDateTimeFr, NumbersNamesAndLocaleFormats)
{
    const TDateTime v = dt(2005, 1, 2, 3, 4, 5, 6);
    EXPECT_EQ(f("d/m/yy h:n:s z", v), "2/1/05 3:4:5 6");
    EXPECT_EQ(f("dd/mm/yyyy hh:nn:ss zzz", v), "02/01/2005 03:04:05 006");
    EXPECT_EQ(f("yyyy", dt(5, 6, 7)), "0005");
    EXPECT_EQ(f("dddd d mmmm yyyy"), "mercredi 15 mai 2024");
    EXPECT_EQ(f("ddd mmm"), fr.nomsJoursCourts[3] + " " + fr.nomsMoisCourts[4]);
    EXPECT_EQ(f("dddddd"), "mercredi 15 mai 2024");
    EXPECT_EQ(f("t"), "09:05");
    EXPECT_EQ(f("tt"), "09:05:07");
    // Specifiers are case-insensitive.
    EXPECT_EQ(f("DD/MM/YYYY HH:NN:SS"), "15/05/2024 09:05:07");
}

TEST_F(FormatDateTimeFr, MonthAfterHourMeansMinutes)
{
    EXPECT_EQ(f("hh:mm"), "09:05");
    EXPECT_EQ(f("hh'h'mm"), "09h05");     // quoted text does not end the hour
    EXPECT_EQ(f("hh:nn mm"), "09:05 05"); // the last letter was n: month
    EXPECT_EQ(f("mm/dd hh"), "05/15 09");
    EXPECT_EQ(f("hh:nn:ss", dt(2024, 11, 1, 7, 30)), "07:30:00");
    EXPECT_EQ(f("hh mmmm", dt(2024, 11, 1, 7, 30)), "07 30");
}

TEST_F(FormatDateTimeFr, TwelveHourClock)
{
    EXPECT_EQ(f("h:nn am/pm", dt(2024, 5, 15, 0, 30)), "12:30 am");
    EXPECT_EQ(f("hh:nn AM/PM", dt(2024, 5, 15, 13, 5)), "01:05 PM");
    EXPECT_EQ(f("h Am/Pm", dt(2024, 5, 15, 11, 59)), "11 Am");
    EXPECT_EQ(f("h a/p", dt(2024, 5, 15, 12)), "12 p");
    EXPECT_EQ(f("h A/P", dt(2024, 5, 15, 23)), "11 P");
    EXPECT_EQ(f("am/pm h", dt(2024, 5, 15, 15)), "pm 3");
    EXPECT_EQ(f("h", dt(2024, 5, 15, 15)), "15");
    // A marker inside quotes or after the next hour field does not count.
    EXPECT_EQ(f("h 'am/pm'", dt(2024, 5, 15, 15)), "15 am/pm");
    EXPECT_EQ(f("h:hh", dt(2024, 5, 15, 15)), "15:15");
    EXPECT_EQ(f("a b", dt(2024, 5, 15, 15)), "a b");
}

TEST_F(FormatDateTimeFr, LiteralsSeparatorsAndOtherCharacters)
{
    EXPECT_EQ(f("'le' d 'à' hh\"h\"nn"), "le 15 à 09h05");
    EXPECT_EQ(f("\"dd/mm\" d"), "dd/mm 15");
    EXPECT_EQ(f("dd 'mm"), "15 mm"); // an unclosed quote runs to the end
    EXPECT_EQ(f("c_x!é"), "c_x!é");
    ReglagesFormat autres = fr;
    autres.separateurDate = ".";
    autres.separateurHeure = "h";
    EXPECT_EQ(FormatDateTime("dd/mm hh:nn", mercredi, autres), "15.05 09h05");
    EXPECT_EQ(FormatDateTime("ddddd", mercredi, autres), "15.05.2024");
}

TEST_F(FormatDateTimeFr, EmptyFormatAndValuesOutOfRange)
{
    EXPECT_EQ(f(""), "15/05/2024 09:05:07");
    EXPECT_EQ(f("", dt(2024, 5, 15)), "15/05/2024");
    EXPECT_EQ(f("dd/mm/yyyy hh:nn", -1.25), "29/12/1899 06:00");
    EXPECT_EQ(f("dd/mm/yyyy", std::nan("")), "");
    EXPECT_EQ(f("dd/mm/yyyy", 1e7), "");
}

TEST(ReglagesFormat, QtFormatsAreTranslatedToTheProgramsNotation)
{
    EXPECT_EQ(FormatDepuisQt("dd/MM/yyyy"), "dd/mm/yyyy");
    EXPECT_EQ(FormatDepuisQt("HH:mm:ss t"), "hh:nn:ss");
    EXPECT_EQ(FormatDepuisQt("h:mm AP"), "h:nn AM/PM");
    EXPECT_EQ(FormatDepuisQt("h:mm:ss ap t"), "h:nn:ss am/pm");
    EXPECT_EQ(FormatDepuisQt("dddd, d. MMMM yy"), "dddd, d. mmmm yy");
    EXPECT_EQ(FormatDepuisQt("d 'de' MMMM 'o''clock' zzz"), "d 'de' mmmm 'o'\"'\"'clock' zzz");
    EXPECT_EQ(FormatDepuisQt("HH 'h' mm x"), "hh 'h' nn 'x'");

    const ReglagesFormat us = ReglagesFormat::depuisLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.formatHeureCourt, "h:nn AM/PM");
    EXPECT_EQ(FormatDateTime("t", dt(2024, 5, 15, 13, 5), us), "1:05 PM");
    EXPECT_EQ(FormatDateTime("ddddd", dt(2024, 5, 15), us), "5/15/24");
    const ReglagesFormat de = ReglagesFormat::depuisLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.separateurDate, ".");
    EXPECT_EQ(FormatDateTime("dddd", dt(2024, 5, 15), de), "Mittwoch");
}

TEST(ReglagesFormat, CurrentSettingsServeTheDefaultOverloads)
{
    if (QLocale::system().language() == QLocale::C) {
        EXPECT_EQ(ReglagesFormat::utilisateur().nomsMoisLongs[4], "mai");
    }
    const ReglagesFormat avant = reglagesFormatCourants();
    ReglagesFormat essai = ReglagesFormat::francais();
    essai.nomsMoisLongs[4] = "MAI";
    essai.separateurDecimal = "#";
    definirReglagesFormat(essai);
    EXPECT_EQ(FormatDateTime("mmmm", dt(2024, 5, 15)), "MAI");
    EXPECT_EQ(Format("%.1f", 2.25 + 0.01), "2#3");
    definirReglagesFormat(avant);
    EXPECT_EQ(reglagesFormatCourants().separateurDecimal, avant.separateurDecimal);
}

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
