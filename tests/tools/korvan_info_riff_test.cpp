// korvan-info --riff prints the RIFF structure report of each file given,
// line for line as the window shows it.
#include "analysis/dateheure.h"
#include "analysis/file_io.h"
#include "analysis/riffunit.h"
#include "platform/identite_programme.h"
#include "support/fixtures.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

QStringList rapport(const std::string& nom)
{
    const BinaryFile f(fixture(nom), BinaryFile::Mode::Read);
    return RapportRiff(f, QString::fromStdString(fixture(nom)), {versionProgramme, kAdresseSiteWeb, Maintenant()});
}

} // namespace

TEST(KorvanInfoRiff, PrintsEachFilesReportAsTheWindowShowsIt)
{
    KORVAN_REQUIRE_FIXTURES();
    const SortieKorvanInfo s = lancerKorvanInfo(
        {"--riff", QString::fromStdString(fixture("pal_t2_43.avi")), QString::fromStdString(fixture("not_riff.avi"))});
    ASSERT_EQ(s.code, 0) << s.erreurs.toStdString();
    EXPECT_TRUE(s.erreurs.isEmpty());
    const QStringList premier = rapport("pal_t2_43.avi");
    const QStringList second = rapport("not_riff.avi");
    QStringList vu = s.lignes();
    ASSERT_EQ(vu.size(), premier.size() + second.size());
    // The time of the report is the only line that may differ.
    const QRegularExpression moment("^ *analysée le \\d{1,2}/\\d\\d/\\d{4} à \\d{1,2}:\\d\\d:\\d\\d *$");
    for (const qsizetype i : {qsizetype(4), premier.size() + 4}) {
        EXPECT_TRUE(moment.match(vu[i]).hasMatch()) << vu[i].toStdString();
        vu[i] = (i == 4 ? premier : second)[4];
    }
    EXPECT_EQ(vu, premier + second);
    EXPECT_EQ(vu[premier.size() + 11], ">>> Il y a 0000003F octets de déchets à la fin du fichier");
}

TEST(KorvanInfoRiff, AMissingFileIsAnErrorAndTheOthersArePrinted)
{
    KORVAN_REQUIRE_FIXTURES();
    const ScratchDir dir;
    const QString absent = QString::fromStdString(dir.path("absent.avi"));
    const SortieKorvanInfo s = lancerKorvanInfo({"--riff", absent, QString::fromStdString(fixture("empty.avi"))});
    EXPECT_EQ(s.code, 1);
    // The system's reason follows, in the user's language.
    EXPECT_TRUE(QString::fromUtf8(s.erreurs).startsWith("korvan-info: cannot open " + absent + ": ")) << s.erreurs.toStdString();
    EXPECT_EQ(s.erreurs.count('\n'), 1);
    EXPECT_EQ(s.lignes().size(), rapport("empty.avi").size());
    const SortieKorvanInfo aide = lancerKorvanInfo({"--help"});
    EXPECT_TRUE(aide.sortie.contains("korvan-info --riff FILE..."));
}
