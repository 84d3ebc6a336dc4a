// The korvan program run from a shell as a batch user runs it: no display
// (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM unset), a home of its own,
// copies of the fixtures in a folder, relative names as a shell glob gives.
#include "platform/entree_bureau_valide.h"
#include "session_korvan.h"
#include "support/fixtures.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

using namespace korvan::test;

namespace {

class KorvanLigneCommande : public ::testing::Test, public SessionKorvan {
protected:
    void SetUp() override
    {
        KORVAN_REQUIRE_FIXTURES();
        ASSERT_TRUE(preparer());
        // Names with no suffix the shortening would take, so that it gives them back.
        copier("pal_t2_43.avi", "mariage.avi");
        copier("ntsc_t2_43.avi", "plage.avi");
        copier("pal_t1_43.avi", "anniversaire.avi");
        copier("pal_no_date.avi", "sans date.avi");
        copier("not_riff.avi", "abime.avi");
    }
};

} // namespace

TEST_F(KorvanLigneCommande, HiddenRunsRenameShortenAndDateWithoutADisplay)
{
    Sortie s = korvanSurTout("+hd");
    ASSERT_TRUE(s.normale) << s.err.toStdString();
    EXPECT_EQ(s.code, 0) << s.err.toStdString();
    // Each dated clip renamed once; the undated and the unreadable ones left alone.
    EXPECT_EQ(fichiers(), QStringList({"abime.avi", "anniversaire_28.02.2002_23.59.58.avi",
                                       "mariage_14.07.2004_10.31.05.avi", "plage_05.03.2006_09.15.30.avi",
                                       "sans date.avi"}));
    // The normal shutdown saved the settings.
    EXPECT_TRUE(QFileInfo::exists(config()));

    s = korvanSurTout("/HQ");
    ASSERT_TRUE(s.normale && s.code == 0) << s.err.toStdString();
    EXPECT_EQ(fichiers(), QStringList({"abime.avi", "anniversaire.avi", "mariage.avi", "plage.avi", "sans date.avi"}));

    const QDateTime avant = QFileInfo(clips() + "/sans date.avi").lastModified();
    s = korvanSurTout("+bh");
    ASSERT_TRUE(s.normale && s.code == 0) << s.err.toStdString();
    EXPECT_EQ(QFileInfo(clips() + "/mariage.avi").lastModified(), QDateTime(QDate(2004, 7, 14), QTime(10, 31, 5)));
    EXPECT_EQ(QFileInfo(clips() + "/plage.avi").lastModified(), QDateTime(QDate(2006, 3, 5), QTime(9, 15, 30)));
    EXPECT_EQ(QFileInfo(clips() + "/sans date.avi").lastModified(), avant);
}

TEST_F(KorvanLigneCommande, HiddenRunKeepsTheSavedListAndAddsToIt)
{
    // "Save the list on exit" is on, with a list from an earlier session.
    const QString listes = racine() + "/listes";
    ASSERT_TRUE(QDir().mkpath(listes));
    copier("pal_t2_169.avi", "ancien.avi", listes);
    {
        QSettings reglages(config(), QSettings::IniFormat);
        reglages.setValue("Sauver Liste en quittant", 1);
        // Folder settings end with a separator: the file name is appended to them.
        reglages.setValue("Dossier des PlayList", listes + '/');
    }
    writeWholeFile((listes + "/PlayList.txt").toStdString(), "# liste\r\n     " + (listes + "/ancien.avi").toStdString() + "\r\n");

    const Sortie s = korvan({"+hd", "mariage.avi"});
    ASSERT_TRUE(s.normale && s.code == 0) << s.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(listes + "/ancien.avi")); // not treated by the switch
    const QString liste = QString::fromStdString(readWholeFile((listes + "/PlayList.txt").toStdString()));
    EXPECT_TRUE(liste.contains("     " + listes + "/ancien.avi\r\n")) << liste.toStdString();
    EXPECT_TRUE(liste.contains("     " + clips() + "/mariage_14.07.2004_10.31.05.avi\r\n")) << liste.toStdString();
    EXPECT_TRUE(liste.contains("# 2 fichiers triés selon datecode")) << liste.toStdString();
}

