// The options panel's rules on a panel made of plain values: the order in
// which the panel is filled after a load, what each control's handler does
// to its setting, the controls and the preview, what is collected before a
// save, and the Send To entry following the box.
#include "platform/controles_options.h"

#include "bureau_temporaire.h"
#include "commands/doubles_fenetre.h"
#include "entree_bureau_valide.h"
#include "platform/dossiers_utilisateur.h"
#include "platform/magasin_preferences.h"
#include "platform/preferences.h"

#include <QDir>
#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace korvan;
using namespace korvan::test;

namespace {

using C = ControleOptions;

QString nom(ControleOptions c)
{
    return QString::fromLatin1(descripteur(c).nom);
}

QString nom(ReglageApercu r)
{
    switch (r) {
    case ReglageApercu::Police: return QStringLiteral("Police");
    case ReglageApercu::TailleAuto: return QStringLiteral("TailleAuto");
    case ReglageApercu::IncrustAuto: return QStringLiteral("IncrustAuto");
    case ReglageApercu::Decalage: return QStringLiteral("Decalage");
    case ReglageApercu::Format: return QStringLiteral("Format");
    }
    return {};
}

// A panel of values that records every call made to it; a check box set to
// another state runs its handler, as the panel's boxes do.
class ControlesMemoire : public ControlesOptions {
public:
    std::map<ControleOptions, bool> cases;
    std::map<ControleOptions, QString> textes;
    std::map<ControleOptions, double> valeurs;
    std::map<ControleOptions, bool> actifs;
    QStringList trace;

    bool coche(ControleOptions c) const override { return cases.count(c) && cases.at(c); }
    void cocher(ControleOptions c, bool etat) override
    {
        trace << QStringLiteral("cocher %1 %2").arg(nom(c)).arg(int(etat));
        if (coche(c) != etat) {
            cases[c] = etat;
            EvenementOptions(c, *this);
        }
    }
    QString texte(ControleOptions c) const override { return textes.count(c) ? textes.at(c) : QString(); }
    void ecrireTexte(ControleOptions c, const QString& t) override
    {
        trace << QStringLiteral("texte %1 %2").arg(nom(c), t);
        textes[c] = t;
    }
    double valeur(ControleOptions c) const override { return valeurs.count(c) ? valeurs.at(c) : 0; }
    void ecrireValeur(ControleOptions c, double v) override
    {
        trace << QStringLiteral("valeur %1 %2").arg(nom(c)).arg(v);
        valeurs[c] = v;
    }
    void activer(ControleOptions c, bool actif) override
    {
        trace << QStringLiteral("activer %1 %2").arg(nom(c)).arg(int(actif));
        actifs[c] = actif;
    }
    void dossierDepart(ControleOptions c, const QString& dossier) override
    {
        trace << QStringLiteral("depart %1 %2").arg(nom(c), dossier);
    }
    void majApercu(ReglageApercu r, int duree) override
    {
        trace << QStringLiteral("apercu %1 %2").arg(nom(r)).arg(duree);
    }
};

class ControlesOptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The settings every test starts from, each different from its default.
        ChargerPreferences(MagasinPreferences(bureau.config()));
        prefDossierOuvrir = bureau.home() + "/ouvrir/";
        prefDossierAuto = bureau.home() + "/auto/";
        prefDossierPlayList = bureau.home() + "/listes/";
        prefDossierSave = bureau.home() + "/sortie/";
        ASSERT_TRUE(QDir().mkpath(prefDossierSave));
        prefFichierStillex = "/opt/stillex/Stillex.exe";
        prefSauverPrefsEnQuittant = true;
        prefSelectionOuverture = true;
        prefSauverListeEnQuittant = false;
        prefMemeDossier = false;
        prefStandard = standardNtsc;
        prefFormatAjouter = "yyyy-mm-dd";
        prefFormatAfficher = "dd mmmm yyyy";
        prefFormatRenommer = "yyyymmdd";
        prefRacineRenommer = "Vacances_";
        prefDureeIncrust = 7;
        prefAutoIncrust = true;
        prefAutoFontSize = false;
        prefSendTo = false;
        prefDecalageHoraire = -5;
    }
    QString applications() const { return bureau.donnees() + "/applications/Korvan.desktop"; }

    BureauTemporaire bureau;
};

} // namespace

