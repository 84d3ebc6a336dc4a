// The conversion commands from the real window: which of their actions are
// offered for the selection and by the filters present, a conversion run
// through its action with its output entering the list, and Esc pressed
// while a conversion runs.
#include "commands/registre_commandes.h"
#include "pipelines/ConvertirDVunit.h"
#include "platform/etat_programme.h"
#include "platform/preferences.h"
#include "support/fixtures.h"
#include "support/sortie_retenue.h"
#include "ui/assemblage_fenetre.h"
#include "ui/fenetre_essai.h"
#include "ui/main.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

class ConversionsFenetre : public FenetreEssai {
protected:
    void SetUp() override
    {
        KORVAN_REQUIRE_FIXTURES();
        FenetreEssai::SetUp();
        abandonDemande = abandonTout = sansConfirmation = false;
    }
    void TearDown() override
    {
        FenetreEssai::TearDown();
        qunsetenv("KORVAN_FILTRES_ABSENTS");
        registreCommandes.clear();
        abandonDemande = abandonTout = sansConfirmation = false;
        moduleConversion().definirFabriqueSortie([](const std::string& c) { return std::make_unique<SortieFichier>(c); });
    }

    void ouvrir(const QStringList& fichiers)
    {
        ouvrirFenetre();
        prefMemeDossier = true;
        prefDecalageHoraire = 0;
        for (const QString& f : fichiers)
            fenetre->AjouterFichier(f);
        fenetre->SelectionChangee();
        fenetre->MajCommandes();
    }
    QString copie(const char* fixture, const QString& nom)
    {
        const QString c = home_.path() + '/' + nom;
        EXPECT_TRUE(QFile::copy(QString::fromStdString(korvan::test::fixture(fixture)), c));
        QFile::setPermissions(c, QFile::ReadOwner | QFile::WriteOwner);
        return c;
    }
    // The action as the menus show it: (visible, enabled).
    std::pair<bool, bool> etat(const char* nom) const
    {
        const QAction* a = fenetre->action(nom);
        return a ? std::pair{a->isVisible(), a->isEnabled()} : std::pair{false, false};
    }
    QStringList noms() const
    {
        QStringList n;
        for (int i = 0; i < fenetre->liste().nombreLignes(); ++i)
            n << fenetre->liste().entree(i)->nom;
        n.sort();
        return n;
    }
};

} // namespace

TEST_F(ConversionsFenetre, TheActionsFollowTheSelectedFile)
{
    const QString t2 = copie("pal_t2_43.avi", "mariage.avi");
    const QString t1 = copie("pal_t1_43.avi", "anniversaire.avi");
    ouvrir({t2});
    using P = std::pair<bool, bool>;
    EXPECT_EQ(etat("amDVType1"), P(true, true));
    EXPECT_EQ(etat("amDVType2"), P(false, false));
    EXPECT_EQ(etat("amExtraireAudio"), P(true, true));
    EXPECT_EQ(etat("amDecalerHoraire"), P(true, false)); // no hour offset set
    EXPECT_EQ(etat("amCreerScenes"), P(true, true));
    EXPECT_EQ(etat("amScenesText"), P(true, true));
    // A PAL DV clip goes to NTSC and gets its datecode burnt in; it is DV already.
    EXPECT_EQ(etat("amNTSC"), P(true, true));
    EXPECT_EQ(etat("amPal"), P(false, false));
    EXPECT_EQ(etat("amIncrusterDatecode"), P(true, true));
    EXPECT_EQ(etat("amConvertirDV"), P(true, false));
    EXPECT_EQ(fenetre->action("amIncrusterDatecode")->shortcut(), QKeySequence("Ctrl+I"));
    EXPECT_EQ(fenetre->action("amConvertirDV")->shortcut(), QKeySequence("Ctrl+G"));
    // Their keys: Ctrl with the keypad's 1 and 2, Ctrl+W, Ctrl+S.
    EXPECT_FALSE(fenetre->action("amDVType1")->shortcuts().isEmpty());
    EXPECT_FALSE(fenetre->action("amDVType2")->shortcuts().isEmpty());
    EXPECT_EQ(fenetre->action("amExtraireAudio")->shortcut(), QKeySequence("Ctrl+W"));
    EXPECT_EQ(fenetre->action("amCreerScenes")->shortcut(), QKeySequence("Ctrl+S"));

    fenetre.reset();
    ouvrir({t1});
    EXPECT_EQ(etat("amDVType1"), P(false, false));
    EXPECT_EQ(etat("amDVType2"), P(true, true));
}

