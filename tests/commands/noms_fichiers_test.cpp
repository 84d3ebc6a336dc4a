#include "commands/noms_fichiers.h"

#include "analysis/reglages_format.h"
#include "support/fixtures.h"

#include <QFile>
#include <gtest/gtest.h>
#include <set>

using namespace korvan;
using namespace korvan::test;

namespace {

TEST(NomRaccourci, TakesOffAppendedSuffixesFromTheEnd)
{
    EXPECT_EQ(NomRaccourci("/v/clip_type1_ntsc"), "/v/clip");
    EXPECT_EQ(NomRaccourci("/v/vacances_2004_12"), "/v/vacances");
    EXPECT_EQ(NomRaccourci("/v/clip_01a"), "/v/clip_01a");
    EXPECT_EQ(NomRaccourci("/v/clip_B2_pal"), "/v/clip_B2");
    EXPECT_EQ(NomRaccourci("/v/clip_"), "/v/clip");
    EXPECT_EQ(NomRaccourci("/v/Clip_TYPE1"), "/v/Clip");
    EXPECT_EQ(NomRaccourci("/v/clip_In_AM_pm_Pal"), "/v/clip");
    EXPECT_EQ(NomRaccourci("/v/clip_final"), "/v/clip_final");
    EXPECT_EQ(NomRaccourci("/v/clip"), "/v/clip");
    // Letters outside a-z do not protect a suffix, as in the historical comparison.
    EXPECT_EQ(NomRaccourci("/v/clip_été"), "/v/clip_été");
    EXPECT_EQ(NomRaccourci("/v/clip_é"), "/v/clip");
}

TEST(NomRaccourci, NeverLeavesTheFolderNorEmptiesTheName)
{
    // The "_" of a folder is not a suffix mark: the clip stays where it is.
    EXPECT_EQ(NomRaccourci("/media/DV_2004/12"), "/media/DV_2004/12");
    EXPECT_FALSE(EstRaccourcissable("/media/DV_2004/12"));
    EXPECT_EQ(NomRaccourci("/media/DV_2004/12_34"), "/media/DV_2004/12");
    // A name that opens with "_" keeps that much.
    EXPECT_EQ(NomRaccourci("/v/_12"), "/v/_12");
    EXPECT_FALSE(EstRaccourcissable("/v/_type2"));
    EXPECT_EQ(NomRaccourci("/v/__"), "/v/_");
}

TEST(NomRaccourci, OfferedOnlyWhenTheLastSuffixGoes)
{
    EXPECT_FALSE(EstRaccourcissable("/v/clip"));
    EXPECT_FALSE(EstRaccourcissable("/v/clip_final"));
    EXPECT_TRUE(EstRaccourcissable("/v/clip_type2"));
    EXPECT_TRUE(EstRaccourcissable("/v/clip_2"));
    EXPECT_TRUE(EstRaccourcissable("/v/clip_"));
    EXPECT_TRUE(EstRaccourcissable("/v/Clip_TYPE1"));
    EXPECT_FALSE(EstRaccourcissable("/v/clip_pal_final"));
}

TEST(NomsFichiers, BaseAndFolderOfAPath)
{
    EXPECT_EQ(BaseDeChemin("/v/clip.avi"), "/v/clip");
    EXPECT_EQ(BaseDeChemin("/v/clip.AVI"), "/v/clip");
    EXPECT_EQ(BaseDeChemin("/v/clip.avi.avi"), "/v/clip.avi");
    EXPECT_EQ(BaseDeChemin("/v/clip.mov"), "/v/clip.mov");
    EXPECT_EQ(DossierDeChemin("/v/my clip.avi"), "/v/");
    EXPECT_EQ(DossierDeChemin("clip.avi"), "");
}

TEST(NomsFichiers, DatecodeForANameReplacesSeparatorsAndBadCharacters)
{
    const ReglagesFormat avant = reglagesFormatCourants();
    ReglagesFormat r = ReglagesFormat::francais();
    r.separateurDate = QStringLiteral("/");
    r.separateurHeure = QStringLiteral(":");
    definirReglagesFormat(r);
    TDateTime d = 0;
    ASSERT_TRUE(EncodeDateTime(2004, 5, 12, 14, 30, 5, 0, d));
    EXPECT_EQ(DatecodePourNom(d, "dd.mm.yyyy_hh.nn.ss"), "12.05.2004_14.30.05");
    EXPECT_EQ(DatecodePourNom(d, "dd/mm/yyyy hh:nn"), "12.05.2004 14.30");
    EXPECT_EQ(DatecodePourNom(d, "yyyy'<>\"\\|'"), "2004.....");
    definirReglagesFormat(avant);
}

TEST(NomLibre, CountsUpFromOneUntilTheAviNameIsFree)
{
    std::set<QString> pris;
    const auto existe = [&](const QString& c) { return pris.count(c) > 0; };
    EXPECT_EQ(NomLibre("/v/clip", existe), "/v/clip");
    pris = {"/v/clip.avi"};
    EXPECT_EQ(NomLibre("/v/clip", existe), "/v/clip(1)");
    pris = {"/v/clip.avi", "/v/clip(1).avi", "/v/clip(2).avi", "/v/clip(3).avi", "/v/clip(4).avi",
            "/v/clip(5).avi", "/v/clip(6).avi", "/v/clip(7).avi", "/v/clip(8).avi", "/v/clip(9).avi"};
    EXPECT_EQ(NomLibre("/v/clip", existe), "/v/clip(10)");
    // Only the video's name counts: a scene file alone does not take it.
    pris = {"/v/clip.scn"};
    EXPECT_EQ(NomLibre("/v/clip", existe), "/v/clip");
}

TEST(NomLibre, OnDiskADanglingLinkTakesTheName)
{
    ScratchDir dir;
    const QString base = QString::fromStdString(dir.path("clip"));
    EXPECT_EQ(NomLibre(base), base);
    writeWholeFile(dir.path("clip.avi"), "x");
    ASSERT_TRUE(QFile::link(QString::fromStdString(dir.path("nowhere")), base + "(1).avi"));
    EXPECT_EQ(NomLibre(base), base + "(2)");
}

} // namespace
