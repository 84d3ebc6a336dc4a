// The real main window, driven as a user would: drops, paste, sort actions,
// list toggles, counter texts, playlists.
#include "platform/etat_programme.h"
#include "platform/preferences.h"
#include "support/fixtures.h"
#include "ui/AfficherBase.h"
#include "ui/assemblage_fenetre.h"
#include "ui/main.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

// Every test runs with its own home, so real settings and playlists are never touched.
class FenetreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        qputenv("HOME", home_.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (home_.path() + "/config").toUtf8());
        qputenv("XDG_DATA_HOME", (home_.path() + "/data").toUtf8());
        fenetre = AssemblerFenetre();
        fenetre->show();
        QApplication::processEvents();
        prefSauverPrefsEnQuittant = false;
        prefSauverListeEnQuittant = false;
        prefSelectionOuverture = false;
    }
    void TearDown() override { fenetre.reset(); }

    void deposer(const QStringList& chemins)
    {
        QMimeData donnees;
        QList<QUrl> urls;
        for (const QString& c : chemins)
            urls << QUrl::fromLocalFile(c);
        donnees.setUrls(urls);
        // As a file manager does: the drag enters the window, then drops.
        QDragEnterEvent entree(QPoint(10, 10), Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(fenetre.get(), &entree);
        ASSERT_TRUE(entree.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(fenetre.get(), &drop);
    }
    QString fixtureQ(const char* nom) { return QString::fromStdString(fixture(nom)); }
    void declencher(const char* action) { fenetre->action(action)->trigger(); }
    QStringList lignes() const
    {
        QStringList l;
        const QAbstractItemModel* m = fenetre->lb()->model();
        for (int i = 0; i < m->rowCount(); ++i)
            l << m->index(i, 0).data().toString();
        return l;
    }

    QTemporaryDir home_;
    std::unique_ptr<TUIForm> fenetre;
};

} // namespace

TEST_F(FenetreTest, DropRevealsListAndSortsByDatecode)
{
    KORVAN_REQUIRE_FIXTURES();
    EXPECT_TRUE(fenetre->placeholderVisible());
    EXPECT_FALSE(fenetre->listeVisible());
    EXPECT_EQ(fenetre->compteur()->text(), "0 fichier sur 0 - tri selon datecode");

    deposer({fixtureQ("pal_t2_43.avi")});
    EXPECT_FALSE(fenetre->listeVisible()); // one file: the list stays hidden
    EXPECT_FALSE(fenetre->placeholderVisible());
    EXPECT_EQ(fenetre->panneau()->labDatecode->text(), "14/07/2004 10:31:05");
    EXPECT_EQ(fenetre->panneau()->LabCodec->text(), "dvsd (type 2)");

    deposer({fixtureQ("pal_t1_43.avi"), fixtureQ("ntsc_t2_43.avi"), fixtureQ("not_riff.avi")});
    EXPECT_TRUE(fenetre->listeVisible());
    EXPECT_EQ(lignes(), QStringList({"pal_t1_43.avi", "pal_t2_43.avi", "ntsc_t2_43.avi", "not_riff.avi"}));
    // The first file added stays current and selected, wherever the order put it.
    EXPECT_EQ(fenetre->liste().entreeCourante()->nom, "pal_t2_43.avi");
    EXPECT_EQ(fenetre->compteur()->text(), "1 fichier sur 4 - tri selon datecode");

    declencher("afOrdreAlpha");
    EXPECT_EQ(lignes(), QStringList({"not_riff.avi", "ntsc_t2_43.avi", "pal_t1_43.avi", "pal_t2_43.avi"}));
    EXPECT_EQ(fenetre->liste().entreeCourante()->nom, "pal_t2_43.avi");
    EXPECT_TRUE(fenetre->lb()->selectionModel()->isRowSelected(3));
    declencher("afSelectionnerTout");
    EXPECT_EQ(fenetre->compteur()->text(), "4 fichiers sur 4 - tri alphabétique");
}

