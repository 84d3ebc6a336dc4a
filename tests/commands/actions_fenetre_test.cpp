#include "commands/actions_fenetre.h"
#include "commands/raccourcis.h"
#include "commands/liste_fichiers.h"
#include "commands/registre_commandes.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

// A registry holding a few stand-in commands, restored after the test.
class ActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sauve_ = registreCommandes;
        registreCommandes.clear();
        prefOrdreListe = otAlpha;
        prefSelectionOuverture = false;
        // A multi command allowed only for files whose name starts with "b".
        datecode_.Name = "AjouterDatecode";
        datecode_.OnExecution = [](TParam&, const TAfficherFichier*, QString&, TchUpdateType&) {};
        datecode_.OnFileCondition = [](TParam&, const TAfficherFichier* f, bool& v, bool& e) {
            v = e = f && f->nom.startsWith('b');
        };
        AjouterCommande(&datecode_);
        // A plug-in style command with no window action of its own, for the "Convertir" menu.
        plugin_.Name = "MonFiltre";
        plugin_.Tag = 3;
        plugin_.setCaption("Mon filtre");
        plugin_.setShortcut("Ctrl+E");
        plugin_.OnExecution = datecode_.OnExecution;
        AjouterCommande(&plugin_);
        // A command whose model is missing: left out of the window.
        orphelin_.Name = "Orphelin";
        orphelin_.setCaption("Orphelin");
        orphelin_.setModele("Introuvable");
        AjouterCommande(&orphelin_);
        table.JoindreCommandes();
        table.RemplirCommandes();
    }
    void TearDown() override { registreCommandes = sauve_; }

    void ajouter(const char* nom)
    {
        const std::string p = dir.path(nom);
        writeWholeFile(p, "x");
        liste.AjouterFichier(QString::fromStdString(p));
    }
    void maj(bool listeVisible = true, bool panneau = false)
    {
        table.etatCategories = CategoriesSelon(panneau, liste.nombre());
        table.MajCommandes({listeVisible, true, panneau}, liste);
    }
    const ActionFenetre& a(const char* nom) { return *table.chercher(nom); }

    QList<CommandeEnregistree> sauve_;
    tFileAction datecode_, plugin_, orphelin_;
    TableActions table;
    ScratchDir dir;
    ListePrincipale liste;
};

} // namespace

TEST_F(ActionsTest, JoiningCreatesMenuEntriesAndListsItems)
{
    ASSERT_EQ(table.menusCommandes.size(), 1u);
    EXPECT_EQ(table.menusCommandes[0].nom, "mmMonFiltre");
    EXPECT_EQ(table.menusCommandes[0].menu, 3);
    const ActionFenetre* pm = table.chercher("pmMonFiltre");
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->categorie, "multi");
    EXPECT_EQ(pm->runner, RunnerAction::Action);
    EXPECT_EQ(table.chercher("pmOrphelin"), nullptr);
    EXPECT_EQ(a("amAjouterDatecode").runner, RunnerAction::SurSelection);

    // Items sorted ignoring case, "af" items fixed, tags pointing at their items.
    EXPECT_LT(a("amAjouterDatecode").tag, a("avMute").tag);
    EXPECT_LT(a("avMute").tag, a("afSelectionnerTout").tag); // "Sélectionner" among the s, accent aside
    EXPECT_LT(a("afSelectionnerTout").tag, a("afViderListe").tag);
    const ActionFenetre& quitter = a("afQuitter");
    ASSERT_GE(quitter.tag, 0);
    EXPECT_EQ(table.itemsCommandes[size_t(quitter.tag)].texte, "Quitter (Alt+F4)");
    EXPECT_TRUE(table.itemsCommandes[size_t(quitter.tag)].fixe);
    EXPECT_FALSE(table.itemsCommandes[size_t(a("amAjouterDatecode").tag)].fixe);
    EXPECT_EQ(table.itemsCommandes[size_t(a("amAjouterDatecode").tag)].texte, "Ajouter le datecode (Ctrl+D)");
}

