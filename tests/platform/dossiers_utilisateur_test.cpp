#include "platform/dossiers_utilisateur.h"

#include "bureau_temporaire.h"

#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

TEST(DossierPersonnel, FollowsTheUserDirsDocumentsEntry)
{
    BureauTemporaire bureau;
    const QString documents = bureau.home() + QStringLiteral("/Mes Documents à moi");
    ASSERT_TRUE(QDir().mkpath(documents));
    ASSERT_TRUE(ecrireFichier(bureau.config() + QStringLiteral("/user-dirs.dirs"),
                              "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n"
                              "XDG_DOCUMENTS_DIR=\"$HOME/Mes Documents \xc3\xa0 moi\"\n"));
    EXPECT_EQ(DossierPersonnel(), documents);
}

TEST(DossierPersonnel, UsesTheUsualDocumentsFolderWithoutUserDirs)
{
    BureauTemporaire bureau;
    ASSERT_TRUE(QDir().mkpath(bureau.home() + QStringLiteral("/Documents")));
    EXPECT_EQ(DossierPersonnel(), bureau.home() + QStringLiteral("/Documents"));
}

TEST(DossierPersonnel, FallsBackToHomeWhenNoDocumentsFolderExists)
{
    BureauTemporaire bureau;
    EXPECT_EQ(DossierPersonnel(), bureau.home());

    // A user-dirs entry naming a folder that is gone does not count either.
    ASSERT_TRUE(ecrireFichier(bureau.config() + QStringLiteral("/user-dirs.dirs"),
                              "XDG_DOCUMENTS_DIR=\"$HOME/Disparu\"\n"));
    EXPECT_EQ(DossierPersonnel(), bureau.home());
}

TEST(DossiersUtilisateur, ApplicationsAndTrashFollowXdgDataHome)
{
    BureauTemporaire bureau;
    EXPECT_EQ(dossierApplicationsUtilisateur(), bureau.donnees() + QStringLiteral("/applications"));
    EXPECT_EQ(corbeilleUtilisateur(), bureau.donnees() + QStringLiteral("/Trash"));

    const QString ailleurs = bureau.home() + QStringLiteral("/ailleurs");
    bureau.poser("XDG_DATA_HOME", ailleurs);
    EXPECT_EQ(dossierApplicationsUtilisateur(), ailleurs + QStringLiteral("/applications"));

    bureau.poser("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(dossierApplicationsUtilisateur(), bureau.home() + QStringLiteral("/.local/share/applications"));
}
