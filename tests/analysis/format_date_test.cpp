// The date notation: every format letter, against the French settings.
#include "analysis/format_date.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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

struct Cas {
    const char* format;
    TDateTime valeur;
    QString attendu;
};

class FormatDateTimeFr : public ::testing::Test {
protected:
    const ReglagesFormat fr = ReglagesFormat::francais();
    // A Wednesday; every field differs from the others.
    const TDateTime mercredi = dt(2024, 5, 15, 9, 5, 7, 42);

    void verifier(const std::vector<Cas>& cas, const ReglagesFormat& reglages) const
    {
        for (const Cas& c : cas)
            EXPECT_EQ(FormatDateTime(QString::fromUtf8(c.format), c.valeur, reglages), c.attendu) << c.format;
    }
    void verifier(const std::vector<Cas>& cas) const { verifier(cas, fr); }
};

} // namespace

TEST_F(FormatDateTimeFr, TheProgramsStoredFormats)
{
    verifier({
        {"dd.mm.yyyy_hh.nn.ss", mercredi, "15.05.2024_09.05.07"},
        {"dd/mm/yyyy hh:nn:ss", mercredi, "15/05/2024 09:05:07"},
        {"yyyymmdd_hh.nn.ss", mercredi, "20240515_09.05.07"},
        {"ddddd hh:nn:ss", mercredi, "15/05/2024 09:05:07"},
        {"yyyymmddhhnnss", mercredi, "20240515090507"},
        {"d/mm/yyyy", dt(2024, 5, 3), "3/05/2024"},
        {"h:mm:ss", mercredi, "9:05:07"},
    });
}

TEST_F(FormatDateTimeFr, NumbersNamesAndLocaleFormats)
{
    const TDateTime v = dt(2005, 1, 2, 3, 4, 5, 6);
    verifier({
        {"d/m/yy h:n:s z", v, "2/1/05 3:4:5 6"},
        {"dd/mm/yyyy hh:nn:ss zzz", v, "02/01/2005 03:04:05 006"},
        {"yyyy", dt(5, 6, 7), "0005"},
        {"dddd d mmmm yyyy", mercredi, "mercredi 15 mai 2024"},
        {"ddd mmm", mercredi, fr.nomsJoursCourts[3] + " " + fr.nomsMoisCourts[4]},
        {"dddddd", mercredi, "mercredi 15 mai 2024"},
        {"t", mercredi, "09:05"},
        {"tt", mercredi, "09:05:07"},
        // Specifiers are case-insensitive.
        {"DD/MM/YYYY HH:NN:SS", mercredi, "15/05/2024 09:05:07"},
    });
}

TEST_F(FormatDateTimeFr, MonthAfterHourMeansMinutes)
{
    const TDateTime novembre = dt(2024, 11, 1, 7, 30);
    verifier({
        {"hh:mm", mercredi, "09:05"},
        {"hh'h'mm", mercredi, "09h05"},     // quoted text does not end the hour
        {"hh:nn mm", mercredi, "09:05 05"}, // the last letter was n: month
        {"mm/dd hh", mercredi, "05/15 09"},
        {"hh:nn:ss", novembre, "07:30:00"},
        {"hh mmmm", novembre, "07 30"},
    });
}

TEST_F(FormatDateTimeFr, TwelveHourClock)
{
    const TDateTime quinzeHeures = dt(2024, 5, 15, 15);
    verifier({
        {"h:nn am/pm", dt(2024, 5, 15, 0, 30), "12:30 am"},
        {"hh:nn AM/PM", dt(2024, 5, 15, 13, 5), "01:05 PM"},
        {"h Am/Pm", dt(2024, 5, 15, 11, 59), "11 Am"},
        {"h a/p", dt(2024, 5, 15, 12), "12 p"},
        {"h A/P", dt(2024, 5, 15, 23), "11 P"},
        {"am/pm h", quinzeHeures, "pm 3"},
        {"h", quinzeHeures, "15"},
        // A marker inside quotes or after the next hour field does not count.
        {"h 'am/pm'", quinzeHeures, "15 am/pm"},
        {"h:hh", quinzeHeures, "15:15"},
        {"a b", quinzeHeures, "a b"},
    });
}

TEST_F(FormatDateTimeFr, LiteralsSeparatorsAndOtherCharacters)
{
    verifier({
        {"'le' d 'à' hh\"h\"nn", mercredi, "le 15 à 09h05"},
        {"\"dd/mm\" d", mercredi, "dd/mm 15"},
        {"dd 'mm", mercredi, "15 mm"}, // an unclosed quote runs to the end
        {"c_x!é", mercredi, "c_x!é"},
    });
    ReglagesFormat autres = fr;
    autres.separateurDate = ".";
    autres.separateurHeure = "h";
    verifier({
        {"dd/mm hh:nn", mercredi, "15.05 09h05"},
        {"ddddd", mercredi, "15.05.2024"},
    }, autres);
}

TEST_F(FormatDateTimeFr, EmptyFormatAndValuesOutOfRange)
{
    verifier({
        {"", mercredi, "15/05/2024 09:05:07"},
        {"", dt(2024, 5, 15), "15/05/2024"},
        {"dd/mm/yyyy hh:nn", -1.25, "29/12/1899 06:00"},
        {"dd/mm/yyyy", std::nan(""), ""},
        {"dd/mm/yyyy", 1e7, ""},
    });
}

TEST(FormatDepuisQt, QtFormatsAreTranslatedToTheProgramsNotation)
{
    const struct {
        const char* qt;
        const char* notation;
    } cas[] = {
        {"dd/MM/yyyy", "dd/mm/yyyy"},
        {"HH:mm:ss t", "hh:nn:ss"},
        {"h:mm AP", "h:nn AM/PM"},
        {"h:mm:ss ap t", "h:nn:ss am/pm"},
        {"dddd, d. MMMM yy", "dddd, d. mmmm yy"},
        {"d 'de' MMMM 'o''clock' zzz", "d 'de' mmmm 'o'\"'\"'clock' zzz"},
        {"HH 'h' mm x", "hh 'h' nn 'x'"},
    };
    for (const auto& c : cas)
        EXPECT_EQ(FormatDepuisQt(QString::fromUtf8(c.qt)), c.notation) << c.qt;
}

TEST(FormatDepuisQt, OtherLocalesFormatTheirOwnWay)
{
    const ReglagesFormat us = ReglagesFormat::depuisLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.formatHeureCourt, "h:nn AM/PM");
    EXPECT_EQ(FormatDateTime("t", dt(2024, 5, 15, 13, 5), us), "1:05 PM");
    EXPECT_EQ(FormatDateTime("ddddd", dt(2024, 5, 15), us), "5/15/24");
    const ReglagesFormat de = ReglagesFormat::depuisLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.separateurDate, ".");
    EXPECT_EQ(FormatDateTime("dddd", dt(2024, 5, 15), de), "Mittwoch");
}
