#include "platform/disques_fixes.h"

#include "platform/DirScan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>

namespace korvan {

namespace {

// Filesystems that keep files on a local disk partition.
const QSet<QString>& typesDisque()
{
    static const QSet<QString> types{"ext2", "ext3",  "ext4",    "xfs",     "btrfs",  "f2fs",  "jfs",
                                     "reiserfs", "vfat", "exfat", "ntfs", "ntfs3",  "fuseblk", "hfsplus",
                                     "nilfs2", "zfs", "bcachefs"};
    return types;
}

// Where udisks mounts the disks a user plugs in or opens in the file manager.
const QString kMediaUtilisateur = QStringLiteral("/run/media");

// The kernel writes a space, tab, newline and backslash in a path as "\ooo".
QByteArray decoderOctal(const QByteArray& champ)
{
    QByteArray s;
    s.reserve(champ.size());
    for (qsizetype i = 0; i < champ.size(); ++i) {
        if (champ[i] == '\\' && i + 3 < champ.size()) {
            const QByteArray chiffres = champ.mid(i + 1, 3);
            const bool octal = chiffres.size() == 3 &&
                               std::all_of(chiffres.begin(), chiffres.end(), [](char c) { return c >= '0' && c <= '7'; });
            if (octal) {
                s += char(chiffres.toInt(nullptr, 8));
                i += 3;
                continue;
            }
        }
        s += champ[i];
    }
    return s;
}

QString cheminDe(const QByteArray& champ)
{
    return QFile::decodeName(decoderOctal(champ));
}

// chemin is ancestor (or the same) of sous, component-wise: "/a" holds "/a/b", not "/ab".
bool contient(const QString& chemin, const QString& sous)
{
    if (chemin == QLatin1String("/"))
        return sous.startsWith(QLatin1Char('/'));
    return sous == chemin || (sous.startsWith(chemin) && sous[chemin.size()] == QLatin1Char('/'));
}

QString avecSeparateur(const QString& dossier)
{
    return dossier.endsWith(QLatin1Char('/')) ? dossier : dossier + QLatin1Char('/');
}

bool dansSysteme(const QString& chemin)
{
    if (contient(kMediaUtilisateur, chemin) && chemin != kMediaUtilisateur)
        return false;
    return std::any_of(kDossiersSysteme.begin(), kDossiersSysteme.end(),
                       [&](const QString& d) { return contient(d, chemin); });
}

int profondeur(const QString& chemin)
{
    return int(chemin.split(QLatin1Char('/'), Qt::SkipEmptyParts).size());
}

// Whether the scan of c, which enters no excluded folder, reaches the
// folder chemin lying under c's mount point.
bool atteint(const Montage& c, const QString& chemin, const QSet<QString>& exclus)
{
    QString d = avecSeparateur(c.point);
    const QStringList pas = chemin.mid(d.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& p : pas) {
        d += p + QLatin1Char('/');
        if (exclus.contains(d))
            return false;
    }
    return true;
}

// Whether the scan of the kept mount c already lists the files of m: the same
// filesystem (and btrfs subvolume, since a scan stays within one), a folder
// of c's tree that c's scan reaches.
bool couvert(const Montage& m, const Montage& c, const QSet<QString>& exclus)
{
    if (m.appareil != c.appareil || m.sousVolume != c.sousVolume || !contient(c.racine, m.racine))
        return false;
    const QString reste = c.racine == QLatin1String("/") ? m.racine : m.racine.mid(c.racine.size());
    const QString chemin = avecSeparateur(c.point) + reste.mid(reste.startsWith(QLatin1Char('/')) ? 1 : 0);
    return atteint(c, chemin, exclus);
}

// The whole-disk name of a partition: /dev/sda2 -> sda, /dev/nvme0n1p3 -> nvme0n1, /dev/mmcblk0p1 -> mmcblk0.
QString disqueDe(const QString& appareil)
{
    const QString reel = QFileInfo(appareil).canonicalFilePath();
    const QString nom = QFileInfo(reel.isEmpty() ? appareil : reel).fileName();
    const QString bloc = QStringLiteral("/sys/class/block/") + nom;
    if (QFileInfo::exists(bloc + QStringLiteral("/partition")))
        return QFileInfo(QFileInfo(bloc).canonicalFilePath()).dir().dirName();
    return nom;
}

} // namespace

QList<Montage> LireMontages(const QByteArray& mountinfo)
{
    QList<Montage> montages;
    for (const QByteArray& ligne : mountinfo.split('\n')) {
        QList<QByteArray> c = ligne.split(' ');
        c.removeAll(QByteArray());
        // id parent major:minor root point options [optional fields...] - type source [super options]
        qsizetype tiret = -1;
        for (qsizetype i = 6; i < c.size(); ++i)
            if (c[i] == "-") {
                tiret = i;
                break;
            }
        if (tiret < 0 || tiret + 2 >= c.size())
            continue;
        Montage m;
        m.appareil = QString::fromLatin1(c[2]);
        m.racine = cheminDe(c[3]);
        m.point = cheminDe(c[4]);
        m.type = QString::fromUtf8(decoderOctal(c[tiret + 1]));
        m.source = cheminDe(c[tiret + 2]);
        if (m.type == QLatin1String("btrfs") && tiret + 3 < c.size())
            for (const QByteArray& option : c[tiret + 3].split(','))
                if (option.startsWith("subvol="))
                    m.sousVolume = cheminDe(option.mid(7));
        if (!m.point.startsWith(QLatin1Char('/')) || !m.racine.startsWith(QLatin1Char('/')))
            continue;
        montages.append(m);
    }
    return montages;
}

DisquesAParcourir DisquesFixes(const QList<Montage>& montages, const std::function<bool(const QString&)>& estAmovible)
{
    DisquesAParcourir plan;
    for (const QString& d : kDossiersSysteme)
        plan.exclus.insert(avecSeparateur(d));
    // No scan crosses into another mount: each is scanned from its own entry, or is not to be.
    QHash<QString, qsizetype> dernier; // what a mount point shows is its last mount
    for (qsizetype i = 0; i < montages.size(); ++i) {
        plan.exclus.insert(avecSeparateur(montages[i].point));
        dernier[montages[i].point] = i;
    }

    QList<qsizetype> candidats;
    for (qsizetype i = 0; i < montages.size(); ++i) {
        const Montage& m = montages[i];
        if (dernier.value(m.point) != i || !typesDisque().contains(m.type) || dansSysteme(m.point))
            continue;
        // Loop devices hold disk images, not disks.
        if (m.source.startsWith(QLatin1String("/dev/loop")))
            continue;
        if (m.source.startsWith(QLatin1String("/dev/")) && estAmovible(m.source))
            continue;
        candidats << i;
    }
    // The widest trees first, so that a bind mount meets the mount it was taken from.
    std::stable_sort(candidats.begin(), candidats.end(), [&](qsizetype a, qsizetype b) {
        return profondeur(montages[a].racine) < profondeur(montages[b].racine);
    });
    QList<qsizetype> gardes;
    for (qsizetype i : candidats) {
        const bool deja = std::any_of(gardes.begin(), gardes.end(),
                                      [&](qsizetype g) { return couvert(montages[i], montages[g], plan.exclus); });
        if (!deja)
            gardes << i;
    }
    std::sort(gardes.begin(), gardes.end());
    for (qsizetype i : gardes)
        plan.points << montages[i].point;
    return plan;
}

DisquesAParcourir DisquesFixes()
{
    QFile f(QStringLiteral("/proc/self/mountinfo"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return DisquesFixes(LireMontages(f.readAll()), [](const QString& appareil) {
        QFile r(QStringLiteral("/sys/block/") + disqueDe(appareil) + QStringLiteral("/removable"));
        return r.open(QIODevice::ReadOnly) && r.readAll().trimmed() == "1";
    });
}

void ParcourirDisques(TDirscan& scanner, const DisquesAParcourir& disques, const std::function<bool()>& arreter)
{
    scanner.recursive = true;
    scanner.Masque = QStringLiteral("*.*");
    scanner.memeSystemeFichiers = true;
    scanner.nonParcourus = disques.exclus;
    for (const QString& point : disques.points) {
        scanner.setDirectory(point);
        scanner.Scan();
        if (arreter && arreter())
            break;
    }
    scanner.memeSystemeFichiers = false;
    scanner.nonParcourus.clear();
}

} // namespace korvan
