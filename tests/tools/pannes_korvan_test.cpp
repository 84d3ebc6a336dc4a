// The real korvan program under faults injected at chosen system calls on
// chosen files (support/pannes.h): a disk that fills up during a conversion,
// a destination that cannot be created, a rename or a move to the trash
// refused, and the program killed (SIGKILL) in the middle of a conversion, a
// rename, a scene file, a move to the trash, the saving of the playlist and
// of the settings. After each: the files that were there are there with their
// bytes (no source touched, no existing file replaced), what a killed run
// left is told apart by the readers (an interrupted capture), and the
// program started again takes it without crashing.
#include "analysis/avi_demuxer.h"
#include "scenes/lecture_scn.h"
#include "session_korvan.h"
#include "support/pannes.h"

#include <QFileInfo>
#include <QSettings>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

class PannesKorvan : public ::testing::Test, public SessionKorvan {
protected:
    void SetUp() override
    {
        KORVAN_REQUIRE_FIXTURES();
        if (!injectionDisponible())
            GTEST_SKIP() << "strace cannot inject faults here";
        ASSERT_TRUE(preparer());
    }
    QString chemin(const QString& nom) const { return clips() + '/' + nom; }
    QString erreurs(const Sortie& s) const { return QString::fromLocal8Bit(s.err); }
};

QString systeme(int erreur)
{
    return QString::fromLocal8Bit(std::strerror(erreur));
}

// korvan-info on a file: ends by itself and prints one JSON object for it.
QJsonObject infoPropre(const QString& fichier)
{
    const SortieKorvanInfo i = lancerKorvanInfo({fichier});
    EXPECT_EQ(i.code, 0) << i.erreurs.toStdString();
    const QStringList l = i.lignes();
    EXPECT_EQ(l.size(), 1);
    return l.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(l.first().toUtf8()).object();
}

// A settings file written whole: it reads without error and ends with the
// values saved at both ends of the program's list of settings.
bool reglagesComplets(const QString& fichier, const QString& listes)
{
    QSettings s(fichier, QSettings::IniFormat);
    return s.status() == QSettings::NoError && s.value("Dossier des PlayList").toString() == listes + '/'
        && s.contains("Sauver Liste en quittant") && s.contains("IncrustFont/Underline");
}

} // namespace

// Each conversion letter against a disk that is full from the first byte or
// fills up after the first write, and a folder where the output cannot be
// created: the run fails with its message and leaves no output.
TEST_F(PannesKorvan, ConversionsThatCannotWriteFailAndLeaveNothing)
{
    struct Faute {
        const char* nom;
        int apres;        // writes that succeed first; -1: the creation fails
        const char* quoi; // the message's start
        int erreur;
    };
    const Faute fautes[] = {
        {"disque plein", 0, "Impossible d'écrire le fichier ", ENOSPC},
        {"disque plein en route", 1, "Impossible d'écrire le fichier ", ENOSPC},
        {"lecture seule", -1, "Impossible de créer le fichier ", EROFS},
    };
    for (const ConversionParLettre& c : kConversionsParLettre) {
        for (const Faute& f : fautes) {
            // A WAV file goes to the disk in one write: it has no "half way".
            if (f.apres > 0 && !c.avi)
                continue;
            SCOPED_TRACE(std::string(c.lettre) + " " + f.nom);
            copier(c.source, "clip.avi");
            const EtatDossier avant = etatDossier(clips());
            const QString sortie = chemin(QStringLiteral("clip") + c.suffixe);
            const Panne p = f.apres < 0 ? Panne::echecAppel(sortie, "open,openat", "EROFS")
                                        : Panne::disquePlein(sortie, f.apres);
            const Sortie s = korvan({QStringLiteral("+h") + c.lettre, "clip.avi"}, {}, p.devant());
            ASSERT_TRUE(s.normale) << s.err.toStdString();
            EXPECT_EQ(s.code, 1);
            EXPECT_TRUE(erreurs(s).contains("Erreur: " + QString::fromUtf8(f.quoi) + sortie + " : " + systeme(f.erreur)))
                << s.err.toStdString();
            EXPECT_EQ(etatDossier(clips()), avant) << fichiersAbimes(avant, etatDossier(clips())).join(' ').toStdString();
            QFile::remove(chemin("clip.avi"));
        }
    }
}

// Each conversion letter killed when it writes its second block (a WAV file,
// written at once, at its only write): the source as it was, the partial
// output an interrupted capture that korvan-info reads and that a new run of
// the program takes without crashing.
TEST_F(PannesKorvan, AConversionKilledHalfWayLeavesARecognisablePartialOutput)
{
    for (const ConversionParLettre& c : kConversionsParLettre) {
        SCOPED_TRACE(c.lettre);
        copier(c.source, "clip.avi");
        const QString empreinte = sha256(chemin("clip.avi").toStdString());
        const QString sortie = chemin(QStringLiteral("clip") + c.suffixe);
        const Sortie s = korvan({QStringLiteral("+h") + c.lettre, "clip.avi"}, {},
                                Panne::arretBrutal(sortie, "write,pwrite64,pwritev", c.avi ? 2 : 1).devant());
        EXPECT_FALSE(s.normale) << "the run was not killed";
        EXPECT_EQ(sha256(chemin("clip.avi").toStdString()), empreinte);
        ASSERT_TRUE(QFileInfo::exists(sortie));
        const QJsonObject info = infoPropre(sortie);
        EXPECT_TRUE(info.value("existe").toBool());
        if (c.avi) {
            const AviDemuxer partiel = AviDemuxer::ouvrir(sortie.toStdString());
            EXPECT_GT(QFileInfo(sortie).size(), 0);
            EXPECT_TRUE(partiel.isAvi());
            EXPECT_TRUE(partiel.interrupted());
            // Listed as an interrupted capture is: the container not valid ("Erreur"),
            // the frames written counted by the probe.
            EXPECT_FALSE(info.value("valide").toBool());
            EXPECT_EQ(info.value("texteDatecode").toString(), "Erreur");
            EXPECT_GT(info.value("dureeVideo").toDouble(), 0) << QJsonDocument(info).toJson().toStdString();
            // Started again, the program takes the partial file as a clip.
            const Sortie encore = korvan({"+hs", QFileInfo(sortie).fileName()});
            EXPECT_TRUE(encore.normale) << encore.err.toStdString();
            EXPECT_EQ(encore.code, 0) << encore.err.toStdString();
        } else {
            EXPECT_FALSE(info.value("valide").toBool());
        }
        for (const QString& n : fichiers())
            QFile::remove(chemin(n));
    }
}

