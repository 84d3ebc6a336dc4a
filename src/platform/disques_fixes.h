#pragma once
// The local disks a "scan everything" covers: mounted filesystems on fixed
// block devices, each once; removable, optical, network and virtual ones left out.
#include <QString>
#include <QStringList>
#include <functional>

namespace korvan {

struct Montage {
    QString appareil;  // "/dev/sda2"
    QString point;     // "/home"
    QString type;      // "ext4"
};

// Parses /proc/self/mounts lines ("device mountpoint type options 0 0", octal escapes).
QList<Montage> LireMontages(const QString& texte);

// The mount points to scan, in mount order. estAmovible(device) tells a
// removable device (USB stick, card reader).
QStringList DisquesFixes(const QList<Montage>& montages, const std::function<bool(const QString&)>& estAmovible);

// Same on this machine (/proc/self/mounts and /sys/block/*/removable).
QStringList DisquesFixes();

} // namespace korvan
