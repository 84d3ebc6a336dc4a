// The locale settings, and the process-wide ones the default overloads read.
#include "analysis/format_date.h"
#include "analysis/format_texte.h"
#include "analysis/reglages_format.h"

#include <gtest/gtest.h>

using namespace korvan;

// Readable failure messages.
static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

TEST(ReglagesFormat, FrenchSettingsComeFromTheFrenchLocale)
{
    const ReglagesFormat fr = ReglagesFormat::francais();
    EXPECT_EQ(fr.nomsMoisLongs[4], "mai");
    EXPECT_EQ(fr.nomsJoursLongs[3], "mercredi");
    EXPECT_EQ(fr.nomsJoursLongs[0], "dimanche");
    EXPECT_EQ(fr.formatDateCourt, "dd/mm/yyyy");
    EXPECT_EQ(fr.separateurDate, "/");
    EXPECT_EQ(fr.separateurHeure, ":");
    EXPECT_EQ(fr.separateurMilliers, QLocale(QLocale::French, QLocale::France).groupSeparator());
    EXPECT_EQ(fr.separateurDecimal, ",");
}

TEST(ReglagesFormat, CurrentSettingsServeTheDefaultOverloads)
{
    if (QLocale::system().language() == QLocale::C) {
        EXPECT_EQ(ReglagesFormat::utilisateur().nomsMoisLongs[4], "mai");
    }
    TDateTime mai = 0;
    ASSERT_TRUE(EncodeDateTime(2024, 5, 15, 0, 0, 0, 0, mai));
    const ReglagesFormat avant = reglagesFormatCourants();
    ReglagesFormat essai = ReglagesFormat::francais();
    essai.nomsMoisLongs[4] = "MAI";
    essai.separateurDecimal = "#";
    definirReglagesFormat(essai);
    EXPECT_EQ(FormatDateTime("mmmm", mai), "MAI");
    EXPECT_EQ(Format("%.1f", 2.25 + 0.01), "2#3");
    definirReglagesFormat(avant);
    EXPECT_EQ(reglagesFormatCourants().separateurDecimal, avant.separateurDecimal);
}

