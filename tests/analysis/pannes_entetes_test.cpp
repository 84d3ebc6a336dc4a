// A header patch killed (SIGKILL) at any point leaves the old bytes or the
// new ones, never a mix: the patch is one positioned write. The patch runs in
// a child (this test program again, on one disabled test) under strace, which
// kills it on entering its first write to the clip, or on entering a second
// one, which only a patch split in two would make.
#include "analysis/fpsunit.h"
#include "support/fixtures.h"
#include "support/pannes.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

const char* const kFichier = "KORVAN_PATCH_FICHIER";
const char* const kQuoi = "KORVAN_PATCH_QUOI";

void patcher(const std::string& chemin, const std::string& quoi)
{
    if (quoi == "frequence")
        EcrireFrequence(chemin, 30000.0 / 1001);
    else
        ASSERT_TRUE(EcrireCodec(chemin, CodeDepuisTexte("CDVC")));
}

} // namespace

// The child's side: the patch of the file the parent names.
TEST(PannesEntetes, DISABLED_PatchDuFichierNomme)
{
    const QByteArray chemin = qgetenv(kFichier);
    ASSERT_FALSE(chemin.isEmpty());
    patcher(chemin.toStdString(), qgetenv(kQuoi).toStdString());
}

TEST(PannesEntetes, AHeaderPatchKilledLeavesTheOldOrTheNewBytesNeverAMix)
{
    KORVAN_REQUIRE_FIXTURES();
    if (!injectionDisponible())
        GTEST_SKIP() << "strace cannot inject faults here";
    ScratchDir d;
    for (const char* quoi : {"frequence", "codec"}) {
        SCOPED_TRACE(quoi);
        const std::string modele = d.copyFixture("pal_t2_43.avi", "modele.avi");
        const QString avant = sha256(modele);
        patcher(modele, quoi);
        const QString apres = sha256(modele);
        ASSERT_NE(avant, apres);
        for (int rang : {1, 2}) {
            SCOPED_TRACE(rang);
            const std::string clip = d.copyFixture("pal_t2_43.avi", "clip.avi");
            const QString chemin = QString::fromStdString(clip);
            QStringList commande = Panne::arretBrutal(chemin, "write,pwrite64,pwritev", rang).devant();
            commande << QCoreApplication::applicationFilePath() << "--gtest_also_run_disabled_tests"
                     << "--gtest_filter=PannesEntetes.DISABLED_PatchDuFichierNomme";
            QProcess enfant;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(kFichier, chemin);
            env.insert(kQuoi, quoi);
            enfant.setProcessEnvironment(env);
            enfant.start(commande.takeFirst(), commande);
            ASSERT_TRUE(enfant.waitForFinished(60000));
            const bool tue = enfant.exitStatus() == QProcess::CrashExit || enfant.exitCode() != 0;
            // Killed at its first write: nothing written. Past it: the whole patch.
            EXPECT_EQ(tue, rang == 1) << enfant.readAllStandardOutput().toStdString();
            EXPECT_EQ(sha256(clip), rang == 1 ? avant : apres);
            QFile::remove(chemin);
        }
        QFile::remove(QString::fromStdString(modele));
    }
}