TEST_F(KorvanLigneCommande, HiddenRunIgnoresHelpCloseAndUnknownLetters)
{
    const Sortie s = korvan({"+h?cuvy", "/nulle/part.avi", "mariage.avi", "e"}); // u, v, y: no command owns them
    ASSERT_TRUE(s.normale) << s.err.toStdString();
    EXPECT_EQ(s.code, 0);
    EXPECT_EQ(fichiers(), QStringList({"abime.avi", "anniversaire.avi", "mariage.avi", "plage.avi", "sans date.avi"}));
}

TEST_F(KorvanLigneCommande, HiddenRunTellsAFailedRenameAndFails)
{
    // With the datecode appended the name would pass the filesystem's 255 bytes.
    const QString base(236, u'n');
    copier("pal_t2_43.avi", base + ".avi");
    const Sortie s = korvan({"+hd", base + ".avi", "mariage.avi"});
    ASSERT_TRUE(s.normale) << s.err.toStdString();
    EXPECT_EQ(s.code, 1);
    const QString attendu = "Erreur: Impossible de renommer " + clips() + '/' + base + ".avi en " + base +
                            "_14.07.2004_10.31.05.avi : " + QString::fromLocal8Bit(std::strerror(ENAMETOOLONG)) + '\n';
    EXPECT_TRUE(QString::fromLocal8Bit(s.err).contains(attendu)) << s.err.toStdString();
    // The other clip was renamed all the same; the failed one kept its name.
    EXPECT_TRUE(fichiers().contains("mariage_14.07.2004_10.31.05.avi"));
    EXPECT_TRUE(fichiers().contains(base + ".avi"));
}

// Every letter a switch may carry, alone in a hidden run: it runs (or owns no
// command) and the run succeeds, or its command is not in this version and
// the run says so and fails. The letters of the commands already built run.
TEST_F(KorvanLigneCommande, EveryLetterRunsOrIsRefused)
{
    const QString prefixe = QStringLiteral("Erreur: Commande non disponible dans cette version : ");
    QString refusees;
    for (const QChar l : QStringLiteral("abdefgijklnopqrstuvwxyz0123456789")) {
        SCOPED_TRACE(QString(l).toStdString());
        QTemporaryDir d;
        ASSERT_TRUE(d.isValid());
        copier("pal_t2_43.avi", "clip_type2.avi", d.path());
        const Sortie s = korvan({QStringLiteral("+h") + l, d.path() + "/clip_type2.avi"});
        ASSERT_TRUE(s.normale) << s.err.toStdString();
        const QString err = QString::fromLocal8Bit(s.err);
        if (err.contains(prefixe)) {
            refusees += l;
            EXPECT_EQ(s.code, 1);
            const QString ligne = err.mid(err.indexOf(prefixe)).section('\n', 0, 0);
            EXPECT_TRUE(ligne.endsWith(QStringLiteral(" (+") + l + ')')) << ligne.toStdString();
            EXPECT_TRUE(QFileInfo::exists(d.path() + "/clip_type2.avi"));
        } else {
            EXPECT_EQ(s.code, 0);
            EXPECT_FALSE(err.contains("Erreur")) << err.toStdString();
        }
    }
    for (const QChar l : QStringLiteral("edtqbrszx12wnpig"))
        EXPECT_FALSE(refusees.contains(l)) << QString(l).toStdString();
}

TEST_F(KorvanLigneCommande, WindowModeWithoutADisplayCannotStart)
{
    // Without "h" the program needs a screen; it must fail, not act unseen.
    const Sortie s = korvan({"+md", "mariage.avi"});
    EXPECT_FALSE(s.normale && s.code == 0);
    EXPECT_TRUE(QFileInfo::exists(clips() + "/mariage.avi"));
}

TEST_F(KorvanLigneCommande, WindowRunWithCloseLetterEndsTheProgram)
{
    // A window run on a screen nobody sees: "c" must end the event loop after the commands.
    const Sortie s = korvan({"+mdc", "mariage.avi", "sans date.avi"}, "offscreen");
    ASSERT_TRUE(s.normale) << s.err.toStdString();
    EXPECT_EQ(s.code, 0);
    EXPECT_TRUE(QFileInfo::exists(clips() + "/mariage_14.07.2004_10.31.05.avi"));
    EXPECT_TRUE(QFileInfo::exists(clips() + "/sans date.avi"));
    EXPECT_TRUE(QFileInfo::exists(config()));
}