TEST_F(FenetreTest, PasteAndDuplicates)
{
    KORVAN_REQUIRE_FIXTURES();
    auto* donnees = new QMimeData;
    donnees->setData("x-special/gnome-copied-files",
                     "copy\n" + QUrl::fromLocalFile(fixtureQ("pal_t2_169.avi")).toEncoded() + "\n"
                         + QUrl::fromLocalFile(fixtureQ("pal_t2_169.avi")).toEncoded());
    QGuiApplication::clipboard()->setMimeData(donnees);
    declencher("afCollerFichiers");
    EXPECT_EQ(fenetre->liste().nombre(), 1);
    EXPECT_EQ(lignes().size(), 1);
}

TEST_F(FenetreTest, ListActionsFollowTheListState)
{
    KORVAN_REQUIRE_FIXTURES();
    deposer({fixtureQ("pal_t2_43.avi")});
    fenetre->MajCommandes();
    EXPECT_FALSE(fenetre->action("afSelectionnerTout")->isVisible());
    EXPECT_TRUE(fenetre->action("afQuitter")->isVisible());
    deposer({fixtureQ("pal_t1_43.avi")});
    fenetre->MajCommandes();
    EXPECT_TRUE(fenetre->action("afSelectionnerTout")->isVisible());
    declencher("afBasculerListe");
    EXPECT_FALSE(fenetre->listeVisible());
    EXPECT_FALSE(fenetre->action("afSelectionnerTout")->isVisible());
    EXPECT_EQ(fenetre->action("afBasculerListe")->text(), "Afficher la liste\tF6");
    declencher("afOptions");
    EXPECT_FALSE(fenetre->menuPrincipal(0)->menuAction()->isVisible());
    declencher("afOptions");
    EXPECT_TRUE(fenetre->menuPrincipal(0)->menuAction()->isVisible());
}

TEST_F(FenetreTest, PlaylistWrittenAndReadBack)
{
    KORVAN_REQUIRE_FIXTURES();
    deposer({fixtureQ("pal_t2_43.avi"), fixtureQ("pal_t1_43.avi")});
    const QString p = home_.path() + "/liste.txt";
    ASSERT_TRUE(fenetre->EcrirePlaylist(p));
    declencher("afViderListe");
    EXPECT_EQ(fenetre->liste().nombre(), 0);
    EXPECT_TRUE(fenetre->placeholderVisible());
    fenetre->LirePlaylist(p);
    EXPECT_EQ(fenetre->liste().nombre(), 2);
    EXPECT_FALSE(chargementEnCours);
}

TEST_F(FenetreTest, CopyMenuTexts)
{
    KORVAN_REQUIRE_FIXTURES();
    deposer({fixtureQ("ntsc_t1_32k.avi")});
    TBaseFrame* b = fenetre->panneau();
    EXPECT_EQ(b->texteACopier(6), "32000Hz 12(16) bits  stéréo PCM 128000 octets/s");
    EXPECT_EQ(b->texteACopier(7), fixtureQ("ntsc_t1_32k.avi").toLower());
    EXPECT_EQ(b->texteACopier(2), "dvsd (type 1)");
    EXPECT_EQ(b->texteACopier(5), "29,97"); // French decimal comma
}

TEST_F(FenetreTest, RenameCommandThroughTheWindow)
{
    KORVAN_REQUIRE_FIXTURES();
    QTemporaryDir dossier;
    const QString clip = dossier.path() + "/clip.avi";
    ASSERT_TRUE(QFile::copy(fixtureQ("pal_t2_43.avi"), clip));
    deposer({clip});
    sansConfirmation = true; // no question box in a test
    declencher("amAjouterDatecode");
    sansConfirmation = false;
    const QString attendu = dossier.path() + "/clip_14.07.2004_10.31.05.avi";
    EXPECT_TRUE(QFileInfo::exists(attendu));
    EXPECT_FALSE(QFileInfo::exists(clip));
    ASSERT_EQ(fenetre->liste().nombre(), 1);
    EXPECT_EQ(fenetre->liste().entree(0)->chemin, attendu);
    EXPECT_EQ(lignes(), QStringList{"clip_14.07.2004_10.31.05.avi"});
    EXPECT_EQ(fenetre->liste().entreeCourante()->chemin, attendu);
}

