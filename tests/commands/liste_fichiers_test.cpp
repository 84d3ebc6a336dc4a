#include "commands/liste_fichiers.h"
#include "platform/preferences.h"
#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

class ListeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        prefOrdreListe = otDatecode;
        prefSelectionOuverture = false;
    }
    std::vector<QString> noms() const
    {
        std::vector<QString> v;
        for (int i = 0; i < liste.nombre(); ++i)
            v.push_back(liste.texte(i));
        return v;
    }
    // A small file with the given bytes (not an AVI: an "Erreur" entry).
    QString petit(const std::string& nom, size_t taille = 10)
    {
        const std::string p = dir.path(nom);
        writeWholeFile(p, std::string(taille, 'x'));
        return q(p);
    }
    ScratchDir dir;
    ListePrincipale liste;
};

} // namespace

TEST_F(ListeTest, RejectsMissingFilesFoldersAndOtherExtensions)
{
    EXPECT_EQ(liste.AjouterFichier(petit("clip.avi.bak")), -1);
    EXPECT_EQ(liste.AjouterFichier(petit("clip")), -1);
    QDir().mkpath(q(dir.path("dossier.avi")));
    EXPECT_EQ(liste.AjouterFichier(q(dir.path("dossier.avi"))), -1);
    EXPECT_EQ(liste.AjouterFichier(q(dir.path("absent.avi"))), -1);
    EXPECT_EQ(liste.nombre(), 0);
    EXPECT_EQ(liste.texteCompteur(), "0 fichier sur 0 - tri selon datecode");
    EXPECT_EQ(liste.AjouterFichier(petit("clip.AVI")), 0);
    EXPECT_EQ(liste.nombre(), 1);
}

TEST_F(ListeTest, SameFileTwiceKeepsOneLineWithTheNewerEntry)
{
    const QString a = petit("a.avi");
    ASSERT_EQ(liste.AjouterFichier(a), 0);
    const auto premiere = liste.entree(0);
    writeWholeFile(a.toStdString(), std::string(20, 'y'));
    // Same datecode key (none), size key changes: the datecode order finds the same file.
    EXPECT_EQ(liste.AjouterFichier(a), 0);
    EXPECT_EQ(liste.nombre(), 1);
    EXPECT_NE(liste.entree(0), premiere);
    EXPECT_EQ(liste.entree(0)->taille(), 20);
    // Two distinct files whose names differ only in case are two lines here.
    petit("B.avi");
    petit("b.avi");
    liste.AjouterFichier(q(dir.path("B.avi")));
    liste.AjouterFichier(q(dir.path("b.avi")));
    EXPECT_EQ(liste.nombre(), 3);
}

TEST_F(ListeTest, FourOrdersWithTiesAndKeptSelection)
{
    KORVAN_REQUIRE_FIXTURES();
    // Same datecode twice (copies), different dates, no datecode, unreadable.
    const QString a = q(dir.copyFixture("pal_t2_43.avi", "zz.avi"));      // 2004-07-14, 4561796 bytes
    const QString b = q(dir.copyFixture("pal_t2_43.avi", "aa.avi"));      // same datecode and size
    const QString c = q(dir.copyFixture("pal_t1_43.avi", "mm.avi"));      // 2002-02-28
    const QString d = q(dir.copyFixture("pal_no_date.avi", "bb.avi"));   // no datecode
    const QString e = petit("cc.avi", 5);                                  // unreadable
    for (const QString& p : {a, b, c, d, e})
        liste.AjouterFichier(p);
    EXPECT_EQ(noms(), (std::vector<QString>{"mm.avi", "aa.avi", "zz.avi", "bb.avi", "cc.avi"}));

    liste.deselectionnerTout();
    liste.focaliser(3); // bb.avi
    liste.selectionner(0, true);
    liste.TrierListe(otAlpha);
    EXPECT_EQ(prefOrdreListe, otAlpha);
    EXPECT_EQ(noms(), (std::vector<QString>{"aa.avi", "bb.avi", "cc.avi", "mm.avi", "zz.avi"}));
    EXPECT_EQ(liste.entreeCourante()->nom, "bb.avi");
    EXPECT_EQ(liste.selection(), (std::vector<int>{1, 3}));
    EXPECT_EQ(liste.texteCompteur(), "2 fichiers sur 5 - tri alphabétique");

    liste.TrierListe(otTaille);
    EXPECT_EQ(noms(), (std::vector<QString>{"cc.avi", "bb.avi", "mm.avi", "aa.avi", "zz.avi"}));
    // Equal sizes and equal datecodes fall back to the full path.
    liste.TrierListe(otDateFichier);
    EXPECT_EQ(liste.nombre(), 5);
    EXPECT_EQ(liste.texteCompteur(), "2 fichiers sur 5 - tri selon date du fichier");

    ListePrincipale vide;
    prefOrdreListe = otTaille;
    vide.TrierListe(otAlpha);
    EXPECT_EQ(prefOrdreListe, otTaille);
}