TEST_F(ControlesOptionsTest, FillFollowsTheFixedOrder)
{
    ControlesMemoire ui;
    RemplirPanneauOptions(ui);
    const QString h = bureau.home();
    const QStringList attendu = {
        "texte edDossierOuvrir " + h + "/ouvrir/",
        "depart edDossierOuvrir " + h + "/ouvrir/",
        "texte edDossierAuto " + h + "/auto/",
        "depart edDossierAuto " + h + "/auto/",
        "texte edDossierPlayList " + h + "/listes/",
        "cocher cbPrefsQuittant 1",
        "cocher cbSelection 1",
        "cocher cbListe 0",
        "cocher cbsameFolder 0",
        "activer edDossierSave 1",
        "texte edDossierSave " + h + "/sortie/",
        "texte feFichierStillex /opt/stillex/Stillex.exe",
        "valeur rgStandard 1",
        "texte edAjouter yyyy-mm-dd",
        "texte edAfficher dd mmmm yyyy",
        "texte edRenommer yyyymmdd",
        "texte edRacine Vacances_",
        "texte edDureeIncrust 7",
        "cocher cbAutoIncrust 1",
        // The box changed state: its handler ran as a click's would.
        "activer edDureeIncrust 1",
        "apercu IncrustAuto 7",
        "activer edDureeIncrust 1",
        "cocher cbAutoFontSize 0",
        "cocher cbSendTo 0",
        "valeur RxSpinEdit1 -5",
    };
    EXPECT_EQ(ui.trace, attendu);
    // The box left as it was ran no handler: nothing changed the settings.
    EXPECT_TRUE(prefSauverPrefsEnQuittant);
    EXPECT_FALSE(prefMemeDossier);
    EXPECT_EQ(prefDureeIncrust, 7);
}

TEST_F(ControlesOptionsTest, AMissingSaveFolderSendsConversionsBesideTheirSourcesUntilCollected)
{
    ASSERT_TRUE(QDir(prefDossierSave).removeRecursively());
    ControlesMemoire ui;
    RemplirPanneauOptions(ui);
    EXPECT_TRUE(prefMemeDossier);               // the running program
    EXPECT_FALSE(ui.coche(C::cbsameFolder));    // the stored choice
    EXPECT_TRUE(ui.actifs[C::edDossierSave]);   // enabled from the stored choice
    EXPECT_EQ(ui.texte(C::edDossierSave), prefDossierSave);
    RecueillirPanneauOptions(ui);
    EXPECT_FALSE(prefMemeDossier);              // the next save writes the choice back

    // An existing folder changes nothing; a file is no folder.
    for (const bool fichier : {false, true}) {
        SCOPED_TRACE(fichier);
        prefMemeDossier = false;
        prefDossierSave = bureau.home() + (fichier ? "/fichier" : "/ici/");
        if (fichier)
            ASSERT_TRUE(ecrireFichier(prefDossierSave, "x"));
        else
            ASSERT_TRUE(QDir().mkpath(prefDossierSave));
        ControlesMemoire autre;
        RemplirPanneauOptions(autre);
        EXPECT_EQ(prefMemeDossier, fichier);
    }
}

