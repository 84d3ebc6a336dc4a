// The real main window, driven as a user would: drops, paste, sort actions,
// list toggles, counter texts, playlists.
#include "platform/etat_programme.h"
#include "platform/preferences.h"
#include "support/fixtures.h"
#include "ui/AfficherBase.h"
#include "ui/apropos_frame.h"
#include "ui/assemblage_fenetre.h"
#include "ui/fenetre_essai.h"
#include "ui/etiquette_elidee.h"
#include "ui/main.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QStandardItemModel>
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
class FenetreTest : public FenetreEssai {
protected:
    void SetUp() override
    {
        FenetreEssai::SetUp();
        ouvrirFenetre();
        prefSelectionOuverture = false;
    }

    void declencher(const char* action) { fenetre->action(action)->trigger(); }
    QStringList lignes() const
    {
        QStringList l;
        const QAbstractItemModel* m = fenetre->lb()->model();
        for (int i = 0; i < m->rowCount(); ++i)
            l << m->index(i, 0).data().toString();
        return l;
    }
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
    EXPECT_EQ(b->texteACopier(7), fixtureQ("ntsc_t1_32k.avi")); // the path as on disk, not lower-cased
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

// A run that waits for its conversion lets the event loop block; that is not
// the application going idle: the status text and the abort flags stay.
// Everything runs inside an event loop, as in the program.
TEST_F(FenetreTest, ARunsWaitIsNotIdle)
{
    KORVAN_REQUIRE_FIXTURES();
    deposer({fixtureQ("pal_t2_43.avi")});
    QLabel* statut = fenetre->findChild<QLabel*>("statut");
    ASSERT_NE(statut, nullptr);
    QStringList vus;
    tFileAction commande;
    commande.OnExecution = [&](TParam&, const TAfficherFichier*, QString&, TchUpdateType&) {
        fenetre->texteStatut("En train de convertir");
        chargementEnCours = true;
        abandonDemande = true;
        for (int i = 0; i < 3; ++i) {
            QTimer::singleShot(5, [] {});
            fenetre->executeur().pomper(true); // blocks until the timer fires
        }
        vus << statut->text() << QString::number(chargementEnCours) << QString::number(abandonDemande);
        abandonDemande = true; // an Esc that comes as the run ends
    };
    QEventLoop boucle;
    QTimer::singleShot(0, [&] {
        fenetre->executeur().ExecuterEntreeLigneCommande(commande, fenetre->liste().entree(0));
        // Once the run is over, the next idle moment does clear them.
        QTimer::singleShot(30, &boucle, &QEventLoop::quit);
    });
    boucle.exec();
    EXPECT_EQ(vus, (QStringList{"En train de convertir", "1", "1"}));
    EXPECT_EQ(statut->text(), "Prêt");
    EXPECT_FALSE(abandonDemande);
    EXPECT_FALSE(chargementEnCours);
}

// The first run centres the window on its screen; a place saved on a screen
// that is gone brings it back there too.
TEST_F(FenetreTest, FirstRunCentresTheWindowAndALostPlaceComesBack)
{
    const QRect zone = fenetre->screen()->availableGeometry();
    const QSize cadre = fenetre->frameGeometry().size();
    ASSERT_LE(cadre.width(), zone.width()); // brought down to the screen when larger
    const QPoint centre((zone.width() - cadre.width()) / 2, (zone.height() - cadre.height()) / 2);
    EXPECT_EQ(fenetre->pos(), centre);
    prefLeft = -5000;
    prefTop = -5000;
    SauverPreferences();
    fenetre.reset();
    ouvrirFenetre();
    EXPECT_EQ(fenetre->pos(), centre);
}

// A 200-character name elides in the middle of its label, the tooltip holds
// it all, and the window keeps its size with the list and toolbar on it.
TEST_F(FenetreTest, ALongNameNeverWidensTheWindow)
{
    KORVAN_REQUIRE_FIXTURES();
    QTemporaryDir dossier;
    const QString nom = QString(196, QLatin1Char('n')) + ".avi";
    const QString clip = dossier.path() + "/" + nom;
    ASSERT_TRUE(QFile::link(fixtureQ("pal_t2_43.avi"), clip));
    deposer({fixtureQ("pal_t1_43.avi"), clip});
    const QSize avant = fenetre->size();
    fenetre->liste().focaliser(1);
    fenetre->liste().selectionner(1, true);
    fenetre->SelectionChangee();
    QApplication::processEvents();
    auto* etiquette = static_cast<EtiquetteElidee*>(fenetre->panneau()->LabNom);
    EXPECT_EQ(etiquette->text(), nom);
    EXPECT_EQ(etiquette->toolTip(), nom);
    EXPECT_TRUE(etiquette->texteAffiche().contains(QStringLiteral("…")));
    EXPECT_EQ(fenetre->size(), avant);
    EXPECT_LE(fenetre->frameGeometry().width(), fenetre->screen()->availableGeometry().width());
    EXPECT_LE(fenetre->minimumSizeHint().width(), fenetre->width());
    const QRect dedans = fenetre->rect();
    EXPECT_TRUE(dedans.contains(QRect(fenetre->lb()->mapTo(fenetre.get(), QPoint(0, 0)), fenetre->lb()->size())));
    // So does a long folder path in the status bar.
    fenetre->texteStatut("Parcours de " + dossier.path() + "/" + QString(300, QLatin1Char('d')));
    QApplication::processEvents();
    EXPECT_EQ(fenetre->size(), avant);
}

// A highlighted line shows the whole of its underscores: drawn in its own
// height it has the same ink as drawn with room to spare, at every font size
// (with Qt's default height, DejaVu Sans at 11, 12, 13 and 16 points lost them).
TEST_F(FenetreTest, ListLinesHoldTheUnderscores)
{
    QListView* vue = fenetre->lb();
    QStandardItemModel modele;
    modele.appendRow(new QStandardItem("pal_t2_43.avi"));
    const QModelIndex index = modele.index(0, 0);
    for (int points = 6; points <= 20; ++points) {
        QStyleOptionViewItem option;
        option.initFrom(vue->viewport());
        option.font = QFont("DejaVu Sans", points);
        option.fontMetrics = QFontMetrics(option.font);
        option.state |= QStyle::State_Selected | QStyle::State_Enabled | QStyle::State_Active;
        option.showDecorationSelected = true;
        const QSize ligne = vue->itemDelegate()->sizeHint(option, index);
        auto encre = [&](int hauteur) {
            QImage image(ligne.width() + 20, hauteur, QImage::Format_RGB32);
            image.fill(Qt::black);
            QPainter p(&image);
            option.rect = image.rect();
            p.setClipRect(option.rect); // as the view clips each line
            vue->itemDelegate()->paint(&p, option, index);
            p.end();
            const QRgb fond = option.palette.color(QPalette::Active, QPalette::Highlight).rgb();
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    n += image.pixel(x, y) != fond;
            return n;
        };
        const int serree = encre(ligne.height());
        EXPECT_GT(serree, 0) << points;
        EXPECT_EQ(serree, encre(ligne.height() + 2 * option.fontMetrics.height())) << points << " points";
    }
}

// Qt's own dialogs and menus speak French with the rest of the program.
TEST_F(FenetreTest, QtsOwnTextsAreFrench)
{
    const std::pair<const char*, const char*> textes[] = {
        {"QFileDialog", "Look in:"},   {"QFileDialog", "File &name:"}, {"QFileDialog", "Files of type:"},
        {"QPlatformTheme", "Open"},    {"QPlatformTheme", "Save"},     {"QPlatformTheme", "Cancel"},
        {"QWidgetTextControl", "&Copy"}, {"QWidgetTextControl", "Select All"}, {"QLineEdit", "&Paste"}};
    for (const auto& [contexte, source] : textes)
        EXPECT_NE(QCoreApplication::translate(contexte, source), QString::fromUtf8(source)) << contexte << " " << source;
    QLineEdit champ;
    std::unique_ptr<QMenu> menu(champ.createStandardContextMenu());
    QStringList entrees;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            entrees << a->text().remove('&').section('\t', 0, 0);
    EXPECT_TRUE(entrees.contains("Copier")) << entrees.join(", ").toStdString();
}

// A plug-in's command with Tag 3 takes the last place of "Convertir".
TEST_F(FenetreTest, APluginCommandJoinsTheMenuOfItsTag)
{
    const QString dossier = home_.path() + "/data/korvan/plugins";
    ASSERT_TRUE(QDir().mkpath(dossier));
    ASSERT_TRUE(QFile::copy(KORVAN_ESSAIS_PLUGINS "/a_majuscules.qzp", dossier + "/a_majuscules.qzp"));
    fenetre.reset();
    ouvrirFenetre();
    KORVAN_REQUIRE_FIXTURES();
    deposer({fixtureQ("pal_t2_43.avi")}); // file commands are offered with a file
    QMenu* convertir = fenetre->menuPrincipal(3);
    ASSERT_NE(convertir, nullptr);
    EXPECT_EQ(convertir->title(), "Convertir");
    ASSERT_FALSE(convertir->actions().isEmpty());
    QAction* derniere = convertir->actions().last();
    EXPECT_EQ(derniere->text(), "Commande d'essai");
    EXPECT_TRUE(derniere->isVisible());
    EXPECT_TRUE(convertir->menuAction()->isVisible());
    // The about panel's "Plugs-in" page lists it.
    auto* apropos = fenetre->findChild<TAproposFrame*>();
    ASSERT_NE(apropos, nullptr);
    EXPECT_TRUE(apropos->pagePluginsVisible());
    EXPECT_TRUE(apropos->rePlugins->toPlainText().contains("a_majuscules.qzp (1 actions):\nEssai 1.0\nPlug-in d'essai"));
}
