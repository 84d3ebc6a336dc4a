#include "platform/corbeille.h"

#include "bureau_temporaire.h"
#include "platform/dossiers_utilisateur.h"

#include <QDateTime>
#include <QStorageInfo>
#include <QUrl>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace korvan;
using namespace korvan::test;

namespace {

// The keys of a .trashinfo file, checked against the freedesktop layout.
struct InfoCorbeille {
    bool entete = false;
    QString chemin;
    QDateTime date;
};

InfoCorbeille lireInfo(const QString& fichier)
{
    InfoCorbeille info;
    const QStringList l = QString::fromUtf8(lireFichier(fichier)).split(u'\n', Qt::SkipEmptyParts);
    info.entete = l.value(0) == u"[Trash Info]";
    for (const QString& ligne : l) {
        if (ligne.startsWith(u"Path="))
            info.chemin = QUrl::fromPercentEncoding(ligne.mid(5).toUtf8());
        else if (ligne.startsWith(u"DeletionDate="))
            info.date = QDateTime::fromString(ligne.mid(13), QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    }
    return info;
}

QStringList noms(const QString& dossier)
{
    return QDir(dossier).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

mode_t mode(const QString& chemin)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(chemin).constData(), &st) == 0 ? st.st_mode : 0;
}

} // namespace

TEST(Corbeille, FileGoesToTheHomeTrashWithItsInfo)
{
    BureauTemporaire bureau;
    const QString clip = bureau.home() + QStringLiteral("/Vidéos d'été/Clip 1.avi");
    ASSERT_TRUE(ecrireFichier(clip, "RIFF clip"));
    const QDateTime avant = QDateTime::currentDateTime().addSecs(-1);

    ASSERT_TRUE(SupprimerVersCorbeille(clip));
    EXPECT_FALSE(QFileInfo::exists(clip));

    const QString corbeille = corbeilleUtilisateur();
    ASSERT_EQ(corbeille, bureau.donnees() + QStringLiteral("/Trash"));
    const QStringList fichiers = noms(corbeille + QStringLiteral("/files"));
    ASSERT_EQ(fichiers.size(), 1);
    EXPECT_EQ(lireFichier(corbeille + QStringLiteral("/files/") + fichiers[0]), QByteArray("RIFF clip"));

    const QStringList infos = noms(corbeille + QStringLiteral("/info"));
    ASSERT_EQ(infos, QStringList{fichiers[0] + QStringLiteral(".trashinfo")});
    const InfoCorbeille info = lireInfo(corbeille + QStringLiteral("/info/") + infos[0]);
    EXPECT_TRUE(info.entete);
    EXPECT_EQ(info.chemin, clip);
    ASSERT_TRUE(info.date.isValid());
    EXPECT_GE(info.date, avant);
}

TEST(Corbeille, SameNameTrashedTwiceKeepsBothCopies)
{
    BureauTemporaire bureau;
    const QString clip = bureau.home() + QStringLiteral("/clip.avi");
    ASSERT_TRUE(ecrireFichier(clip, "premier"));
    ASSERT_TRUE(SupprimerVersCorbeille(clip));
    ASSERT_TRUE(ecrireFichier(clip, "second"));
    ASSERT_TRUE(SupprimerVersCorbeille(clip));

    const QString corbeille = corbeilleUtilisateur();
    const QStringList fichiers = noms(corbeille + QStringLiteral("/files"));
    ASSERT_EQ(fichiers.size(), 2);
    QStringList contenus;
    for (const QString& f : fichiers) {
        contenus << QString::fromUtf8(lireFichier(corbeille + QStringLiteral("/files/") + f));
        EXPECT_EQ(lireInfo(corbeille + QStringLiteral("/info/") + f + QStringLiteral(".trashinfo")).chemin, clip);
    }
    contenus.sort();
    EXPECT_EQ(contenus, (QStringList{QStringLiteral("premier"), QStringLiteral("second")}));
}

