#include "platform/envoyer_vers.h"

#include "bureau_temporaire.h"
#include "entree_bureau_valide.h"
#include "platform/dossiers_utilisateur.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

QStringList lignes(const QString& chemin)
{
    return QString::fromUtf8(lireFichier(chemin)).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

TEST(EnvoyerVers, EntryIsCreatedValidAndRemovedAgain)
{
    BureauTemporaire bureau;
    const QString applications = dossierApplicationsUtilisateur();
    ASSERT_FALSE(QFileInfo::exists(applications));

    ASSERT_TRUE(CreerRaccourciEnvoyerVers(QStringLiteral("Korvan")));
    const QString entree = applications + QStringLiteral("/Korvan.desktop");
    ASSERT_TRUE(QFileInfo(entree).isFile());
    verifierEntreeValide(entree);

    const QStringList l = lignes(entree);
    EXPECT_EQ(l.value(0), QStringLiteral("[Desktop Entry]"));
    EXPECT_TRUE(l.contains(QStringLiteral("Type=Application")));
    EXPECT_TRUE(l.contains(QStringLiteral("Name=Korvan")));
    EXPECT_TRUE(l.contains(QStringLiteral("Comment=Raccourci vers Korvan")));
    EXPECT_TRUE(l.contains(QStringLiteral("Terminal=false")));
    EXPECT_TRUE(l.contains(QStringLiteral("Exec=\"") + QCoreApplication::applicationFilePath()
                           + QStringLiteral("\" %F")));
    const QString mime = l.filter(QRegularExpression(QStringLiteral("^MimeType="))).value(0);
    for (const char* type : {"video/x-msvideo;", "video/vnd.avi;", "video/avi;"})
        EXPECT_TRUE(mime.contains(QLatin1String(type))) << mime.toStdString();

    EXPECT_TRUE(SupprimerRaccourciEnvoyerVers(QStringLiteral("Korvan")));
    EXPECT_FALSE(QFileInfo::exists(entree));
    // Removing an entry that is not there is no error.
    EXPECT_TRUE(SupprimerRaccourciEnvoyerVers(QStringLiteral("Korvan")));
}

TEST(EnvoyerVers, ExistingEntryIsReplacedWholeWithoutLeftovers)
{
    BureauTemporaire bureau;
    const QString applications = dossierApplicationsUtilisateur();
    const QString entree = applications + QStringLiteral("/Korvan.desktop");
    ASSERT_TRUE(ecrireFichier(entree, QByteArray(5000, 'x')));

    ASSERT_TRUE(CreerRaccourciEnvoyerVers(QStringLiteral("Korvan"), applications, QStringLiteral("/opt/korvan/korvan")));
    verifierEntreeValide(entree);
    EXPECT_FALSE(lireFichier(entree).contains("xxx"));
    EXPECT_EQ(QDir(applications).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("Korvan.desktop")});
}

TEST(EnvoyerVers, ProgramPathsWithSpecialCharactersAreQuotedForExec)
{
    BureauTemporaire bureau;
    const QString applications = dossierApplicationsUtilisateur();
    struct Cas {
        QString programme;
        QString exec;
    };
    const Cas cas[] = {
        {QStringLiteral("/opt/Mes Programmes/korvan"), QStringLiteral("Exec=\"/opt/Mes Programmes/korvan\" %F")},
        {QStringLiteral("/opt/vidéo/korvan"), QStringLiteral("Exec=\"/opt/vidéo/korvan\" %F")},
        // Inside quotes ", `, $ and \ take a backslash, which the string
        // escaping of the file then doubles; a literal % is doubled.
        {QStringLiteral("/opt/a\"b`c$d/100%/e\\f"),
         QStringLiteral("Exec=\"/opt/a\\\\\"b\\\\`c\\\\$d/100%%/e\\\\\\\\f\" %F")},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.programme.toStdString());
        ASSERT_TRUE(CreerRaccourciEnvoyerVers(QStringLiteral("Korvan"), applications, c.programme));
        const QString entree = applications + QStringLiteral("/Korvan.desktop");
        verifierEntreeValide(entree);
        EXPECT_TRUE(lignes(entree).contains(c.exec)) << lireFichier(entree).toStdString();
    }
}

