// korvan-info --filters as a user runs it: one line per filter with why it is
// missing, then the eleven report lines, honouring KORVAN_FILTRES_ABSENTS.
#include "support/fixtures.h"

#include <QProcessEnvironment>
#include <gtest/gtest.h>

using namespace korvan::test;

namespace {

struct Sortie {
    int code = -1;
    QStringList lignes;
};

Sortie filtres(const QString& absents)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KORVAN_FILTRES_ABSENTS"), absents);
    const SortieKorvanInfo s = lancerKorvanInfo({QStringLiteral("--filters")}, env);
    return {s.code, QString::fromUtf8(s.sortie).split(QLatin1Char('\n'), Qt::SkipEmptyParts)};
}

QStringList commencantPar(const QStringList& lignes, const QString& debut)
{
    QStringList l;
    for (const QString& ligne : lignes)
        if (ligne.startsWith(debut))
            l << ligne;
    return l;
}

} // namespace

TEST(KorvanInfoFiltres, MarkedFiltersShowAsAbsentWithTheirReasonAndReportLines)
{
    const Sortie s = filtres(QStringLiteral("WAV Dest;brannoc dvheader"));
    ASSERT_EQ(s.code, 0);
    const QStringList filtresLignes = commencantPar(s.lignes, QStringLiteral("filtre\t"));
    EXPECT_GE(filtresLignes.size(), 19);
    EXPECT_TRUE(filtresLignes.contains(QStringLiteral(
        "filtre\tabsent\tDirectShow filters\tWAV Dest\tmarqué absent par KORVAN_FILTRES_ABSENTS")));
    EXPECT_TRUE(filtresLignes.contains(QStringLiteral(
        "filtre\tprésent\tDirectShow filters\tBrannoc Superposer3\tkorvan:superposer3")));
    EXPECT_TRUE(filtresLignes.contains(QStringLiteral(
        "filtre\tprésent\tVideo compressors\tDV Video Encoder\tavcodec:encoder:dvvideo")));

    const QStringList groupes = commencantPar(s.lignes, QStringLiteral("groupe\t"));
    ASSERT_EQ(groupes.size(), 11);
    EXPECT_EQ(groupes[0], QStringLiteral("groupe\tprésent\tokConversion\tLes filtres de conversion sont tous présents."));
    EXPECT_EQ(groupes[4], QStringLiteral("groupe\tabsent\tokIncrustation\tCertains filtres pour Incruster sont absents."));
    EXPECT_EQ(groupes[8], QStringLiteral("groupe\tabsent\tokDVHeader\tLe filtre Brannoc DVHeader est absent."));
    EXPECT_EQ(groupes[10], QStringLiteral("groupe\tabsent\tokWavDest\tLe filtre WavDest est absent."));
    // Only the lines of the two marked filters, and the preview's (which needs a sound device), may be absent.
    for (const QString& g : groupes) {
        if (!g.contains(QLatin1String("okIncrustation")) && !g.contains(QLatin1String("okDVHeader"))
            && !g.contains(QLatin1String("okWavDest")) && !g.contains(QLatin1String("okVisualisation"))) {
            EXPECT_TRUE(g.startsWith(QStringLiteral("groupe\tprésent\t"))) << g.toStdString();
        }
    }
}

TEST(KorvanInfoFiltres, HelpNamesTheOption)
{
    EXPECT_TRUE(lancerKorvanInfo({QStringLiteral("--help")}).sortie.contains("--filters"));
}