TEST_F(FenetreTest, EscapeStopsALoadBeforeTheNextFile)
{
    KORVAN_REQUIRE_FIXTURES();
    QTemporaryDir dossier;
    QStringList chemins;
    for (int i = 0; i < 30; ++i) {
        const QString c = dossier.path() + QString("/c%1.avi").arg(i);
        ASSERT_TRUE(QFile::link(fixtureQ("pal_handler_dsvd.avi"), c));
        chemins << c;
    }
    // The window handles an Esc key while the third file is being added.
    int ajoutes = 0;
    QObject::connect(&fenetre->liste(), &QAbstractItemModel::rowsInserted, fenetre.get(), [&] {
        if (++ajoutes == 3)
            declencher("afInterrompre");
    });
    fenetre->AjouterFichiers(chemins, "Chargement de fichiers");
    EXPECT_EQ(fenetre->liste().nombre(), 3);
    EXPECT_FALSE(abandonDemande); // the end of the operation forgets the key
    EXPECT_FALSE(chargementEnCours);
}

// The view and the list share one selection: a click inside a multi-selection
// reaches the counter, the tooltip and the commands without anything else.
TEST_F(FenetreTest, AClickInsideAMultiSelectionIsSeenAtOnce)
{
    KORVAN_REQUIRE_FIXTURES();
    deposer({fixtureQ("pal_t2_43.avi"), fixtureQ("pal_t1_43.avi"), fixtureQ("ntsc_t2_43.avi")});
    declencher("afSelectionnerTout");
    QApplication::processEvents();
    ASSERT_TRUE(fenetre->compteur()->text().startsWith("3 fichiers sur 3"));
    QListView* vue = fenetre->lb();
    QTest::mouseClick(vue->viewport(), Qt::LeftButton, Qt::NoModifier, vue->visualRect(vue->model()->index(1, 0)).center());
    QApplication::processEvents();
    EXPECT_TRUE(fenetre->compteur()->text().startsWith("1 fichier sur 3"));
    EXPECT_TRUE(vue->toolTip().startsWith("1 fichier sélectionné sur 3"));
    EXPECT_EQ(fenetre->liste().selection(), std::vector<int>{1});
    EXPECT_EQ(fenetre->liste().entreeCourante(), fenetre->liste().entree(1));
    // Programmatic changes are seen the same way.
    fenetre->liste().selectionner(2, true);
    QApplication::processEvents();
    EXPECT_TRUE(fenetre->compteur()->text().startsWith("2 fichiers sur 3"));
}

// Menus show the program's key names, and the context menus are the program's.
TEST_F(FenetreTest, MenusAndContextMenusAreTheProgramsOwn)
{
    for (const auto& [nom, texte] : std::vector<std::pair<const char*, const char*>>{
             {"amOterFichier", "Oter le fichier\tSuppr"},
             {"amSupprimerFichier", "Supprimer le fichier\tShift+Suppr"},
             {"afInterrompre", "Interrompre\tEchap"},
             {"afQuitter", "Quitter\tAlt+F4"}})
        EXPECT_EQ(fenetre->action(nom)->text(), texte);
    QStringList liste;
    for (QAction* a : fenetre->lb()->actions())
        liste << (a->isSeparator() ? "-" : a->menu() ? ">" + a->menu()->title() : a->objectName());
    EXPECT_EQ(liste, QStringList({"afOuvrirFichiers", "afCollerFichiers", "afOuvrirunDossier", "afOuvrirDossierPrefere",
                                  "afOuvrirTout", "-", "afBasculerListe", ">Trier la liste", "afSelectionnerTout", "-",
                                  "afSauverListe", "afViderListe", "afQuitter"}));
    std::unique_ptr<QMenu> menu(fenetre->createPopupMenu());
    QStringList fenetreMenu;
    for (QAction* a : menu->actions())
        fenetreMenu << (a->isSeparator() ? QString("-") : a->objectName());
    EXPECT_EQ(fenetreMenu, TUIForm::entreesMenuFenetre());
}
