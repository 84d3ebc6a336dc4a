// The overlay toggles: the calls the preview's components receive, in their
// order, the captions and images, the settings that keep the state, and the
// sliders toggle switching the overlay on through its action.
#include "commands/bascules_incrustation.h"

#include "commands/chmodule.h"
#include "commands/executeur.h"
#include "doubles_fenetre.h"
#include "liste_memoire.h"
#include "pipelines/presence_filtres.h"
#include "platform/etat_programme.h"
#include "platform/preferences.h"
#include "support/appels_incrustation.h"
#include "support/fixtures.h"

#include <QMap>
#include <gtest/gtest.h>

#include <functional>

using namespace korvan;
using namespace korvan::test;

namespace {

struct ApercuIncrustationMemoire : IncrustationApercu {
    AppelsIncrustation composants;
    bool avecSuperposer = true;
    bool avecDatecoder = true;
    int horizontal = 700;
    int vertical = 650;
    bool curseurs = false;
    int rafraichissements = 0;
    struct Legende {
        QString caption;
        int image;
    };
    QMap<QString, Legende> legendes;
    QStringList actions;
    std::function<void(const QString&)> lancer;

    ISuperposerParam3* superposer() override { return avecSuperposer ? &composants : nullptr; }
    IDatecoderConfig* datecoder() override { return avecDatecoder ? &composants : nullptr; }
    void RafraichirApercu() override { ++rafraichissements; }
    int curseurHorizontal() const override { return horizontal; }
    int curseurVertical() const override { return vertical; }
    void montrerCurseurs(bool v) override { curseurs = v; }
    void legendeAction(const QString& a, const QString& c, int i) override { legendes[a] = {c, i}; }
    void executerAction(const QString& a) override
    {
        actions << a;
        if (lancer)
            lancer(a);
    }
};

class Bascules : public ::testing::Test {
protected:
    Bascules()
    {
        prefIncrustOn = false;
        prefSlidersVisible = false;
        prefAutoFontSize = false;
        prefAutoIncrust = true;
        prefDureeIncrust = 7;
        prefDecalageHoraire = -2;
        prefFormatAfficher = QStringLiteral("dd/mm/yy hh:nn");
        prefIncrustFont = PoliceIncrust{18, 0x00FF00, QStringLiteral("DejaVu Sans"), false, true, true, false};
        module.TextesCommandes();
        InstallerBasculesIncrustation(module, apercu);
    }
    ~Bascules() override
    {
        prefIncrustOn = true;
        prefSlidersVisible = false;
        prefAutoFontSize = true;
        prefAutoIncrust = false;
        prefDureeIncrust = prefDefaut::dureeIncrust;
        prefDecalageHoraire = 0;
        prefFormatAfficher = QString::fromLatin1(prefDefaut::formatAfficher);
        prefIncrustFont = PoliceIncrust{};
    }
    void executer(tFileAction& c)
    {
        TParam p;
        QString n;
        TchUpdateType u = utAdd;
        c.OnExecution(p, nullptr, n, u);
        EXPECT_EQ(u, utNone);
    }

    ApercuIncrustationMemoire apercu;
    Tch module;
};

const QStringList kAllumage = {"S14(700,350,0)", "S3(0)",      "S4(18)",  "S5(DejaVu Sans)", "S6(ff00)",
                               "S7(0)",          "S8(1)",      "S9(1)",   "S10(0)",          "S16(%D)",
                               "S2(1)",          "D3(0)",      "D4(7)",   "D5(1)",           "D1(-2)",
                               "D2(dd/mm/yy hh:nn)"};

} // namespace

TEST_F(Bascules, DatecodeOnThenOffWithTheFixedCallsCaptionsAndImages)
{
    executer(module.AfficherDatecode);
    EXPECT_EQ(apercu.composants.appels, kAllumage);
    EXPECT_TRUE(prefIncrustOn);
    EXPECT_EQ(apercu.legendes["amAfficherDatecode"].caption, "Masquer le datecode");
    EXPECT_EQ(apercu.legendes["amAfficherDatecode"].image, 21);
    EXPECT_EQ(apercu.rafraichissements, 1);

    apercu.composants.appels.clear();
    executer(module.AfficherDatecode);
    EXPECT_EQ(apercu.composants.appels, QStringList{"S2(0)"});
    EXPECT_FALSE(prefIncrustOn);
    EXPECT_EQ(apercu.legendes["amAfficherDatecode"].caption, "Afficher le datecode");
    EXPECT_EQ(apercu.legendes["amAfficherDatecode"].image, 18);
    EXPECT_EQ(apercu.rafraichissements, 2);
}

