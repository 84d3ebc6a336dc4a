// The scene list text export: its exact lines and line ends, overwriting,
// a file that cannot be written, and the question asked before exporting.
#include "aide_scenes.h"
#include "support/fixtures.h"

#include "analysis/chemins.h"
#include "platform/identite_programme.h"
#include "scenes/texte_scenes.h"

#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

TSceneInfo scene(int32_t debut, int32_t fin, const char* date, const char* tc, const char* d, const char* f,
                 const char* duree)
{
    return TSceneInfo{debut, fin, QString::fromUtf8(date), QString::fromUtf8(tc), QString::fromUtf8(d),
                      QString::fromUtf8(f), QString::fromUtf8(duree)};
}

// The text routines as a run calls them; the file's lines (without their CR LF).
QStringList exporter(const TAfficherFichier& entree, const std::vector<TSceneInfo>& scenes, bool* ok = nullptr)
{
    bool ouvert = false;
    OuvrirTexteScenes(entree, ouvert);
    if (ok)
        *ok = ouvert;
    for (const auto& s : scenes)
        EcrireSceneTexte(s);
    FermerTexteScenes();
    const std::string chemin = CheminLocal(CheminTexteScenes(entree.chemin));
    if (!fileExists(chemin))
        return {};
    const std::string octets = readWholeFile(chemin);
    EXPECT_EQ(octets.substr(octets.size() - 2), "\r\n");
    QStringList lignes = QString::fromUtf8(octets).split(QStringLiteral("\r\n"));
    lignes.removeLast();
    for (const QString& l : lignes)
        EXPECT_FALSE(l.contains(QLatin1Char('\n')) || l.contains(QLatin1Char('\r'))) << "bare line end";
    return lignes;
}

} // namespace

TEST(TexteScenes, HeaderScenesAndFooterLines)
{
    ScratchDir dossier;
    const TAfficherFichier entree(QString::fromStdString(dossier.path("Vacances Été.AVI")));
    EXPECT_EQ(CheminTexteScenes(entree.chemin), QString::fromStdString(dossier.path("Vacances Été_scn.txt")));
    const QStringList lignes = exporter(
        entree, {scene(0, 1512, "14/07/2004 10:31:05", "00.12.31.02", "00.00.00.00", "00.01.00.12", "00.01.00.13"),
                 scene(1513, 3250, "", "", "00.01.00.13", "00.02.10.00", "00.01.09.13"),
                 scene(3251, 3251, "", "", "00.02.10.01", "00.02.10.01", "00.00.00.01")});
    ASSERT_EQ(lignes.size(), 11 + 3 + 5);
    const QString tirets = QStringLiteral("//") + QString(50, QLatin1Char('-'));
    const QStringList entete = {
        tirets,
        QStringLiteral("// Liste des scènes du fichier vidéo:"),
        QStringLiteral("//"),
        QStringLiteral("// ***   ") + entree.chemin.toLower() + QStringLiteral("   ***"),
        QStringLiteral("//"),
        QStringLiteral("// exportée par Korvan version 5.3.6 Fr"),
        QStringLiteral("// sous la forme:"),
        QStringLiteral("// numéro de scène, début, fin, datecode, timecode, durée"),
        QStringLiteral("//"),
        tirets,
        QString(),
    };
    EXPECT_EQ(lignes.mid(0, 11), entete);
    EXPECT_EQ(lignes[11], QStringLiteral("  1,00.00.00.00,00.01.00.12,14/07/2004 10:31:05,00.12.31.02,00.01.00.13"));
    EXPECT_EQ(lignes[12], QStringLiteral("  2,00.01.00.13,00.02.10.00,,,00.01.09.13"));
    EXPECT_EQ(lignes[13], QStringLiteral("  3,00.02.10.01,00.02.10.01,,,00.00.00.01"));
    EXPECT_EQ(lignes[14], QString());
    EXPECT_EQ(lignes[15], tirets);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^// Terminé le \\S.* à \\d\\d:\\d\\d:\\d\\d$")).match(lignes[16]).hasMatch())
        << lignes[16].toStdString();
    EXPECT_EQ(lignes[17], QStringLiteral("// Visitez mon site web ") + kAdresseSiteWeb);
    EXPECT_EQ(lignes[18], QStringLiteral("//"));
}

TEST(TexteScenes, ScenesAreNumberedFromOneInEveryExport)
{
    ScratchDir dossier;
    const TAfficherFichier entree(QString::fromStdString(dossier.path("clip.avi")));
    const TSceneInfo s = scene(0, 0, "", "", "0:00:00:00", "0:00:00:00", "0:00:00:00");
    EXPECT_EQ(exporter(entree, {s, s})[12], QStringLiteral("  2,0:00:00:00,0:00:00:00,,,0:00:00:00"));
    // A second export overwrites the first and counts again from 1.
    const QStringList lignes = exporter(entree, {s});
    ASSERT_EQ(lignes.size(), 11 + 1 + 5);
    EXPECT_EQ(lignes[11], QStringLiteral("  1,0:00:00:00,0:00:00:00,,,0:00:00:00"));
    EXPECT_EQ(LigneSceneTexte(12, s), QStringLiteral("  12,0:00:00:00,0:00:00:00,,,0:00:00:00"));
}

TEST(TexteScenes, AFileThatCannotBeCreatedIsReportedAndTheOtherRoutinesDoNothing)
{
    ScratchDir dossier;
    const TAfficherFichier entree(QString::fromStdString(dossier.path("absent/clip.avi")));
    bool ok = true;
    EXPECT_TRUE(exporter(entree, {scene(0, 9, "", "", "a", "b", "c")}, &ok).isEmpty());
    EXPECT_FALSE(ok);
    EXPECT_FALSE(ErreurTexteScenes().isEmpty());
    // The next export that works clears the error.
    const TAfficherFichier bon(QString::fromStdString(dossier.path("clip.avi")));
    exporter(bon, {}, &ok);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(ErreurTexteScenes().isEmpty());
}

TEST(ScenesTextConfirmation, AsksOnlyWhenTheExportExists_ShorterForLongPaths)
{
    ScratchDir dossier;
    const TAfficherFichier entree(QString::fromStdString(dossier.path("clip.avi")));
    EXPECT_EQ(ScenesTextConfirmation(entree), QString());
    writeWholeFile(dossier.path("clip_scn.txt"), "x");
    EXPECT_EQ(ScenesTextConfirmation(entree), QStringLiteral("Voulez-vous remplacer le fichier ")
                                                  + QString::fromStdString(dossier.path("clip_scn.txt"))
                                                  + QStringLiteral(" déjà existant?"));

    // The question around the path is 48 characters: a path of 206 gives 254
    // (asked in full), one of 207 gives 255 (the short question).
    const qsizetype base = QString::fromStdString(dossier.path("")).size();
    for (const qsizetype longueur : {qsizetype(206), qsizetype(207)}) {
        const QString nom = QString::fromStdString(dossier.path(""))
            + QString(longueur - base - 8, QLatin1Char('e')) + QStringLiteral(".avi");
        const TAfficherFichier e(nom);
        ASSERT_EQ(CheminTexteScenes(nom).size(), longueur);
        writeWholeFile(CheminLocal(CheminTexteScenes(nom)), "x");
        const QString q = ScenesTextConfirmation(e);
        if (longueur == 206)
            EXPECT_EQ(q.size(), 254);
        else
            EXPECT_EQ(q, QStringLiteral("Voulez-vous remplacer le fichier déjà existant?"));
    }
}
