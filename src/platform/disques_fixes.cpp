#include "platform/disques_fixes.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace korvan {

namespace {

// Filesystems that live on a local disk partition.
const QSet<QString>& typesDisque()
{
    static const QSet<QString> types{"ext2", "ext3", "ext4", "xfs", "btrfs", "f2fs", "jfs", "reiserfs", "vfat",
                                     "exfat", "ntfs", "ntfs3", "fuseblk", "hfsplus", "nilfs2", "zfs", "bcachefs"};
    return types;
}

QString decoderOctal(const QString& champ)
{
    QString s;
    for (qsizetype i = 0; i < champ.size(); ++i) {
        if (champ[i] == QLatin1Char('\\') && i + 3 < champ.size()) {
            bool ok = false;
            const int v = champ.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                s += QChar(v);
                i += 3;
                continue;
            }
        }
        s += champ[i];
    }
    return s;
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

QList<Montage> LireMontages(const QString& texte)
{
    QList<Montage> m;
    for (const QString& ligne : texte.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList c = ligne.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (c.size() < 3)
            continue;
        m.append({decoderOctal(c[0]), decoderOctal(c[1]), c[2]});
    }
    return m;
}

QStringList DisquesFixes(const QList<Montage>& montages, const std::function<bool(const QString&)>& estAmovible)
{
    QStringList points;
    QSet<QString> appareilsVus;
    for (const Montage& m : montages) {
        if (!typesDisque().contains(m.type) || !m.appareil.startsWith(QLatin1String("/dev/")))
            continue;
        // Loop devices hold disk images, not disks.
        if (m.appareil.startsWith(QLatin1String("/dev/loop")) || estAmovible(m.appareil))
            continue;
        if (appareilsVus.contains(m.appareil))
            continue; // a second mount (bind) of the same filesystem
        appareilsVus.insert(m.appareil);
        points << m.point;
    }
    return points;
}

QStringList DisquesFixes()
{
    QFile f(QStringLiteral("/proc/self/mounts"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QList<Montage> montages = LireMontages(QString::fromUtf8(f.readAll()));
    return DisquesFixes(montages, [](const QString& appareil) {
        QFile r(QStringLiteral("/sys/block/") + disqueDe(appareil) + QStringLiteral("/removable"));
        return r.open(QIODevice::ReadOnly) && r.readAll().trimmed() == "1";
    });
}

} // namespace korvan
