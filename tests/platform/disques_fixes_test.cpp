// What "Ouvrir Tout" scans: the mount table read from its text, the plan
// drawn from it (which mount points, which folders no scan enters), and the
// scan of a plan.
#include "platform/DirScan.h"
#include "platform/disques_fixes.h"
#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

// A mountinfo line: id and parent do not matter to the plan.
QByteArray ligne(const char* appareil, const char* racine, const char* point, const char* type, const char* source,
                 const char* options = "rw", const char* optionnels = "shared:1")
{
    QByteArray l = QByteArray("30 1 ") + appareil + ' ' + racine + ' ' + point + " rw,relatime";
    if (*optionnels)
        l += QByteArray(" ") + optionnels;
    return l + " - " + type + ' ' + source + ' ' + options + '\n';
}

QByteArray btrfs(const char* racine, const char* point, const char* sousVolume)
{
    return ligne("0:31", racine, point, "btrfs", "/dev/nvme0n1p2",
                 (QByteArray("rw,ssd,space_cache=v2,subvolid=256,subvol=") + sousVolume).constData());
}

const QByteArray kRacineExt4 = ligne("8:2", "/", "/", "ext4", "/dev/sda2");
const QByteArray kPseudo = ligne("0:22", "/", "/proc", "proc", "proc") + ligne("0:21", "/", "/sys", "sysfs", "sysfs") +
                           ligne("0:5", "/", "/dev", "devtmpfs", "udev") + ligne("0:25", "/", "/run", "tmpfs", "tmpfs") +
                           ligne("0:26", "/", "/sys/fs/cgroup", "cgroup2", "cgroup2") +
                           ligne("0:27", "/", "/dev/shm", "tmpfs", "tmpfs") + ligne("0:28", "/", "/tmp", "tmpfs", "tmpfs");

} // namespace

TEST(Montages, MountinfoLinesAreReadWithTheirEscapesAndSubvolumes)
{
    const QList<Montage> m = LireMontages(
        "22 1 0:31 /@ / rw,relatime shared:1 - btrfs /dev/nvme0n1p2 rw,ssd,subvolid=256,subvol=/@\n"
        // No optional field, then two of them.
        "40 22 259:3 / /mnt/Mes\\040Films rw - ntfs3 /dev/nvme1n1p1 rw,uid=1000\n"
        "41 22 8:17 /films/Cl\xc3\xa9\\134s /media/u/Disque\\011A rw shared:5 master:2 - ext4 /dev/sdb1 rw\n"
        "42 22 0:45 / /home/u/.cache/x rw - fuse.sshfs me@nas:/films rw\n"
        // Malformed: no separator, or nothing after it.
        "43 22 8:1 / /oops rw shared:1 ext4 /dev/sda1 rw\n"
        "44 22 8:1 / /oops2 rw -\n"
        "\n"
        "45 22 0:50 / relatif rw - ext4 /dev/sdc1 rw\n");
    ASSERT_EQ(m.size(), 4);
    const auto champs = [](const Montage& x) {
        return QStringList{x.appareil, x.racine, x.point, x.type, x.source, x.sousVolume};
    };
    EXPECT_EQ(champs(m[0]), QStringList({"0:31", "/@", "/", "btrfs", "/dev/nvme0n1p2", "/@"}));
    EXPECT_EQ(champs(m[1]), QStringList({"259:3", "/", "/mnt/Mes Films", "ntfs3", "/dev/nvme1n1p1", ""}));
    EXPECT_EQ(champs(m[2]), QStringList({"8:17", QString::fromUtf8("/films/Clé\\s"), "/media/u/Disque\tA", "ext4",
                                         "/dev/sdb1", ""}));
    EXPECT_EQ(champs(m[3]), QStringList({"0:45", "/", "/home/u/.cache/x", "fuse.sshfs", "me@nas:/films", ""}));
}

