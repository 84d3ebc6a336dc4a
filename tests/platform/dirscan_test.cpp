#include "platform/DirScan.h"
#include "platform/disques_fixes.h"
#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace korvan;
using namespace korvan::test;

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