TEST_F(ListeTest, FocusFollowsInsertionsRemovalsAndRenames)
{
    for (const char* n : {"b.avi", "d.avi", "f.avi"})
        liste.AjouterFichier(petit(n));
    prefOrdreListe = otAlpha;
    liste.ReconstruireListe(otAlpha);
    ASSERT_EQ(noms(), (std::vector<QString>{"b.avi", "d.avi", "f.avi"}));
    liste.focaliser(1);
    liste.AjouterFichier(petit("a.avi"));
    EXPECT_EQ(liste.entreeCourante()->nom, "d.avi"); // the same entry stays current
    EXPECT_EQ(liste.focus(), 2);

    // Removing the focused last line focuses the new last line.
    liste.focaliser(3);
    liste.RetirerEntree(3);
    EXPECT_EQ(liste.focus(), 2);
    // Removing the focused first line focuses the new first line, then nothing.
    liste.focaliser(0);
    liste.RetirerEntree(0);
    EXPECT_EQ(liste.focus(), 0);
    EXPECT_EQ(liste.entreeCourante()->nom, "b.avi");
    liste.RetirerEntree(-1);
    EXPECT_EQ(liste.nombre(), 2);

    // A rename moves the line to its new place and keeps it current and selected.
    const QString ancien = liste.entree(0)->chemin;
    const QString nouveau = q(dir.path("z.avi"));
    ASSERT_TRUE(QFile::rename(ancien, nouveau));
    liste.deselectionnerTout();
    liste.RenommerEntree(0, nouveau);
    EXPECT_EQ(noms(), (std::vector<QString>{"d.avi", "z.avi"}));
    EXPECT_EQ(liste.focus(), 1);
    EXPECT_TRUE(liste.estSelectionnee(1));
    EXPECT_EQ(liste.IndexDeChemin(nouveau), 1);
    EXPECT_EQ(liste.IndexDeChemin(nouveau.toUpper()), -1);
    EXPECT_EQ(liste.nombreSelectionnees(), int(liste.selection().size()));

    liste.selectionnerTout();
    liste.RetirerEntree(0);
    EXPECT_EQ(liste.nombreSelectionnees(), 1);
    while (liste.nombre() > 0)
        liste.RetirerEntree(0);
    EXPECT_EQ(liste.nombreSelectionnees(), 0);
    EXPECT_EQ(liste.focus(), -1);
    EXPECT_EQ(liste.entreeCourante(), nullptr);
}

TEST_F(ListeTest, ReplaceAndRereadKeepLinePlaceAndText)
{
    const QString a = petit("a.avi");
    const QString b = petit("b.avi");
    prefOrdreListe = otAlpha;
    liste.AjouterFichier(a);
    liste.AjouterFichier(b);
    const auto avant = liste.entree(1);
    liste.RelireEntree(1);
    EXPECT_NE(liste.entree(1), avant);
    EXPECT_EQ(liste.texte(1), "b.avi");
    liste.RemplacerParNouveau(a);
    EXPECT_EQ(liste.nombre(), 2);
    EXPECT_EQ(liste.IndexDeChemin(a), 0);
}

TEST_F(ListeTest, SelectionAtOpeningAndCounterPlural)
{
    prefSelectionOuverture = true;
    liste.AjouterFichier(petit("a.avi"));
    liste.AjouterFichier(petit("b.avi"));
    EXPECT_EQ(liste.nombreSelectionnees(), 2);
    EXPECT_EQ(liste.texteInfobulle(), "2 fichiers sélectionnés sur 2\r\nTapez F6 pour masquer la liste.");
    prefSelectionOuverture = false;
    liste.AjouterFichier(petit("c.avi"));
    EXPECT_EQ(liste.nombreSelectionnees(), 2);
    liste.deselectionnerTout();
    liste.selectionnerFocus();
    EXPECT_EQ(liste.texteCompteur(), "1 fichier sur 3 - tri selon datecode");
    liste.Vider();
    EXPECT_EQ(liste.nombre(), 0);
    EXPECT_EQ(liste.texteCompteur(), "0 fichier sur 0 - tri selon datecode");
    EXPECT_EQ(OrdreValide(7), otDatecode);
}