TEST(Montages, EachDataFilesystemOncePerMountPointWithoutTheSystemTrees)
{
    struct Cas {
        const char* nom;
        QByteArray table;
        QStringList amovibles;
        QStringList attendus;
    };
    const Cas cas[] = {
        {"btrfs subvolumes / and /home on one partition", btrfs("/@", "/", "/@") + kPseudo + btrfs("/@home", "/home", "/@home"),
         {}, {"/", "/home"}},
        {"a bind mount of a folder the root scan reaches",
         kRacineExt4 + ligne("8:2", "/home/me/films", "/mnt/films", "ext4", "/dev/sda2"), {}, {"/"}},
        {"a bind mount of a folder inside a system tree",
         kRacineExt4 + ligne("8:2", "/var/lib/videos", "/videos", "ext4", "/dev/sda2"), {}, {"/", "/videos"}},
        {"a bind mount of a folder onto itself, which the root scan does not enter",
         kRacineExt4 + ligne("8:2", "/data", "/data", "ext4", "/dev/sda2"), {}, {"/", "/data"}},
        {"btrfs: a bind of a folder of @home is reached through /home",
         btrfs("/@", "/", "/@") + btrfs("/@home", "/home", "/@home") + btrfs("/@home/me/films", "/films", "/@home"), {},
         {"/", "/home"}},
        {"btrfs: a bind of @'s own /home folder, hidden by the /home subvolume",
         btrfs("/@", "/", "/@") + btrfs("/@home", "/home", "/@home") + btrfs("/@/home/ancien", "/mnt/ancien", "/@"), {},
         {"/", "/home", "/mnt/ancien"}},
        {"btrfs: a nested subvolume mounted on its own is another tree",
         btrfs("/@", "/", "/@") + btrfs("/@/srv/depot", "/depot", "/@/srv/depot"), {}, {"/", "/depot"}},
        {"one partition mounted twice: the first mount point only",
         ligne("8:33", "/", "/mnt/a", "xfs", "/dev/sdc1") + ligne("8:33", "/", "/mnt/b", "xfs", "/dev/sdc1"), {},
         {"/mnt/a"}},
        {"the narrower mount of a partition comes first, the whole one still covers it",
         ligne("8:33", "/clips", "/mnt/clips", "xfs", "/dev/sdc1") + ligne("8:33", "/", "/mnt/tout", "xfs", "/dev/sdc1"),
         {}, {"/mnt/tout"}},
        {"boot partitions and system trees on their own partitions",
         kRacineExt4 + ligne("8:1", "/", "/boot", "ext4", "/dev/sda1") +
             ligne("8:3", "/", "/boot/efi", "vfat", "/dev/sda3") + ligne("8:4", "/", "/var", "xfs", "/dev/sda4") +
             ligne("8:5", "/", "/srv/data", "ext4", "/dev/sda5") + ligne("8:6", "/", "/opt", "ext4", "/dev/sda6"),
         {}, {"/"}},
        {"removable USB stick, fixed USB disk, optical disc",
         kRacineExt4 + ligne("8:17", "/", "/media/u/CLE", "vfat", "/dev/sdb1") +
             ligne("8:33", "/", "/media/u/Disque", "exfat", "/dev/sdc1") +
             ligne("11:0", "/", "/media/u/DVD", "iso9660", "/dev/sr0") +
             ligne("8:49", "/", "/run/media/u/Sauvegarde", "ext4", "/dev/sdd1") +
             ligne("8:65", "/", "/run/media/u/Carte", "exfat", "/dev/mmcblk0p1"),
         {"/dev/sdb1", "/dev/mmcblk0p1"}, {"/", "/media/u/Disque", "/run/media/u/Sauvegarde"}},
        {"snaps and disk images",
         kRacineExt4 + ligne("7:3", "/", "/snap/core22/1380", "squashfs", "/dev/loop3") +
             ligne("7:4", "/", "/mnt/image", "ext4", "/dev/loop4"),
         {}, {"/"}},
        {"network filesystems",
         kRacineExt4 + ligne("0:50", "/", "/mnt/nas", "cifs", "//nas/films") +
             ligne("0:51", "/", "/mnt/nfs", "nfs4", "server:/export") +
             ligne("0:52", "/", "/home/u/distant", "fuse.sshfs", "u@nas:/films"),
         {}, {"/"}},
        {"a container: overlay root, a volume from the host's disk",
         ligne("0:60", "/", "/", "overlay", "overlay", "rw,lowerdir=/l,upperdir=/u,workdir=/w") + kPseudo +
             ligne("8:1", "/var/lib/docker/volumes/films/_data", "/films", "ext4", "/dev/sda1") +
             ligne("8:1", "/var/lib/docker/containers/x/hosts", "/etc/hosts", "ext4", "/dev/sda1"),
         {}, {"/films"}},
        {"stacked mounts: only the top one shows",
         kRacineExt4 + ligne("8:33", "/", "/mnt/data", "ext4", "/dev/sdc1") +
             ligne("0:70", "/", "/mnt/data", "tmpfs", "tmpfs") + ligne("0:71", "/", "/mnt/ram", "tmpfs", "tmpfs") +
             ligne("8:49", "/", "/mnt/ram", "xfs", "/dev/sdd1"),
         {}, {"/", "/mnt/ram"}},
        {"zfs datasets and LVM volumes",
         ligne("0:40", "/", "/", "zfs", "rpool/ROOT/debian") + ligne("0:41", "/", "/home", "zfs", "rpool/home") +
             ligne("253:0", "/", "/mnt/lvm", "ext4", "/dev/mapper/vg-films"),
         {}, {"/", "/home", "/mnt/lvm"}},
        {"names with blanks", kRacineExt4 + ligne("259:3", "/", "/mnt/Mes\\040Films", "ntfs3", "/dev/nvme1n1p1"), {},
         {"/", "/mnt/Mes Films"}},
        {"nothing but pseudo filesystems", kPseudo, {}, {}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const DisquesAParcourir plan =
            DisquesFixes(LireMontages(c.table), [&](const QString& source) { return c.amovibles.contains(source); });
        EXPECT_EQ(plan.points, c.attendus);
        // No scan enters a system tree or another mount point.
        for (const QString& d : kDossiersSysteme)
            EXPECT_TRUE(plan.exclus.contains(d + '/')) << d.toStdString();
        for (const Montage& m : LireMontages(c.table))
            EXPECT_TRUE(plan.exclus.contains(m.point == "/" ? m.point : m.point + '/')) << m.point.toStdString();
    }
}

TEST(Montages, ThisMachinesPlanNamesExistingFoldersOutsideTheSystemTrees)
{
    const DisquesAParcourir plan = DisquesFixes();
    for (const QString& p : plan.points) {
        EXPECT_TRUE(QFileInfo(p).isDir()) << p.toStdString();
        EXPECT_EQ(plan.points.count(p), 1) << p.toStdString();
        for (const QString& d : kDossiersSysteme)
            EXPECT_FALSE(p == d || p.startsWith(d + '/')) << p.toStdString();
    }
    EXPECT_TRUE(plan.exclus.contains("/usr/"));
    EXPECT_TRUE(plan.exclus.contains("/proc/"));
}

TEST(Montages, ScanOfAPlanEntersNoExcludedFolderAndStopsAfterTheDiskOfEsc)
{
    ScratchDir dir;
    const QString r = QString::fromStdString(dir.path("r"));
    toucher(r + "/a/1.avi");
    toucher(r + "/a/usr/systeme.avi");
    toucher(r + "/a/b/2.avi"); // another disk's mount point, scanned from its own entry
    toucher(r + "/a/b/c/3.avi");
    toucher(r + "/d/4.avi");
    DisquesAParcourir plan;
    plan.points = {r + "/a", r + "/a/b", r + "/d"};
    plan.exclus = {r + "/a/usr/", r + "/a/b/"};

    TDirscan scan;
    scan.Masque = "*.avi";
    scan.recursive = false;
    QStringList vus;
    scan.OnFileFound = [&](TDirscan&, const QString& f) { vus << f.mid(r.size()); };
    ParcourirDisques(scan, plan, [] { return false; });
    EXPECT_EQ(vus, QStringList({"/a/1.avi", "/a/b/2.avi", "/a/b/c/3.avi", "/d/4.avi"}));
    // The scanner is left as an ordinary folder scan would want it.
    EXPECT_TRUE(scan.nonParcourus.isEmpty());
    EXPECT_FALSE(scan.memeSystemeFichiers);

    // Esc during the second disk: it ends there, the third is not scanned.
    vus.clear();
    bool esc = false;
    scan.OnFileFound = [&](TDirscan& s, const QString& f) {
        vus << f.mid(r.size());
        if (f.endsWith("2.avi")) {
            esc = true;
            s.Stop();
        }
    };
    ParcourirDisques(scan, plan, [&] { return esc; });
    EXPECT_EQ(vus, QStringList({"/a/1.avi", "/a/b/2.avi"}));
}