// Without a display, and even with files beside them: the text, exit 0, no window.
TEST_F(KorvanLigneCommande, HelpAndVersionPrintWithoutADisplay)
{
    for (const auto& [option, debut] : {std::pair{"--version", "Korvan 5.3.6\n"}, std::pair{"--help", "Usage : korvan "}}) {
        const Sortie s = korvan({option, "mariage.avi", "+hd"});
        ASSERT_TRUE(s.normale) << option;
        EXPECT_EQ(s.code, 0) << option << s.err.toStdString();
        EXPECT_TRUE(s.out.startsWith(debut)) << s.out.toStdString();
    }
    EXPECT_EQ(fichiers().filter("mariage").size(), 1);
    EXPECT_TRUE(fichiers().contains("mariage.avi")); // nothing ran
}

// Plug-ins from the user's folder and the one shipped beside the program,
// run by their letters in a hidden run.
TEST_F(KorvanLigneCommande, PluginLettersRunInAHiddenRun)
{
    const QString dossier = home() + "/.local/share/korvan/plugins";
    ASSERT_TRUE(QDir().mkpath(dossier));
    ASSERT_TRUE(QFile::copy(KORVAN_ESSAIS_PLUGINS "/a_majuscules.qzp", dossier + "/a_majuscules.qzp"));
    const Sortie s = korvan({"+hj", "mariage.avi", "plage.avi"});
    ASSERT_TRUE(s.normale);
    EXPECT_EQ(s.code, 0) << s.err.toStdString();
    QFile essai(clips() + "/mariage.avi.essai");
    ASSERT_TRUE(essai.open(QIODevice::ReadOnly));
    // The entry's name and rate, and the command's own record.
    EXPECT_EQ(essai.readAll(), "mariage.avi 25.000 essai 40\n");
    QFile essai2(clips() + "/plage.avi.essai");
    ASSERT_TRUE(essai2.open(QIODevice::ReadOnly));
    EXPECT_EQ(essai2.readAll(), "plage.avi 29.970 essai 40\n"); // each execution gets the command's record afresh

    // The example plug-in writes the codes of DV clips, and leaves other files alone.
    const Sortie k = korvan({"+hk", "mariage.avi", "anniversaire.avi", "abime.avi"});
    EXPECT_EQ(k.code, 0) << k.err.toStdString();
    const QJsonObject attendus = expectedFiles();
    for (const auto& [clip, fixture] : {std::pair{"mariage", "pal_t2_43.avi"}, std::pair{"anniversaire", "pal_t1_43.avi"}}) {
        QFile codes(clips() + "/" + clip + "_codes.txt");
        ASSERT_TRUE(codes.open(QIODevice::ReadOnly)) << clip;
        const QJsonObject e = attendus.value(fixture).toObject();
        EXPECT_EQ(QString::fromUtf8(codes.readAll()),
                  "datecode: " + e["texteDatecode"].toString() + "\ntimecode: " + e["texteTimecode"].toString() + "\n");
    }
    EXPECT_FALSE(QFileInfo::exists(clips() + "/abime_codes.txt"));
}

TEST_F(KorvanLigneCommande, AFirstHiddenRunLeavesTheSendToEntryAndTheSettings)
{
    const QString entree = home() + "/.local/share/applications/Korvan.desktop";
    Sortie s = korvan({"+h"});
    ASSERT_TRUE(s.normale) << s.err.toStdString();
    EXPECT_EQ(s.code, 0) << s.err.toStdString();
    ASSERT_TRUE(QFileInfo(entree).isFile());
    verifierEntreeValide(entree);
    EXPECT_TRUE(readWholeFile(entree.toStdString()).find("Exec=\"" KORVAN_BINARY_DIR "/korvan\" %F") != std::string::npos);
    ASSERT_TRUE(QFileInfo(config()).isFile());
    EXPECT_EQ(QSettings(config(), QSettings::IniFormat).value("Sendto").toInt(), 1);

    // The setting turned off: the next start removes the entry, and it stays away.
    QSettings(config(), QSettings::IniFormat).setValue("Sendto", 0);
    for (int i = 0; i < 2; ++i) {
        s = korvan({"+h"});
        ASSERT_TRUE(s.normale && s.code == 0) << s.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(entree));
    }
}
