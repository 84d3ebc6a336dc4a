#include "platform/DirScan.h"
#include "platform/disques_fixes.h"
#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace korvan;
using namespace korvan::test;

namespace {

void toucher(const QString& chemin)
{
    QDir().mkpath(QFileInfo(chemin).path());
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

} // namespace

TEST(DirScan, DepthFirstEventsMaskAndLinkedFolders)
{
    ScratchDir dir;
    const QString racine = QString::fromStdString(dir.path("racine"));
    toucher(racine + "/b.avi");
    toucher(racine + "/A/c.AVI");
    toucher(racine + "/A/sous/d.avi");
    toucher(racine + "/z.txt");
    QDir().mkpath(racine + "/vide");
    ASSERT_EQ(::symlink(racine.toLocal8Bit().constData(), (racine + "/A/boucle").toLocal8Bit().constData()), 0);

    TDirscan scan;
    scan.setDirectory(racine);
    EXPECT_EQ(scan.directory(), racine + "/");
    QStringList evenements;
    int pompes = 0;
    scan.OnStartScan = [&](TDirscan&, const QString& d, const QString& m, bool r) { evenements << "debut " + d + " " + m + (r ? " r" : ""); };
    scan.OnEndScan = [&](TDirscan&, const QString&, const QString&, bool) { evenements << "fin"; };
    scan.OnDirWithFiles = [&](TDirscan&, const QString& d) { evenements << "dossier " + d.mid(racine.size()); };
    scan.OnFileFound = [&](TDirscan&, const QString& f) { evenements << "fichier " + f.mid(racine.size()); };
    scan.pomper = [&] { ++pompes; };
    scan.Scan();
    EXPECT_EQ(evenements, QStringList({"debut " + racine + "/ *.* r", "dossier /", "dossier /A/", "fichier /A/c.AVI",
                                      "dossier /A/sous/", "fichier /A/sous/d.avi", "fichier /b.avi", "fichier /z.txt", "fin"}));
    EXPECT_GE(pompes, 3);
    EXPECT_FALSE(scan.Active());

    evenements.clear();
    scan.Masque = "*.avi";
    scan.recursive = false;
    scan.OnDirWithFiles = nullptr;
    scan.Scan();
    EXPECT_EQ(evenements, QStringList({"debut " + racine + "/ *.avi", "fichier /b.avi", "fin"}));
}

TEST(DirScan, StopEndsTheScanWithoutFurtherEvents)
{
    ScratchDir dir;
    const QString racine = QString::fromStdString(dir.path("r"));
    for (int i = 0; i < 5; ++i)
        toucher(racine + QString("/f%1.avi").arg(i));
    TDirscan scan;
    scan.setDirectory(racine);
    QStringList vus;
    bool fin = false;
    scan.OnFileFound = [&](TDirscan& s, const QString& f) {
        vus << f;
        if (vus.size() == 2)
            s.Stop();
    };
    scan.OnEndScan = [&](TDirscan&, const QString&, const QString&, bool) { fin = true; };
    scan.Scan();
    EXPECT_EQ(vus.size(), 2);
    EXPECT_FALSE(fin);

    TDirscan absent;
    absent.setDirectory(QString::fromStdString(dir.path("absent")));
    bool debut = false;
    absent.OnStartScan = [&](TDirscan&, const QString&, const QString&, bool) { debut = true; };
    absent.Scan();
    EXPECT_FALSE(debut);
}

TEST(DisquesFixes, OnlyFixedLocalDisksEachOnce)
{
    const QList<Montage> m = LireMontages(
        "/dev/sda2 / ext4 rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "tmpfs /tmp tmpfs rw 0 0\n"
        "/dev/sda3 /home xfs rw 0 0\n"
        "/dev/sda3 /srv/bind xfs rw 0 0\n"
        "/dev/sdb1 /media/cle vfat rw 0 0\n"
        "/dev/sr0 /media/cdrom iso9660 ro 0 0\n"
        "/dev/loop0 /snap/core squashfs ro 0 0\n"
        "//nas/films /mnt/nas cifs rw 0 0\n"
        "server:/export /mnt/nfs nfs4 rw 0 0\n"
        "/dev/nvme0n1p1 /mnt/Mes\\040Films ntfs3 rw 0 0\n");
    ASSERT_EQ(m.size(), 11);
    EXPECT_EQ(m[10].point, "/mnt/Mes Films");
    const QStringList d = DisquesFixes(m, [](const QString& a) { return a == "/dev/sdb1"; });
    EXPECT_EQ(d, QStringList({"/", "/home", "/mnt/Mes Films"}));
}
