#include "platform/corbeille.h"

#include "platform/dossiers_utilisateur.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvan {

namespace {

bool lstatChemin(const QString& chemin, struct stat& st)
{
    return ::lstat(QFile::encodeName(chemin).constData(), &st) == 0;
}

bool existe(const QString& chemin)
{
    struct stat st {};
    return lstatChemin(chemin, st);
}

// A folder we may keep trashed files in: a real folder (not a link to one
// elsewhere), owned by the user, which is created with owner-only access when missing.
bool dossierPrive(const QString& chemin, uint uid)
{
    const QByteArray natif = QFile::encodeName(chemin);
    if (::mkdir(natif.constData(), 0700) == 0)
        return true;
    if (errno != EEXIST)
        return false;
    struct stat st {};
    return lstatChemin(chemin, st) && S_ISDIR(st.st_mode) && st.st_uid == uid;
}

// The folder where a move can start its search for a volume: the nearest
// existing ancestor (the home trash may not exist yet).
QString ancetreExistant(QString chemin)
{
    while (!chemin.isEmpty() && !existe(chemin)) {
        const QString parent = QFileInfo(chemin).path();
        if (parent == chemin)
            break;
        chemin = parent;
    }
    return chemin;
}

// Missing folders of the XDG base directories are made private to the user.
bool creerDossiersPrives(const QString& chemin)
{
    if (chemin.isEmpty() || QFileInfo(chemin).isDir())
        return true;
    const QString parent = QFileInfo(chemin).path();
    if (parent == chemin || !creerDossiersPrives(parent))
        return false;
    return ::mkdir(QFile::encodeName(chemin).constData(), 0700) == 0 || QFileInfo(chemin).isDir();
}

QString racineDuVolume(const QString& chemin)
{
    const QStorageInfo volume(chemin);
    return volume.isValid() ? volume.rootPath() : QString();
}

} // namespace

QString corbeilleDuVolume(const QString& racineVolume, uint uid)
{
    if (racineVolume.isEmpty())
        return {};
    const QString racine = racineVolume.endsWith(u'/') ? racineVolume.chopped(1) : racineVolume;
    const QString uidTexte = QString::number(uid);

    // A shared .Trash is only trusted when no user could have replaced it by a
    // link or made it a place where others' trashed files can be removed.
    const QString partagee = racine + QStringLiteral("/.Trash");
    struct stat st {};
    if (lstatChemin(partagee, st) && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const QString perso = partagee + u'/' + uidTexte;
        if (dossierPrive(perso, uid))
            return perso;
    }
    const QString perso = racine + QStringLiteral("/.Trash-") + uidTexte;
    if (dossierPrive(perso, uid))
        return perso;
    return {};
}

bool deplacerDansCorbeille(const QString& chemin, const QString& corbeille, const QString& cheminInscrit,
                           QString* cheminDansCorbeille)
{
    const uint uid = ::getuid();
    const QString fichiers = corbeille + QStringLiteral("/files");
    const QString infos = corbeille + QStringLiteral("/info");
    if (!existe(chemin) || !dossierPrive(corbeille, uid) || !dossierPrive(fichiers, uid)
        || !dossierPrive(infos, uid))
        return false;

    QString base = QFileInfo(chemin).fileName();
    if (base.isEmpty())
        return false;
    // The info file is created first, exclusively: the name it wins is the
    // trashed file's name, so two programs trashing the same name never clash.
    QFile info;
    QString nom = base;
    for (int n = 1;; ++n) {
        info.setFileName(infos + u'/' + nom + QStringLiteral(".trashinfo"));
        if (!existe(fichiers + u'/' + nom) && info.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            break;
        if (n > 10000)
            return false;
        // "clip.avi" becomes "clip.1.avi": the copy keeps its type in the trash view.
        const qsizetype point = base.lastIndexOf(u'.');
        nom = point > 0 ? base.left(point) + u'.' + QString::number(n) + base.mid(point)
                        : base + u'.' + QString::number(n);
    }

    const QByteArray contenu = "[Trash Info]\nPath=" + QUrl::toPercentEncoding(cheminInscrit, "/")
                               + "\nDeletionDate="
                               + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1()
                               + "\n";
    const bool ecrit = info.write(contenu) == contenu.size() && info.flush();
    info.close();
    const QString cible = fichiers + u'/' + nom;
    // rename() would replace a file that appeared meanwhile; link() never does.
    bool deplace = false;
    if (ecrit) {
        const QByteArray source = QFile::encodeName(chemin);
        const QByteArray destination = QFile::encodeName(cible);
        if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, destination.constData(), RENAME_NOREPLACE) == 0)
            deplace = true;
        else if (errno == EINVAL || errno == ENOSYS)
            deplace = !existe(cible) && ::rename(source.constData(), destination.constData()) == 0;
    }
    if (!deplace) {
        info.remove();
        return false;
    }
    if (cheminDansCorbeille)
        *cheminDansCorbeille = cible;
    return true;
}

bool SupprimerVersCorbeille(const QString& chemin)
{
    if (chemin.isEmpty() || !existe(chemin))
        return false;
    // The name is used as given: on Linux, case makes another file.
    QString absolu = QFileInfo(chemin).absoluteFilePath();
    while (absolu.size() > 1 && absolu.endsWith(u'/'))
        absolu.chop(1);

    const QString maison = corbeilleUtilisateur();
    const QString volumeFichier = racineDuVolume(QFileInfo(absolu).path());
    const bool memeVolume = !maison.isEmpty() && volumeFichier == racineDuVolume(ancetreExistant(maison));

    if (memeVolume) {
        // Qt makes the trash folder but not a missing data folder above it.
        creerDossiersPrives(QFileInfo(maison).path());
        if (QFile::moveToTrash(absolu))
            return true;
        // Qt picks the trash from the home folder's volume, which can differ
        // from the data folder's; the home trash is on the file's volume here.
        return existe(absolu) && deplacerDansCorbeille(absolu, maison, absolu);
    }

    // The home trash is on another filesystem: a rename there would fail, so
    // the file goes to its own volume's trash, recorded relative to the top.
    const QString corbeille = corbeilleDuVolume(volumeFichier, ::getuid());
    if (!corbeille.isEmpty()) {
        QString relatif = QDir(volumeFichier).relativeFilePath(absolu);
        if (!relatif.startsWith(QStringLiteral("../")) && deplacerDansCorbeille(absolu, corbeille, relatif))
            return true;
    }
    return existe(absolu) && QFile::moveToTrash(absolu);
}

} // namespace korvan