TEST_F(Bascules, ComponentsMissingLeaveTheOverlayOff)
{
    // No superposer: nothing at all happens.
    apercu.avecSuperposer = false;
    executer(module.AfficherDatecode);
    EXPECT_TRUE(apercu.composants.appels.isEmpty());
    EXPECT_TRUE(apercu.legendes.isEmpty());
    EXPECT_FALSE(prefIncrustOn);
    EXPECT_EQ(apercu.rafraichissements, 0);
    // No datecoder: the superposer got its calls, the state stays off.
    apercu.avecSuperposer = true;
    apercu.avecDatecoder = false;
    executer(module.AfficherDatecode);
    EXPECT_EQ(apercu.composants.appels, kAllumage.mid(0, 11));
    EXPECT_TRUE(apercu.legendes.isEmpty());
    EXPECT_FALSE(prefIncrustOn);
    // Turning off needs no component.
    prefIncrustOn = true;
    apercu.avecSuperposer = false;
    apercu.composants.appels.clear();
    executer(module.AfficherDatecode);
    EXPECT_FALSE(prefIncrustOn);
    EXPECT_TRUE(apercu.composants.appels.isEmpty());
    EXPECT_EQ(apercu.legendes["amAfficherDatecode"].caption, "Afficher le datecode");
}

TEST_F(Bascules, SlidersTurnTheOverlayOnThroughItsActionAndLeaveItOnWhenHidden)
{
    ListeMemoire liste;
    BoiteScriptee boite;
    ProgressionMemoire progression;
    ApercuMemoire controle;
    ExecuteurCommandes x(liste, liste, boite, progression, controle);
    x.pomper = [](bool) {};
    // The action's runner treats the current entry.
    apercu.lancer = [&](const QString& a) {
        ASSERT_EQ(a, "amAfficherDatecode");
        x.ExecuterSurCourante(&module.AfficherDatecode);
    };
    const ScratchDir dir;
    writeWholeFile(dir.path("clip.avi"), "clip");
    liste.AjouterFichier(QString::fromStdString(dir.path("clip.avi")));
    liste.toutSelectionner();
    liste.MajStatut();
    ASSERT_TRUE(liste.entreeCourante());

    x.ExecuterSurCourante(&module.AfficherSliders);
    EXPECT_EQ(apercu.actions, QStringList{"amAfficherDatecode"});
    EXPECT_TRUE(prefIncrustOn);
    EXPECT_EQ(apercu.composants.appels, kAllumage);
    EXPECT_TRUE(prefSlidersVisible);
    EXPECT_TRUE(apercu.curseurs);
    EXPECT_EQ(apercu.legendes["amAfficherSliders"].caption, "Masquer les barres de l'incrustation");

    apercu.composants.appels.clear();
    x.ExecuterSurCourante(&module.AfficherSliders);
    EXPECT_FALSE(prefSlidersVisible);
    EXPECT_FALSE(apercu.curseurs);
    EXPECT_EQ(apercu.legendes["amAfficherSliders"].caption, "Modifier la position de l'incrustation");
    EXPECT_TRUE(prefIncrustOn);
    EXPECT_TRUE(apercu.composants.appels.isEmpty());

    // With the overlay already on, showing the sliders leaves it alone.
    x.ExecuterSurCourante(&module.AfficherSliders);
    EXPECT_EQ(apercu.actions.size(), 1);
    EXPECT_TRUE(apercu.curseurs);
}

TEST_F(Bascules, OfferedForDvClipsTheDatecoderReads)
{
    ContexteEntree sansSonde;
    sansSonde.sonde = [](const QString&, TResultatSonde&) { return false; };
    TAfficherFichier f(QStringLiteral("/v/clip.avi"), sansSonde);
    struct Cas {
        bool estDV;
        int typeDV;
        const char* codec;
        bool offert;
    };
    for (const Cas c : {Cas{true, 2, "dsvd", true}, Cas{true, 2, "CDVC", true}, Cas{true, 1, "dvsd", true},
                        Cas{true, 1, "dsvd", false}, Cas{true, 1, "DVSD", false}, Cas{true, 0, "dvsd", true},
                        Cas{false, 0, "dvsd", false}, Cas{false, 2, "MJPG", false}}) {
        f.estDV = c.estDV;
        f.typeDV = c.typeDV;
        f.codec = c.codec;
        for (tFileAction* commande : {&module.AfficherDatecode, &module.AfficherSliders}) {
            bool visible = false, enabled = !c.offert;
            TParam p;
            commande->OnFileCondition(p, &f, visible, enabled);
            EXPECT_TRUE(visible);
            EXPECT_EQ(enabled, c.offert) << c.typeDV << " " << c.codec;
        }
    }
    // Offered at all only with the overlay components.
    bool visible = !drapeauxFiltres().okIncrustation();
    TParam p;
    module.AfficherDatecode.OnGeneralCondition(p, visible);
    EXPECT_EQ(visible, drapeauxFiltres().okIncrustation());
}

TEST(LegendesBascules, OneTableForBothStates)
{
    EXPECT_EQ(LegendeAfficherDatecode(true).caption, "Masquer le datecode");
    EXPECT_EQ(LegendeAfficherDatecode(true).image, 21);
    EXPECT_EQ(LegendeAfficherDatecode(false).caption, "Afficher le datecode");
    EXPECT_EQ(LegendeAfficherDatecode(false).image, 18);
    EXPECT_EQ(LegendeAfficherSliders(true).caption, "Masquer les barres de l'incrustation");
    EXPECT_EQ(LegendeAfficherSliders(false).caption, "Modifier la position de l'incrustation");
}