TEST(Corbeille, NameIsTakenAsGivenNotLowerCased)
{
    BureauTemporaire bureau;
    const QString majuscules = bureau.home() + QStringLiteral("/Clip.AVI");
    const QString minuscules = bureau.home() + QStringLiteral("/clip.avi");
    ASSERT_TRUE(ecrireFichier(majuscules, "A"));
    ASSERT_TRUE(ecrireFichier(minuscules, "a"));

    ASSERT_TRUE(SupprimerVersCorbeille(majuscules));
    EXPECT_FALSE(QFileInfo::exists(majuscules));
    EXPECT_EQ(lireFichier(minuscules), QByteArray("a"));
}

TEST(Corbeille, MissingFileReportsFailureAndTouchesNothing)
{
    BureauTemporaire bureau;
    EXPECT_FALSE(SupprimerVersCorbeille(bureau.home() + QStringLiteral("/absent.avi")));
    EXPECT_FALSE(SupprimerVersCorbeille(QString()));
    EXPECT_FALSE(QFileInfo::exists(corbeilleUtilisateur()));
}

TEST(CorbeilleDuVolume, PrivateTrashIsCreatedWhenNoSharedOneExists)
{
    BureauTemporaire bureau;
    const QString racine = bureau.home() + QStringLiteral("/volume");
    ASSERT_TRUE(QDir().mkpath(racine));
    const uint uid = ::getuid();

    const QString corbeille = corbeilleDuVolume(racine, uid);
    EXPECT_EQ(corbeille, racine + QStringLiteral("/.Trash-") + QString::number(uid));
    EXPECT_TRUE(S_ISDIR(mode(corbeille)));
    EXPECT_EQ(mode(corbeille) & 0777, 0700u);
    // Found again rather than refused once it exists.
    EXPECT_EQ(corbeilleDuVolume(racine + u'/', uid), corbeille);
}

TEST(CorbeilleDuVolume, SharedTrashIsUsedOnlyWithTheStickyBitAndNotThroughALink)
{
    BureauTemporaire bureau;
    const uint uid = ::getuid();
    const QString uidTexte = QString::number(uid);

    const QString collante = bureau.home() + QStringLiteral("/collante");
    ASSERT_TRUE(QDir().mkpath(collante + QStringLiteral("/.Trash")));
    ASSERT_EQ(::chmod(QFile::encodeName(collante + QStringLiteral("/.Trash")).constData(), 01777), 0);
    EXPECT_EQ(corbeilleDuVolume(collante, uid), collante + QStringLiteral("/.Trash/") + uidTexte);

    const QString sansBit = bureau.home() + QStringLiteral("/sansbit");
    ASSERT_TRUE(QDir().mkpath(sansBit + QStringLiteral("/.Trash")));
    ASSERT_EQ(::chmod(QFile::encodeName(sansBit + QStringLiteral("/.Trash")).constData(), 0777), 0);
    EXPECT_EQ(corbeilleDuVolume(sansBit, uid), sansBit + QStringLiteral("/.Trash-") + uidTexte);
    EXPECT_FALSE(QFileInfo::exists(sansBit + QStringLiteral("/.Trash/") + uidTexte));

    const QString lien = bureau.home() + QStringLiteral("/lien");
    ASSERT_TRUE(QDir().mkpath(lien));
    ASSERT_TRUE(QFile::link(collante + QStringLiteral("/.Trash"), lien + QStringLiteral("/.Trash")));
    EXPECT_EQ(corbeilleDuVolume(lien, uid), lien + QStringLiteral("/.Trash-") + uidTexte);
}

