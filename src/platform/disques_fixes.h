#pragma once
// The disks "Ouvrir Tout" scans: every data filesystem of a fixed local disk,
// once per mount point, without the operating system's own trees.
//
// The rules, applied to the mount table (/proc/self/mountinfo):
// - Only filesystems that hold files on a disk partition (ext4, xfs, btrfs,
//   vfat, ntfs, zfs...). Pseudo filesystems (proc, sysfs, tmpfs, devtmpfs,
//   cgroup...), network ones (nfs, cifs, sshfs...), optical discs (iso9660,
//   udf), images (squashfs snaps, loop devices) and overlay are left out:
//   an overlay is a container's image or a view of trees that are on a disk
//   already.
// - Removable devices (USB sticks, card readers: the kernel's "removable"
//   flag) are left out; a USB hard disk, which the kernel counts as fixed, is
//   scanned.
// - Each mount point once, and only the mount visible there (the last one
//   mounted on it). Two subvolumes of one btrfs filesystem (/ and /home on
//   one partition) are two mount points and both are scanned.
// - A bind mount, or a second mount of the same tree, is left out when the
//   scan of another kept mount already reaches the same files, so that no
//   clip is listed twice under two paths.
// - The system trees are never entered, nor are mount points inside them
//   (kDossiersSysteme below), except the disks the desktop mounts for the
//   user under /run/media.
// - A scan never enters another mount point: each is scanned from its own
//   entry, or not at all.
#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

namespace korvan {

class TDirscan;

// The operating system's own trees at the top of the root filesystem: its
// programs, libraries, settings, logs and caches, the boot files, the
// administrator's home, the served data, the kernel's views.
inline const QStringList kDossiersSysteme{
    "/bin", "/boot", "/dev", "/etc", "/lib", "/lib32", "/lib64", "/libx32", "/opt", "/proc",
    "/root", "/run", "/sbin", "/snap", "/srv", "/sys", "/tmp", "/usr", "/var"};

// One line of /proc/self/mountinfo.
struct Montage {
    QString appareil;   // the filesystem's device number, "8:2"
    QString racine;     // the folder of the filesystem shown at the mount point: "/", "/@home", "/films" for a bind
    QString point;      // "/home"
    QString type;       // "ext4"
    QString source;     // "/dev/sda2", "rpool/home", "proc"
    QString sousVolume; // btrfs: the subvolume holding racine ("subvol=" option); empty otherwise
};

// Parses the text of /proc/self/mountinfo; octal escapes (\040 for a space)
// are decoded and paths read as the system's file names. Malformed lines are
// skipped.
QList<Montage> LireMontages(const QByteArray& mountinfo);

struct DisquesAParcourir {
    QStringList points;      // the mount points to scan, in mount order
    QSet<QString> exclus;    // folders no scan enters, each ending with "/"
    bool operator==(const DisquesAParcourir&) const = default;
};

// The plan for a mount table. estAmovible(source) tells a removable device.
DisquesAParcourir DisquesFixes(const QList<Montage>& montages, const std::function<bool(const QString&)>& estAmovible);

// Same on this machine (/proc/self/mountinfo, /sys/block/*/removable).
DisquesAParcourir DisquesFixes();

// Scans each disk of the plan with scanner (recursively, every name, staying
// on the disk's filesystem, entering none of the excluded folders), and stops
// after the disk during which arreter() became true.
void ParcourirDisques(TDirscan& scanner, const DisquesAParcourir& disques, const std::function<bool()>& arreter);

} // namespace korvan