TEST_F(ActionsTest, ListActionsNeedTwoLinesAndAVisibleList)
{
    ajouter("a.avi");
    maj();
    EXPECT_FALSE(a("afSelectionnerTout").visible);
    EXPECT_FALSE(a("alTriDatecode").enabled);
    ajouter("c.avi");
    maj();
    EXPECT_TRUE(a("afSelectionnerTout").visible);
    EXPECT_TRUE(a("afViderListe").enabled);
    maj(false);
    EXPECT_FALSE(a("afSelectionnerTout").visible);
    // Unticking an item hides its action at the next update.
    table.itemsCommandes[size_t(a("alTriDatecode").tag)].coche = false;
    maj();
    EXPECT_FALSE(a("alTriDatecode").visible);
    EXPECT_TRUE(a("alTriTaille").visible);
}

TEST_F(ActionsTest, MultiCommandOfferedWhenAnySelectedFileAllowsIt)
{
    ajouter("a.avi");
    ajouter("b.avi");
    liste.deselectionnerTout();
    liste.selectionner(0, true);
    maj();
    EXPECT_FALSE(a("amAjouterDatecode").visible);
    liste.selectionner(1, true); // the second selected file allows it
    maj();
    EXPECT_TRUE(a("amAjouterDatecode").visible);
    EXPECT_TRUE(a("amAjouterDatecode").enabled);
}

TEST_F(ActionsTest, PanelsHideMenusAndKeepPermanentActions)
{
    ajouter("a.avi");
    ajouter("b.avi");
    maj();
    EXPECT_TRUE(table.MenuVisible(0, false));
    EXPECT_TRUE(table.MenuVisible(3, false)); // the plug-in entry
    maj(true, true);
    for (int m = 0; m < int(MenusPrincipaux().size()); ++m)
        EXPECT_FALSE(table.MenuVisible(m, true));
    EXPECT_FALSE(a("amAjouterDatecode").visible);
    EXPECT_TRUE(a("afQuitter").visible);
}

TEST_F(ActionsTest, SavedChoicesAndStillex)
{
    QList<EtatAction> choix{{"alTriTaille", 0}, {"inconnue", 0}, {"afStillex", 1}};
    table.RestaurerChoix(choix, "/nonexistent/Stillex.exe");
    EXPECT_FALSE(table.itemsCommandes[size_t(a("alTriTaille").tag)].coche);
    EXPECT_EQ(a("afStillex").caption, "Ouvrir avec Stillex");
    if (a("afStillex").tag >= 0) {
        EXPECT_FALSE(table.itemsCommandes[size_t(a("afStillex").tag)].coche);
    }
    const QList<EtatAction> recueilli = table.RecueillirChoix();
    ASSERT_EQ(recueilli.size(), int(table.actions.size()));
    for (const EtatAction& e : recueilli) {
        if (e.nom == "alTriTaille") {
            EXPECT_EQ(e.valeur, 0);
        }
        if (e.nom == "afQuitter") {
            EXPECT_EQ(e.valeur, 1);
        }
    }
    EXPECT_EQ(a("amDVType1").raccourci, scCtrl | 97);
    EXPECT_EQ(categorieIndex("autre"), 0);
}

// Ctrl+Q is afQuitter's second key and the shortcut "Raccourcir le nom" takes
// from its command: the key goes to the command while it is offered.
TEST(RaccourcisEffectifs, ASecondKeyGivesWayToAnOfferedAction)
{
    TableActions t;
    ActionFenetre& quitter = *t.chercher(QStringLiteral("afQuitter"));
    ActionFenetre& purger = *t.chercher(QStringLiteral("amPurgerNom"));
    const uint16_t ctrlQ = TextToShortCut(QStringLiteral("Ctrl+Q"));
    const uint16_t altF4 = TextToShortCut(QStringLiteral("Alt+F4"));
    purger.raccourci = ctrlQ;
    for (const auto& [visible, enabled, quitterGarde] :
         std::vector<std::tuple<bool, bool, bool>>{{true, true, false}, {true, false, true}, {false, true, true}}) {
        purger.visible = visible;
        purger.enabled = enabled;
        const QList<uint16_t> attendu = quitterGarde ? QList<uint16_t>{altF4, ctrlQ} : QList<uint16_t>{altF4};
        EXPECT_EQ(t.RaccourcisEffectifs(quitter), attendu) << visible << enabled;
        EXPECT_EQ(t.RaccourcisEffectifs(purger), QList<uint16_t>{ctrlQ});
    }
}