// The other commands that change files, each refused by the system or
// killed at the call that changes the file: renames, file dates, scene
// files, the trash, the saved playlist and settings.
TEST_F(PannesKorvan, RenamesDatesScenesTrashPlaylistAndSettingsUnderFaults)
{
    const QString listes = racine() + "/listes";
    ASSERT_TRUE(QDir().mkpath(listes));
    const QString playlist = listes + "/PlayList.txt";
    const QString corbeille = home() + "/.local/share/Trash/files";
    const QString renommes = "rename,renameat,renameat2";
    struct Cas {
        const char* nom;
        const char* lettres;
        QString fichier; // where the fault strikes
        QString appels;
        int rang;
        const char* erreur; // empty: SIGKILL
    };
    const Cas cas[] = {
        {"datecode refuse", "+hd", chemin("clip.avi"), renommes, 1, "EACCES"},
        {"datecode tue", "+hd", chemin("clip.avi"), renommes, 1, ""},
        {"timecode tue", "+ht", chemin("clip.avi"), renommes, 1, ""},
        {"raccourci tue", "+hq", chemin("clip_type2.avi"), renommes, 1, ""},
        {"date refusee", "+hb", chemin("clip.avi"), "utimensat", 1, "EPERM"},
        {"scenes disque plein", "+hs", chemin("clip.scn"), "write,pwrite64,pwritev", 2, "ENOSPC"},
        {"scenes tue", "+hs", chemin("clip.scn"), "write,pwrite64,pwritev", 3, ""},
        {"corbeille refusee", "+he", chemin("clip.avi"), renommes, 1, "EXDEV"},
        {"corbeille tuee", "+he", chemin("clip.avi"), renommes, 1, ""},
        // Saved through a temporary file, killed as that file is put in
        // place (strace matches the link to the name, not the rename over it).
        {"playlist tuee", "+hd", playlist, "linkat", 1, ""},
        {"reglages tues", "+hd", config(), "linkat", 1, ""},
    };
    for (const Cas& k : cas) {
        SCOPED_TRACE(k.nom);
        for (const QString& n : fichiers())
            QFile::remove(chemin(n));
        QDir(corbeille).removeRecursively();
        QDir(home() + "/.local/share/Trash/info").removeRecursively();
        copier("pal_t2_43.avi", "clip.avi");
        copier("pal_t2_43.avi", "clip_type2.avi");
        {
            QSettings reglages(config(), QSettings::IniFormat);
            reglages.setValue("Sauver Liste en quittant", 1);
            reglages.setValue("Dossier des PlayList", listes + '/');
        }
        writeWholeFile(playlist.toStdString(), "# ancienne liste\r\n");
        const std::string reglagesAvant = readWholeFile(config().toStdString());
        const EtatDossier avant = etatDossier(clips());
        const QString empreinte = avant.value("clip.avi");

        Panne faute = *k.erreur ? Panne::echecAppel(k.fichier, k.appels, k.erreur)
                                : Panne::arretBrutal(k.fichier, k.appels, k.rang);
        faute.rang = k.rang;
        const Sortie s = korvan({k.lettres, "clip.avi", "clip_type2.avi"}, {}, faute.devant());
        EXPECT_EQ(s.normale, bool(*k.erreur)) << s.err.toStdString();

        // Every clip is somewhere, whole: under its name, a new name or in the trash.
        const EtatDossier apres = etatDossier(clips());
        const EtatDossier jetes = etatDossier(corbeille);
        EXPECT_EQ(apres.values().count(empreinte) + jetes.values().count(empreinte), 2)
            << QStringList(apres.keys()).join(' ').toStdString();
        // The saved list and settings are the old or the new ones, never a part.
        const std::string liste = readWholeFile(playlist.toStdString());
        EXPECT_TRUE(liste == "# ancienne liste\r\n" || liste.find("# Fait le ") != std::string::npos) << liste;
        const std::string reglages = readWholeFile(config().toStdString());
        EXPECT_TRUE(reglages == reglagesAvant || reglagesComplets(config(), listes)) << reglages;
        // A scene file left by a killed run is read to its end and no further.
        if (QFileInfo::exists(chemin("clip.scn"))) {
            LecteurScn scn;
            int32_t limite = 0;
            int suivantes = 0;
            if (scn.LireEnteteScn(chemin("clip.scn")))
                while (scn.LireSceneSuivante(limite) && ++suivantes < 100) {
                }
            EXPECT_LT(suivantes, 100);
        }
        // Started again, the program takes what was left without crashing.
        const Sortie encore = korvan({"+hs", "clip.avi"});
        EXPECT_TRUE(encore.normale) << encore.err.toStdString();
    }
}