TEST(CorbeilleDuVolume, PrivateTrashThatIsNoRealFolderIsRefused)
{
    BureauTemporaire bureau;
    const uint uid = ::getuid();
    const QString prive = QStringLiteral("/.Trash-") + QString::number(uid);

    const QString fichier = bureau.home() + QStringLiteral("/fichier");
    ASSERT_TRUE(ecrireFichier(fichier + prive, "x"));
    EXPECT_TRUE(corbeilleDuVolume(fichier, uid).isEmpty());

    const QString lien = bureau.home() + QStringLiteral("/lien");
    ASSERT_TRUE(QDir().mkpath(lien));
    ASSERT_TRUE(QDir().mkpath(bureau.home() + QStringLiteral("/ailleurs")));
    ASSERT_TRUE(QFile::link(bureau.home() + QStringLiteral("/ailleurs"), lien + prive));
    EXPECT_TRUE(corbeilleDuVolume(lien, uid).isEmpty());

    EXPECT_TRUE(corbeilleDuVolume(bureau.home() + QStringLiteral("/absent"), uid).isEmpty());
}

TEST(DeplacerDansCorbeille, VolumeTrashRecordsThePathRelativeToTheTop)
{
    BureauTemporaire bureau;
    const QString racine = bureau.home() + QStringLiteral("/volume");
    const QString clip = racine + QStringLiteral("/Vidéos/vacances 100%.avi");
    ASSERT_TRUE(ecrireFichier(clip, "dv"));
    const QString corbeille = corbeilleDuVolume(racine, ::getuid());
    ASSERT_FALSE(corbeille.isEmpty());

    QString dansCorbeille;
    ASSERT_TRUE(deplacerDansCorbeille(clip, corbeille, QStringLiteral("Vidéos/vacances 100%.avi"), &dansCorbeille));
    EXPECT_FALSE(QFileInfo::exists(clip));
    EXPECT_EQ(dansCorbeille, corbeille + QStringLiteral("/files/vacances 100%.avi"));
    EXPECT_EQ(lireFichier(dansCorbeille), QByteArray("dv"));

    const QByteArray brut = lireFichier(corbeille + QStringLiteral("/info/vacances 100%.avi.trashinfo"));
    // Percent-encoded UTF-8, separators kept.
    EXPECT_TRUE(brut.contains("\nPath=Vid%C3%A9os/vacances%20100%25.avi\n")) << brut.toStdString();
    EXPECT_EQ(lireInfo(corbeille + QStringLiteral("/info/vacances 100%.avi.trashinfo")).chemin,
              QStringLiteral("Vidéos/vacances 100%.avi"));
}

TEST(DeplacerDansCorbeille, FailedMoveLeavesTheFileAndNoInfo)
{
    BureauTemporaire bureau;
    const QString clip = bureau.home() + QStringLiteral("/clip.avi");
    ASSERT_TRUE(ecrireFichier(clip, "dv"));

    // The trash's files folder cannot be made.
    const QString bloquee = bureau.home() + QStringLiteral("/bloquee");
    ASSERT_TRUE(ecrireFichier(bloquee + QStringLiteral("/files"), "x"));
    EXPECT_FALSE(deplacerDansCorbeille(clip, bloquee, clip));
    EXPECT_EQ(lireFichier(clip), QByteArray("dv"));
    EXPECT_TRUE(noms(bloquee + QStringLiteral("/info")).isEmpty());

    EXPECT_FALSE(deplacerDansCorbeille(bureau.home() + QStringLiteral("/absent.avi"),
                                       bureau.home() + QStringLiteral("/t"), QStringLiteral("absent.avi")));
}

namespace {

// A writable folder on another filesystem than the temporary home, when the
// machine has one (tmpfs /dev/shm usually).
QString autreVolume(const QString& home)
{
    const QString shm = QStringLiteral("/dev/shm");
    const QStorageInfo volume(shm);
    if (!volume.isValid() || volume.isReadOnly() || volume.rootPath() != shm
        || volume.rootPath() == QStorageInfo(home).rootPath() || ::access("/dev/shm", W_OK) != 0)
        return {};
    return shm;
}

// Removes what a test put on a shared volume: its own folder, and the trash
// folders it created as long as nothing else has arrived in them.
struct NettoyageVolume {
    QString dossierTest;
    QStringList creees;
    ~NettoyageVolume()
    {
        if (!dossierTest.isEmpty())
            QDir(dossierTest).removeRecursively();
        for (const QString& d : creees) {
            QDir().rmdir(d + QStringLiteral("/files"));
            QDir().rmdir(d + QStringLiteral("/info"));
            QDir().rmdir(d);
        }
    }
};

} // namespace