TEST_F(ControlesOptionsTest, EachHandlerSetsItsSettingAndWhatFollowsIt)
{
    const QString docs = avecSeparateurFinal(DossierPersonnel());
    struct Cas {
        const char* nom;
        ControleOptions controle;
        std::function<void(ControlesMemoire&)> saisir; // the box as the user leaves it
        std::function<bool()> reglage;                 // the setting afterwards
        QStringList suite;                             // calls made by the handler
    };
    const Cas cas[] = {
        {"quit box cleared", C::cbPrefsQuittant, [](auto& ui) { ui.cases[C::cbPrefsQuittant] = false; },
         [] { return !prefSauverPrefsEnQuittant; }, {}},
        {"same folder ticked", C::cbsameFolder, [](auto& ui) { ui.cases[C::cbsameFolder] = true; },
         [] { return prefMemeDossier; }, {"activer edDossierSave 0"}},
        {"same folder cleared", C::cbsameFolder, [](auto& ui) { ui.cases[C::cbsameFolder] = false; },
         [] { return !prefMemeDossier; }, {"activer edDossierSave 1"}},
        {"open folder typed", C::edDossierOuvrir, [](auto& ui) { ui.textes[C::edDossierOuvrir] = "/films/dv"; },
         [] { return prefDossierOuvrir == "/films/dv/"; }, {}},
        {"favourite folder emptied", C::edDossierAuto, [](auto& ui) { ui.textes[C::edDossierAuto] = ""; },
         [docs] { return prefDossierAuto == docs; }, {}},
        {"save folder with separator", C::edDossierSave, [](auto& ui) { ui.textes[C::edDossierSave] = "/sortie/"; },
         [] { return prefDossierSave == "/sortie/"; }, {}},
        {"add format, unchecked", C::edAjouter, [](auto& ui) { ui.textes[C::edAjouter] = "?? n'importe quoi"; },
         [] { return prefFormatAjouter == "?? n'importe quoi"; }, {}},
        {"root", C::edRacine, [](auto& ui) { ui.textes[C::edRacine] = ""; }, [] { return prefRacineRenommer.isEmpty(); }, {}},
        {"rename format", C::edRenommer, [](auto& ui) { ui.textes[C::edRenommer] = "hh"; },
         [] { return prefFormatRenommer == "hh"; }, {}},
        {"display format", C::edAfficher, [](auto& ui) { ui.textes[C::edAfficher] = "yyyy"; },
         [] { return prefFormatAfficher == "yyyy"; }, {"apercu Format 7"}},
        {"duration", C::edDureeIncrust, [](auto& ui) { ui.textes[C::edDureeIncrust] = " 12 "; },
         [] { return prefDureeIncrust == 12; }, {"apercu IncrustAuto 12"}},
        {"duration not a number", C::edDureeIncrust, [](auto& ui) { ui.textes[C::edDureeIncrust] = "dix"; },
         [] { return prefDureeIncrust == 5; }, {"texte edDureeIncrust 5", "apercu IncrustAuto 5"}},
        {"duration empty", C::edDureeIncrust, [](auto& ui) { ui.textes[C::edDureeIncrust] = ""; },
         [] { return prefDureeIncrust == 5; }, {"texte edDureeIncrust 5", "apercu IncrustAuto 5"}},
        {"auto inlay cleared", C::cbAutoIncrust,
         [](auto& ui) {
             ui.cases[C::cbAutoIncrust] = false;
             ui.textes[C::edDureeIncrust] = "9";
         },
         [] { return !prefAutoIncrust; }, {"activer edDureeIncrust 0", "apercu IncrustAuto 9"}},
        {"hour offset rounded", C::RxSpinEdit1, [](auto& ui) { ui.valeurs[C::RxSpinEdit1] = 3.6; },
         [] { return prefDecalageHoraire == 4; }, {"apercu Decalage 7"}},
        {"hour offset kept in range", C::RxSpinEdit1, [](auto& ui) { ui.valeurs[C::RxSpinEdit1] = -40; },
         [] { return prefDecalageHoraire == -23; }, {"apercu Decalage 7"}},
        {"automatic size", C::cbAutoFontSize, [](auto& ui) { ui.cases[C::cbAutoFontSize] = true; },
         [] { return prefAutoFontSize; }, {"apercu TailleAuto 7"}},
        {"font", C::sbIncrustFont, [](auto&) {}, [] { return true; }, {"apercu Police 7"}},
        // Collected only: the handler changes nothing.
        {"select at opening", C::cbSelection, [](auto& ui) { ui.cases[C::cbSelection] = false; },
         [] { return prefSelectionOuverture; }, {}},
        {"save list", C::cbListe, [](auto& ui) { ui.cases[C::cbListe] = true; }, [] { return !prefSauverListeEnQuittant; }, {}},
        {"play-list folder", C::edDossierPlayList, [](auto& ui) { ui.textes[C::edDossierPlayList] = "/ailleurs"; },
         [this] { return prefDossierPlayList == bureau.home() + "/listes/"; }, {}},
        {"Stillex", C::feFichierStillex, [](auto& ui) { ui.textes[C::feFichierStillex] = "/x"; },
         [] { return prefFichierStillex == "/opt/stillex/Stillex.exe"; }, {}},
        {"standard", C::rgStandard, [](auto& ui) { ui.valeurs[C::rgStandard] = 0; },
         [] { return prefStandard == standardNtsc; }, {}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        SetUp();
        ControlesMemoire ui;
        c.saisir(ui);
        EvenementOptions(c.controle, ui);
        EXPECT_TRUE(c.reglage());
        EXPECT_EQ(ui.trace, c.suite);
    }
}

TEST_F(ControlesOptionsTest, CollectTakesEverySettingFromItsBox)
{
    ControlesMemoire ui;
    ui.textes = {{C::edDossierOuvrir, "/o"},        {C::edDossierAuto, "/a/"},      {C::edDossierSave, "/s"},
                 {C::edDossierPlayList, ""},        {C::feFichierStillex, "/bin/stillex"},
                 {C::edAjouter, "A"},               {C::edAfficher, "B"},           {C::edRenommer, "C"},
                 {C::edRacine, "D"},                {C::edDureeIncrust, "trois"}};
    ui.cases = {{C::cbPrefsQuittant, false}, {C::cbSelection, false}, {C::cbListe, true},      {C::cbsameFolder, true},
                {C::cbAutoFontSize, true},   {C::cbAutoIncrust, false}, {C::cbSendTo, true}};
    ui.valeurs = {{C::rgStandard, 0}, {C::RxSpinEdit1, 22.5}};
    RecueillirPanneauOptions(ui);

    EXPECT_EQ(prefDossierOuvrir, "/o/");
    EXPECT_EQ(prefDossierAuto, "/a/");
    EXPECT_EQ(prefDossierSave, "/s/");
    EXPECT_EQ(prefDossierPlayList, avecSeparateurFinal(DossierPersonnel()));
    EXPECT_EQ(prefFichierStillex, "/bin/stillex");
    EXPECT_FALSE(prefSauverPrefsEnQuittant);
    EXPECT_FALSE(prefSelectionOuverture);
    EXPECT_TRUE(prefSauverListeEnQuittant);
    EXPECT_TRUE(prefMemeDossier);
    EXPECT_EQ(prefStandard, standardPal);
    EXPECT_EQ(prefFormatAjouter, "A");
    EXPECT_EQ(prefFormatAfficher, "B");
    EXPECT_EQ(prefFormatRenommer, "C");
    EXPECT_EQ(prefRacineRenommer, "D");
    EXPECT_TRUE(prefAutoFontSize);
    EXPECT_FALSE(prefAutoIncrust);
    EXPECT_EQ(prefDureeIncrust, 5); // what leaving the box would have given
    EXPECT_EQ(prefDecalageHoraire, 23);
    EXPECT_TRUE(prefSendTo);
    // Collecting reads the boxes only.
    EXPECT_TRUE(ui.trace.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(applications()));
}

TEST_F(ControlesOptionsTest, FillThenCollectGivesTheSettingsBack)
{
    ControlesMemoire ui;
    RemplirPanneauOptions(ui);
    const QString avant = prefDossierOuvrir + prefDossierAuto + prefDossierSave + prefDossierPlayList + prefFichierStillex
                          + prefFormatAjouter + prefFormatAfficher + prefFormatRenommer + prefRacineRenommer;
    const auto drapeaux = std::tuple(prefSauverPrefsEnQuittant, prefSelectionOuverture, prefSauverListeEnQuittant,
                                     prefMemeDossier, prefStandard, prefAutoFontSize, prefAutoIncrust, prefDureeIncrust,
                                     prefDecalageHoraire, prefSendTo);
    RecueillirPanneauOptions(ui);
    EXPECT_EQ(prefDossierOuvrir + prefDossierAuto + prefDossierSave + prefDossierPlayList + prefFichierStillex
                  + prefFormatAjouter + prefFormatAfficher + prefFormatRenommer + prefRacineRenommer,
              avant);
    EXPECT_EQ(std::tuple(prefSauverPrefsEnQuittant, prefSelectionOuverture, prefSauverListeEnQuittant, prefMemeDossier,
                         prefStandard, prefAutoFontSize, prefAutoIncrust, prefDureeIncrust, prefDecalageHoraire, prefSendTo),
              drapeaux);
}

TEST_F(ControlesOptionsTest, SendToBoxCreatesAndRemovesTheEntryAtOnce)
{
    ControlesMemoire ui;
    ui.cocher(C::cbSendTo, true);
    EXPECT_TRUE(prefSendTo);
    ASSERT_TRUE(QFileInfo(applications()).isFile());
    verifierEntreeValide(applications());
    ui.cocher(C::cbSendTo, false);
    EXPECT_FALSE(prefSendTo);
    EXPECT_FALSE(QFileInfo::exists(applications()));
}

TEST_F(ControlesOptionsTest, EveryFillMakesTheEntryFollowTheSetting)
{
    // An entry deleted by hand comes back while the setting is on, even with
    // the box already ticked.
    for (const bool dejaCochee : {false, true}) {
        SCOPED_TRACE(dejaCochee);
        QFile::remove(applications());
        prefSendTo = true;
        ControlesMemoire ui;
        ui.cases[C::cbSendTo] = dejaCochee;
        RemplirPanneauOptions(ui);
        EXPECT_TRUE(QFileInfo(applications()).isFile());
    }
    // And goes away when it is off.
    prefSendTo = false;
    ControlesMemoire ui;
    ui.cases[C::cbSendTo] = false;
    RemplirPanneauOptions(ui);
    EXPECT_FALSE(QFileInfo::exists(applications()));
}

TEST_F(ControlesOptionsTest, EraseUnticksTheQuitBoxWhateverTheAnswer)
{
    const MagasinPreferences magasin(bureau.config());
    for (const ReponseMessage reponse : {ReponseMessage::Non, ReponseMessage::Oui}) {
        SCOPED_TRACE(int(reponse));
        SauverPreferences(magasin, EnTeteSauvegarde::courante());
        ASSERT_TRUE(magasin.existe("Korvan"));
        ControlesMemoire ui;
        ui.cases[C::cbPrefsQuittant] = true;
        prefSauverPrefsEnQuittant = true;
        BoiteScriptee boite{reponse};
        EffacerPreferencesOptions(ui, boite);
        EXPECT_FALSE(ui.coche(C::cbPrefsQuittant));
        EXPECT_FALSE(prefSauverPrefsEnQuittant);
        ASSERT_FALSE(boite.questions.empty());
        EXPECT_TRUE(boite.questions.front().texte.startsWith("Voulez-vous vraiment effacer les Préférences de Korvan"));
        EXPECT_EQ(magasin.existe("Korvan"), reponse == ReponseMessage::Non);
    }
}

TEST(ControlesOptions, BoxRules)
{
    const struct {
        QString texte;
        int duree;
    } durees[] = {{"5", 5}, {"0", 0}, {"  30 ", 30}, {"-2", -2}, {"2.5", 5}, {"1e3", 5}, {"", 5}, {"12a", 5}};
    for (const auto& d : durees)
        EXPECT_EQ(dureeSaisie(d.texte), d.duree) << d.texte.toStdString();
    const struct {
        double valeur;
        int heures;
    } decalages[] = {{0, 0}, {2.4, 2}, {2.5, 3}, {-2.5, -3}, {23, 23}, {23.4, 23}, {24, 23}, {-100, -23}, {std::nan(""), 0}};
    for (const auto& d : decalages)
        EXPECT_EQ(decalageSaisi(d.valeur), d.heures) << d.valeur;
    EXPECT_EQ(dossierSaisi("/a"), "/a/");
    EXPECT_EQ(dossierSaisi("/a/"), "/a/");
    EXPECT_EQ(dossierSaisi(" /a b "), " /a b /");
}

TEST(ControlesOptions, StartUpStepsSeparatorsAndCaptions)
{
    prefDossierOuvrir = "/o";
    prefDossierAuto = "/a/";
    prefDossierSave = "/s";
    prefDossierPlayList = "/p";
    AjouterSeparateursDossiers();
    EXPECT_EQ(QStringList({prefDossierOuvrir, prefDossierAuto, prefDossierSave, prefDossierPlayList}),
              QStringList({"/o/", "/a/", "/s/", "/p/"}));
    // Loading comes first and filling the panel last; the window's place
    // before the folders, the sliders' place before they are shown.
    const auto etapes = etapesAppliquerPreferences();
    ASSERT_EQ(etapes.size(), 8u);
    EXPECT_EQ(etapes.front(), EtapeAppliquer::Charger);
    EXPECT_EQ(etapes.back(), EtapeAppliquer::RemplirPanneau);
    const auto recueil = etapesRecueillirPreferences();
    EXPECT_EQ(recueil.front(), EtapeRecueillir::Panneau);
    EXPECT_EQ(recueil.back(), EtapeRecueillir::Sauver);
    // Every bound control has its own name, found again from it.
    QStringList noms;
    for (const DescripteurControle& d : descripteursOptions()) {
        EXPECT_EQ(&descripteur(d.controle), &d);
        noms << QString::fromLatin1(d.nom);
    }
    noms.removeDuplicates();
    EXPECT_EQ(noms.size(), qsizetype(descripteursOptions().size()));
}