TEST_F(ConversionsFenetre, WithoutTheirFiltersTheSoundAndClockCommandsAreNotOffered)
{
    qputenv("KORVAN_FILTRES_ABSENTS", "WAV Dest;Brannoc DVHeader;Pinnacle Video Deinterlacer");
    ouvrir({copie("pal_t2_43.avi", "mariage.avi")});
    EXPECT_FALSE(fenetre->action("amExtraireAudio")->isVisible());
    EXPECT_FALSE(fenetre->action("amDecalerHoraire")->isVisible());
    // The burn-in needs the DV header writer, the standard change the deinterlacer.
    EXPECT_FALSE(fenetre->action("amIncrusterDatecode")->isVisible());
    EXPECT_FALSE(fenetre->action("amNTSC")->isVisible());
    EXPECT_TRUE(fenetre->action("amDVType1")->isVisible());
    EXPECT_TRUE(fenetre->action("amConvertirDV")->isVisible());
}

TEST_F(ConversionsFenetre, TheMenuEntryConvertsAndTheOutputEntersTheList)
{
    const QString t2 = copie("pal_t2_43.avi", "mariage.avi");
    ouvrir({t2});
    fenetre->action("amDVType1")->trigger();
    EXPECT_EQ(noms(), QStringList({"mariage.avi", "mariage_type1.avi"}));
    // The clock shift from its menu entry, with an offset set.
    prefDecalageHoraire = 2;
    fenetre->liste().selectionner(fenetre->liste().IndexDeChemin(t2), true);
    fenetre->SelectionChangee();
    ASSERT_TRUE(fenetre->action("amDecalerHoraire")->isEnabled());
    fenetre->action("amDecalerHoraire")->trigger();
    EXPECT_EQ(noms(), QStringList({"mariage.avi", "mariage_hor+2.avi", "mariage_type1.avi"}));
    const QString decale = home_.path() + "/mariage_hor+2.avi";
    EXPECT_EQ(fenetre->liste().entree(fenetre->liste().IndexDeChemin(decale))->texteDatecode, "14/07/2004 12:31:05");
    // The re-encoding entries: the NTSC copy and the burnt-in copy enter the list as DV.
    prefDecalageHoraire = 0;
    for (const char* a : {"amNTSC", "amIncrusterDatecode"}) {
        for (int i = 0; i < fenetre->liste().nombreLignes(); ++i)
            fenetre->liste().selectionner(i, i == fenetre->liste().IndexDeChemin(t2));
        fenetre->SelectionChangee();
        ASSERT_TRUE(fenetre->action(a)->isEnabled()) << a;
        fenetre->action(a)->trigger();
    }
    EXPECT_EQ(noms(), QStringList({"mariage.avi", "mariage_hor+2.avi", "mariage_in.avi", "mariage_ntsc.avi",
                                   "mariage_type1.avi"}));
    const EntreePtr ntsc = fenetre->liste().entree(fenetre->liste().IndexDeChemin(home_.path() + "/mariage_ntsc.avi"));
    EXPECT_TRUE(ntsc->estDV);
    EXPECT_EQ(ntsc->standard, 2);
    EXPECT_EQ(ntsc->texteDatecode, "14/07/2004 10:31:05");
}

TEST_F(ConversionsFenetre, EscStopsTheConversionAndLeavesItsPartialOutput)
{
    const QString t2 = copie("pal_t2_43.avi", "mariage.avi");
    const QByteArray avant = [&] {
        QFile f(t2);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ouvrir({t2});
    // The run is held at its tenth write until Esc, as a slow disk would hold it.
    RegleSortie regle;
    regle.retenue = 10;
    regle.liberee = [] { return abandonDemande.load(); };
    moduleConversion().definirFabriqueSortie(SortieRetenue::fabrique(regle));
    // The user presses Esc once the run is held; the time until the run is over is recorded.
    QElapsedTimer depuisEchap;
    QTimer echap;
    QObject::connect(&echap, &QTimer::timeout, [&] {
        if (regle.atteinte && !depuisEchap.isValid()) {
            depuisEchap.start();
            QTest::keyClick(fenetre.get(), Qt::Key_Escape);
        }
    });
    echap.start(5);
    fenetre->activateWindow();
    fenetre->action("amDVType1")->trigger();
    echap.stop();
    ASSERT_TRUE(depuisEchap.isValid());
    RecordProperty("ms_entre_echap_et_fin", int(depuisEchap.elapsed()));
    EXPECT_TRUE(abandonDemande == false); // cleared after the entry
    const QString sortie = home_.path() + "/mariage_type1.avi";
    EXPECT_EQ(noms(), QStringList({"mariage.avi", "mariage_type1.avi"}));
    const auto entree = fenetre->liste().entree(fenetre->liste().IndexDeChemin(sortie));
    EXPECT_TRUE(entree->estDV);
    EXPECT_LT(entree->dureeVideo, 30 * 400000);
    QFile f(t2);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll() == avant);
}
