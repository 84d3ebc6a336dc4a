#include "commands/liste_fichiers.h"
#include "commands/playlist.h"
#include "platform/preferences.h"
#include "support/fixtures.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

QStringList lignes(const std::string& chemin)
{
    return QString::fromUtf8(QByteArray::fromStdString(readWholeFile(chemin))).split("\r\n");
}

} // namespace

TEST(Playlist, EmptyListHeaderAndFooter)
{
    prefOrdreListe = otDatecode;
    ScratchDir dir;
    ListePrincipale liste;
    const std::string p = dir.path("vide.txt");
    EXPECT_EQ(EcrirePlaylist(QString::fromStdString(p), liste, "dd/mm/yyyy"), QString());
    const QStringList l = lignes(p);
    ASSERT_EQ(l.size(), 12); // eleven lines, each ended by CR LF
    EXPECT_EQ(l[11], "");
    EXPECT_EQ(l[0], "# " + QString(61, '-'));
    EXPECT_EQ(l[1], "#");
    EXPECT_EQ(l[2], "# Playlist de Korvan version 5.3.6 Fr");
    EXPECT_EQ(l[4], l[0]);
    EXPECT_TRUE(l[5].startsWith("# Visitez mon site web : "));
    EXPECT_EQ(l[6], "");
    EXPECT_EQ(l[7], "");
    EXPECT_EQ(l[8], l[0]);
    EXPECT_EQ(l[9], "# 0 fichier trié selon datecode");
    EXPECT_EQ(l[10], "# Fait le " + QDate::currentDate().toString("dd/MM/yyyy"));
}

TEST(Playlist, RoundTripSkipsCommentsBlanksAndMissingFiles)
{
    prefOrdreListe = otAlpha;
    prefSelectionOuverture = false;
    ScratchDir dir;
    ListePrincipale liste;
    const QString a = QString::fromStdString(dir.path("Été à Brest.avi"));
    const QString b = QString::fromStdString(dir.path("b.avi"));
    writeWholeFile(a.toStdString(), "x");
    writeWholeFile(b.toStdString(), "y");
    liste.AjouterFichier(b);
    liste.AjouterFichier(a);
    const QString p = QString::fromStdString(dir.path("pl.txt"));
    ASSERT_EQ(EcrirePlaylist(p, liste, "yyyy"), QString());
    const QStringList l = lignes(p.toStdString());
    EXPECT_EQ(l[7], "     " + b);
    EXPECT_EQ(l[8], "     " + a);
    EXPECT_EQ(l[11], "# 2 fichiers triés par ordre alphabétique");

    // Add a missing file, a comment and blanks by hand, then read back.
    writeWholeFile(p.toStdString(), readWholeFile(p.toStdString()) + "\t \r\n# " + b.toStdString() + "\r\n   /absent/x.avi  \r\n");
    ListePrincipale relue;
    QStringList lus;
    int avant = 0;
    EXPECT_TRUE(LirePlaylist(p, [&](const QString& c) { lus << c; return relue.AjouterFichier(c) >= -1; }, [&] { ++avant; }));
    EXPECT_EQ(lus, QStringList({b, a, "/absent/x.avi"}));
    EXPECT_EQ(relue.nombre(), 2);
    EXPECT_GE(avant, 15);

    // Stopping after the first path (Esc).
    QStringList un;
    LirePlaylist(p, [&](const QString& c) { un << c; return false; });
    EXPECT_EQ(un.size(), 1);
    EXPECT_FALSE(LirePlaylist(QString::fromStdString(dir.path("absente.txt")), [](const QString&) { return true; }));
}

TEST(Playlist, FailedWriteKeepsTheOldFile)
{
    ScratchDir dir;
    ListePrincipale liste;
    EXPECT_NE(EcrirePlaylist("/nonexistent-folder/pl.txt", liste, "yyyy"), QString());
}