TEST(Corbeille, FileOnAnotherFilesystemGoesToThatVolumesTrash)
{
    BureauTemporaire bureau;
    const QString volume = autreVolume(bureau.home());
    if (volume.isEmpty())
        GTEST_SKIP() << "no second writable filesystem on this machine";
    const QString uid = QString::number(::getuid());
    NettoyageVolume nettoyage;
    for (const QString& t : {volume + QStringLiteral("/.Trash-") + uid, volume + QStringLiteral("/.Trash/") + uid})
        if (!QFileInfo::exists(t))
            nettoyage.creees << t;

    QTemporaryDir dossier(volume + QStringLiteral("/korvan-corbeille-XXXXXX"));
    ASSERT_TRUE(dossier.isValid());
    nettoyage.dossierTest = dossier.path();
    const QString nomClip = QStringLiteral("clip-%1.avi").arg(QFileInfo(dossier.path()).fileName());
    const QString clip = dossier.filePath(nomClip);
    ASSERT_TRUE(ecrireFichier(clip, "usb clip"));

    ASSERT_TRUE(SupprimerVersCorbeille(clip));
    EXPECT_FALSE(QFileInfo::exists(clip));

    // Either trash of the volume may be the right one, depending on whether an
    // administrator set up a shared .Trash there.
    QString corbeille;
    for (const QString& t : {volume + QStringLiteral("/.Trash-") + uid, volume + QStringLiteral("/.Trash/") + uid})
        if (QFileInfo::exists(t + QStringLiteral("/files/") + nomClip))
            corbeille = t;
    ASSERT_FALSE(corbeille.isEmpty());
    const QString dansCorbeille = corbeille + QStringLiteral("/files/") + nomClip;
    const QString info = corbeille + QStringLiteral("/info/") + nomClip + QStringLiteral(".trashinfo");
    EXPECT_EQ(lireFichier(dansCorbeille), QByteArray("usb clip"));
    EXPECT_EQ(lireInfo(info).chemin, QFileInfo(dossier.path()).fileName() + u'/' + nomClip);
    EXPECT_FALSE(QFileInfo::exists(corbeilleUtilisateur() + QStringLiteral("/files/") + nomClip));
    QFile::remove(dansCorbeille);
    QFile::remove(info);
}

TEST(DeplacerDansCorbeille, TrashOnAnotherFilesystemIsRefusedWithoutLosingTheFile)
{
    BureauTemporaire bureau;
    const QString volume = autreVolume(bureau.home());
    if (volume.isEmpty())
        GTEST_SKIP() << "no second writable filesystem on this machine";
    QTemporaryDir ailleurs(volume + QStringLiteral("/korvan-corbeille-XXXXXX"));
    ASSERT_TRUE(ailleurs.isValid());
    const QString clip = bureau.home() + QStringLiteral("/clip.avi");
    ASSERT_TRUE(ecrireFichier(clip, "dv"));

    EXPECT_FALSE(deplacerDansCorbeille(clip, ailleurs.filePath(QStringLiteral("Trash")), clip));
    EXPECT_EQ(lireFichier(clip), QByteArray("dv"));
    EXPECT_TRUE(noms(ailleurs.filePath(QStringLiteral("Trash/info"))).isEmpty());
    EXPECT_TRUE(noms(ailleurs.filePath(QStringLiteral("Trash/files"))).isEmpty());
}