TEST(EnvoyerVers, WorkingFolderAndDescriptionOfAGeneralShortcut)
{
    BureauTemporaire bureau;
    const QString lien = bureau.home() + QStringLiteral("/nouveau/dossier/Mon outil.desktop");
    ASSERT_TRUE(CreerRaccourci(lien, QStringLiteral("/usr/bin/true"), bureau.home(),
                               QStringLiteral("Un outil \\ à moi")));
    verifierEntreeValide(lien);
    const QStringList l = lignes(lien);
    EXPECT_TRUE(l.contains(QStringLiteral("Name=Mon outil")));
    EXPECT_TRUE(l.contains(QStringLiteral("Path=") + bureau.home()));
    EXPECT_TRUE(l.contains(QStringLiteral("Comment=Un outil \\\\ à moi")));
}

// Run from an installed prefix, whose application entry is in the menus
// already, the user's entry stays out of them; run from a build folder it is
// the only entry and shows.
TEST(EnvoyerVers, AnInstalledProgramIsNotListedTwiceInTheMenus)
{
    BureauTemporaire bureau;
    const QString applications = dossierApplicationsUtilisateur();
    const QString prefixe = bureau.home() + QStringLiteral("/usr");
    const QString programme = prefixe + QStringLiteral("/bin/korvan");
    const QString entree = applications + QStringLiteral("/Korvan.desktop");
    for (const bool installe : {false, true}) {
        SCOPED_TRACE(installe);
        if (installe)
            ASSERT_TRUE(ecrireFichier(prefixe + QStringLiteral("/share/applications/korvan.desktop"), "[Desktop Entry]\n"));
        ASSERT_TRUE(CreerRaccourciEnvoyerVers(QStringLiteral("Korvan"), applications, programme));
        verifierEntreeValide(entree);
        EXPECT_EQ(lignes(entree).contains(QStringLiteral("NoDisplay=true")), installe);
        // File managers still offer it for AVI files.
        EXPECT_EQ(lignes(entree).filter(QStringLiteral("MimeType=")).size(), 1);
    }
}

TEST(EnvoyerVers, FailuresReturnFalseAndWriteNothing)
{
    BureauTemporaire bureau;
    const QString applications = dossierApplicationsUtilisateur();
    // A program path the desktop could not start, or a name that is no file name.
    EXPECT_FALSE(CreerRaccourciEnvoyerVers(QStringLiteral("Korvan"), applications, QStringLiteral("bin/korvan")));
    EXPECT_FALSE(CreerRaccourciEnvoyerVers(QStringLiteral("Korvan"), applications, QStringLiteral("/opt/a\nb")));
    EXPECT_FALSE(CreerRaccourciEnvoyerVers(QStringLiteral("../Korvan"), applications, QStringLiteral("/opt/k")));
    EXPECT_FALSE(CreerRaccourciEnvoyerVers(QString(), applications, QStringLiteral("/opt/k")));
    EXPECT_FALSE(QFileInfo::exists(applications));

    // The applications folder cannot be made: a file stands in its way.
    ASSERT_TRUE(ecrireFichier(applications, "not a folder"));
    EXPECT_FALSE(CreerRaccourciEnvoyerVers(QStringLiteral("Korvan"), applications, QStringLiteral("/opt/k")));
    EXPECT_EQ(lireFichier(applications), QByteArray("not a folder"));

    // Without any home, there is no applications folder and nothing happens.
    EXPECT_FALSE(CreerRaccourciEnvoyerVers(QStringLiteral("Korvan"), QString(), QStringLiteral("/opt/k")));
    EXPECT_FALSE(SupprimerRaccourciEnvoyerVers(QStringLiteral("Korvan"), QString()));
}
