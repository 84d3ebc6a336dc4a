#include "commands/executeur.h"

#include "platform/etat_programme.h"
#include "commands/chmodule.h"
#include "commands/registre_commandes.h"
#include "doubles_fenetre.h"
#include "liste_memoire.h"
#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace korvan;
using namespace korvan::test;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// A conversion whose position the test moves.
struct PositionEssai : ISuiviPosition {
    int64_t position = 0;
    bool lever = false;
    int64_t positionCourante() const override
    {
        if (lever)
            throw std::runtime_error("graph gone");
        return position;
    }
};

void remettreEtat()
{
    abandonDemande = false;
    abandonTout = false;
    sansConfirmation = false;
    conversionTerminee = false;
    progressionConversion = nullptr;
    dureeConversion = 0;
    registreCommandes.clear();
}

class Executeur : public ::testing::Test {
protected:
    Executeur() : liste(contexteSansSonde()), x(liste, liste, boite, progression, apercu)
    {
        remettreEtat();
        for (const char* nom : {"a.avi", "b.avi", "c.avi", "d.avi", "e.avi"})
            creer(nom);
        for (const char* nom : {"a.avi", "b.avi", "c.avi", "d.avi", "e.avi"})
            liste.AjouterFichier(chemin(nom));
        liste.toutSelectionner(false);
        liste.journal.clear();
        x.pomper = [this](bool attendre) {
            ++pompages;
            if (surPompage)
                surPompage(attendre);
        };
        commande.Name = QStringLiteral("Essai");
        commande.OnConfirmation = [](TParam&, const TAfficherFichier* f, QString& msg) {
            msg = QStringLiteral("Traiter ") + (f ? f->nom : QStringLiteral("rien")) + QStringLiteral(" ?");
        };
        commande.OnExecution = [this](TParam&, const TAfficherFichier* f, QString&, TchUpdateType&) {
            traites << (f ? f->nom : QStringLiteral("(aucune)"));
        };
    }
    ~Executeur() override { remettreEtat(); }

    static ContexteEntree contexteSansSonde()
    {
        ContexteEntree c;
        c.sonde = [](const QString&, TResultatSonde&) { return false; };
        return c;
    }
    QString chemin(const QString& nom) const { return q(dir.path(nom.toStdString())); }
    void creer(const QString& nom) { writeWholeFile(dir.path(nom.toStdString()), "x"); }
    // Selects the lines of these names and focuses the first.
    void selectionner(std::initializer_list<const char*> noms)
    {
        liste.toutSelectionner(false);
        bool premier = true;
        for (const char* nom : noms) {
            const int i = liste.IndexDeChemin(chemin(nom));
            liste.selectionner(i, true);
            if (premier)
                liste.definirFocus(i);
            premier = false;
        }
        liste.MajStatut();
        liste.journal.clear();
    }

    ScratchDir dir;
    ListeMemoire liste;
    BoiteScriptee boite;
    ProgressionMemoire progression;
    ApercuMemoire apercu;
    ExecuteurCommandes x;
    tFileAction commande;
    QStringList traites;
    int pompages = 0;
    std::function<void(bool)> surPompage;
};

TEST_F(Executeur, WithoutSelectionNoRunnerDoesAnything)
{
    AjouterCommande(&commande);
    x.ExecuterSurSelection(&commande);
    x.ExecuterLongSurSelection(&commande);
    x.ExecuterSurCourante(&commande);
    x.ExecuterAction(QStringLiteral("amEssai"), QStringLiteral("multi"));
    x.ExecuterAction(QStringLiteral("amEssai"), QStringLiteral("mono"));
    x.ExecuterSurSelection(nullptr);
    EXPECT_TRUE(traites.isEmpty());
    EXPECT_TRUE(boite.questions.empty());
    EXPECT_TRUE(liste.journal.isEmpty());
    EXPECT_EQ(apercu.liberations, 0);

    // Commands of the categories that add files run even on an empty selection.
    boite.reponses = {ReponseMessage::Oui};
    x.ExecuterAction(QStringLiteral("amEssai"), QStringLiteral("vide"));
    EXPECT_EQ(traites, QStringList{"a.avi"}); // the focused line's entry, selected or not
    ListeMemoire vide(contexteSansSonde());
    ExecuteurCommandes surVide(vide, vide, boite, progression, apercu);
    boite.reponses = {ReponseMessage::Oui};
    surVide.ExecuterAction(QStringLiteral("amEssai"), QStringLiteral("permanent"));
    EXPECT_EQ(traites.last(), "(aucune)");
    EXPECT_EQ(boite.questions.back().texte, "Traiter rien ?");
}

TEST_F(Executeur, OneEntryAsksYesNoWithoutTheAllLine)
{
    selectionner({"c.avi"});
    boite.reponses = {ReponseMessage::Oui};
    x.ExecuterSurSelection(&commande);
    ASSERT_EQ(boite.questions.size(), 1u);
    EXPECT_EQ(boite.questions[0].genre, GenreMessage::Avertissement);
    EXPECT_EQ(boite.questions[0].boutons, BoutonsMessage::OuiNon);
    EXPECT_EQ(boite.questions[0].texte, "Traiter c.avi ?");
    EXPECT_EQ(traites, QStringList{"c.avi"});

    // The long runner asks the same way for one entry.
    boite.reponses = {ReponseMessage::Non};
    selectionner({"c.avi"});
    x.ExecuterLongSurSelection(&commande);
    EXPECT_EQ(boite.questions[1].boutons, BoutonsMessage::OuiNon);
    EXPECT_EQ(traites.size(), 1);
}

TEST_F(Executeur, SeveralEntriesAskWithFourButtonsAndTheAllLine)
{
    selectionner({"a.avi", "d.avi"});
    boite.reponses = {ReponseMessage::Non, ReponseMessage::Oui};
    x.ExecuterSurSelection(&commande);
    ASSERT_EQ(boite.questions.size(), 2u);
    for (const auto& question : boite.questions)
        EXPECT_EQ(question.boutons, BoutonsMessage::OuiNonAnnulerTous);
    EXPECT_EQ(boite.questions[0].texte,
              "Traiter a.avi ?\r\nSi vous répondez \"Tous\", alors plus aucune confirmation ne sera demandée.");
    EXPECT_EQ(traites, QStringList{"d.avi"});
    // Refused and treated entries alike are selected again.
    EXPECT_EQ(liste.nomsSelectionnes(), (QStringList{"a.avi", "d.avi"}));
}

TEST_F(Executeur, AllOnTheFirstEntryTreatsTheRestUnaskedAndOnlyForThisRun)
{
    liste.toutSelectionner();
    boite.reponses = {ReponseMessage::Tous};
    x.ExecuterSurSelection(&commande);
    EXPECT_EQ(boite.questions.size(), 1u);
    EXPECT_EQ(traites, (QStringList{"a.avi", "b.avi", "c.avi", "d.avi", "e.avi"}));

    liste.toutSelectionner();
    boite.reponses = {ReponseMessage::Annuler};
    x.ExecuterSurSelection(&commande);
    EXPECT_EQ(boite.questions.size(), 2u);
    EXPECT_EQ(traites.size(), 5);
}

TEST_F(Executeur, CancelOnTheThirdOfFiveLeavesTheLastTwoUnselected)
{
    liste.toutSelectionner();
    boite.reponses = {ReponseMessage::Oui, ReponseMessage::Oui, ReponseMessage::Annuler};
    x.ExecuterSurSelection(&commande);
    EXPECT_EQ(traites, (QStringList{"a.avi", "b.avi"}));
    EXPECT_EQ(liste.nomsSelectionnes(), (QStringList{"a.avi", "b.avi", "c.avi"}));
    EXPECT_TRUE(liste.listeActive());
    EXPECT_EQ(liste.journal.first(), "activerListe(0)");
    EXPECT_TRUE(liste.journal.contains("activerListe(1)"));
    EXPECT_EQ(liste.journal.filter("SelectionChangee").size(), 1);
    EXPECT_EQ(liste.nomCourant(), "c.avi");
}

TEST_F(Executeur, ClosingTheFourButtonBoxEndsTheRunLikeCancel)
{
    selectionner({"a.avi", "b.avi"});
    boite.reponses = {}; // closed without an answer
    x.ExecuterSurSelection(&commande);
    EXPECT_TRUE(traites.isEmpty());
    EXPECT_EQ(boite.questions.size(), 1u);
}

TEST_F(Executeur, EmptyQuestionTreatsWithoutABox)
{
    commande.OnConfirmation = [](TParam&, const TAfficherFichier*, QString& msg) { msg.clear(); };
    liste.toutSelectionner();
    x.ExecuterSurSelection(&commande);
    EXPECT_TRUE(boite.questions.empty());
    EXPECT_EQ(traites.size(), 5);
}

TEST_F(Executeur, FileConditionSkipsEntriesSilently)
{
    commande.OnFileCondition = [](TParam&, const TAfficherFichier* f, bool& visible, bool& enabled) {
        visible = true;
        enabled = f->nom != u"b.avi" && f->nom != u"d.avi";
    };
    liste.toutSelectionner();
    boite.reponses = {ReponseMessage::Oui, ReponseMessage::Oui, ReponseMessage::Oui};
    x.ExecuterSurSelection(&commande);
    EXPECT_EQ(traites, (QStringList{"a.avi", "c.avi", "e.avi"}));
    ASSERT_EQ(boite.questions.size(), 3u);
    EXPECT_TRUE(boite.questions[1].texte.startsWith("Traiter c.avi ?"));
    EXPECT_EQ(liste.nomsSelectionnes().size(), 5);

    // Without a condition every entry is treated.
    commande.OnFileCondition = nullptr;
    liste.toutSelectionner();
    boite.reponses = {ReponseMessage::Tous};
    x.ExecuterSurSelection(&commande);
    EXPECT_EQ(traites.size(), 8);
}

TEST_F(Executeur, NoQuestionsWhileCommandLineRunsOrWithoutConfirmationHandler)
{
    sansConfirmation = true;
    liste.toutSelectionner();
    x.ExecuterSurSelection(&commande);
    selectionner({"b.avi"});
    x.ExecuterSurCourante(&commande);
    EXPECT_TRUE(boite.questions.empty());
    EXPECT_EQ(traites.size(), 6);

    sansConfirmation = false;
    commande.OnConfirmation = nullptr;
    liste.toutSelectionner();
    x.ExecuterSurSelection(&commande);
    EXPECT_TRUE(boite.questions.empty());
    EXPECT_EQ(traites.size(), 11);
}

TEST_F(Executeur, EscBetweenEntriesEndsTheRun)
{
    liste.toutSelectionner();
    boite.reponses = {ReponseMessage::Tous};
    // Esc arrives while the second entry is brought forward.
    surPompage = [this](bool) {
        if (pompages == 2)
            abandonDemande = true;
    };
    x.ExecuterSurSelection(&commande);
    EXPECT_EQ(traites, QStringList{"a.avi"});
    EXPECT_EQ(liste.nomsSelectionnes(), (QStringList{"a.avi", "b.avi"}));
    EXPECT_FALSE(abandonDemande); // ExecuterSurSelection clears it at the end

    // The long runner leaves Esc to the idle handler.
    liste.toutSelectionner();
    boite.reponses = {ReponseMessage::Tous};
    pompages = 0;
    x.ExecuterLongSurSelection(&commande);
    EXPECT_EQ(traites, (QStringList{"a.avi", "a.avi"}));
    EXPECT_TRUE(abandonDemande);
    EXPECT_FALSE(abandonTout);
}

class ExecuteurLong : public Executeur {
protected:
    ExecuteurLong()
    {
        // A conversion-like command: it waits for its graph, whose position
        // moves 100 units per tick of the progress timer.
        commande.setMonoMessage(QStringLiteral("En train de convertir \"%s\""));
        commande.OnExecution = [this](TParam&, const TAfficherFichier* f, QString&, TchUpdateType&) {
            enCours = f->nom;
            graphe.position = 0;
            dureeConversion = 1000;
            conversionTerminee = false;
            progressionConversion = &graphe;
            x.attendreFinConversion();
            progressionConversion = nullptr;
            finales[f->nom] = graphe.position;
        };
        x.arreterConversion = [this] { arrets << enCours; };
        surPompage = [this](bool attendre) {
            if (!attendre)
                return;
            graphe.position += 100;
            if (touche && enCours == touche->first && graphe.position == 300)
                touche->second();
            x.convertTimerTimer();
        };
        liste.toutSelectionner();
        boite.reponses = {ReponseMessage::Tous};
    }

    PositionEssai graphe;
    QString enCours;
    QStringList arrets;
    std::map<QString, int64_t> finales;
    std::optional<std::pair<QString, std::function<void()>>> touche;
};

TEST_F(ExecuteurLong, EscDuringAnEntryStopsThatEntryOnly)
{
    touche = {QStringLiteral("b.avi"), [] { abandonDemande = true; }};
    x.ExecuterLongSurSelection(&commande);
    EXPECT_EQ(arrets, QStringList{"b.avi"});
    EXPECT_EQ(finales["a.avi"], 1000);
    EXPECT_EQ(finales["b.avi"], 300);
    EXPECT_EQ(finales["e.avi"], 1000);
    EXPECT_EQ(progression.statuts.last(), "En train de convertir \"e.avi\"");
    EXPECT_EQ(progression.jauge, 100);
}

TEST_F(ExecuteurLong, ShiftEscStopsTheEntryAndEndsTheRunAfterIt)
{
    touche = {QStringLiteral("b.avi"), [] {
                  abandonDemande = true;
                  abandonTout = true;
              }};
    x.ExecuterLongSurSelection(&commande);
    EXPECT_EQ(arrets, QStringList{"b.avi"});
    EXPECT_EQ(finales.size(), 2u);
    EXPECT_EQ(liste.nomsSelectionnes(), (QStringList{"a.avi", "b.avi"}));
    EXPECT_FALSE(abandonTout);
    EXPECT_TRUE(liste.listeActive());
    EXPECT_FALSE(liste.actionsListeEtMultiDesactivees());
}

TEST_F(ExecuteurLong, ListAndMultiActionsAreOffOnlyDuringTheRun)
{
    bool pendant = false;
    bool listePendant = true;
    touche = {QStringLiteral("c.avi"), [&] {
                  pendant = liste.actionsListeEtMultiDesactivees();
                  listePendant = liste.listeActive();
              }};
    x.ExecuterLongSurSelection(&commande);
    EXPECT_TRUE(pendant);
    EXPECT_FALSE(listePendant);
    EXPECT_FALSE(liste.actionsListeEtMultiDesactivees());
    // Each entry is shown in the info panel as it comes.
    EXPECT_GE(liste.journal.filter("SelectionChangee").size(), 6);
}

TEST_F(Executeur, RenamingTheCurrentEntryKeepsItCurrentAtItsSortedPlace)
{
    commande.OnConfirmation = nullptr;
    commande.OnExecution = [this](TParam&, const TAfficherFichier* f, QString& nouveau, TchUpdateType& update) {
        nouveau = chemin(QStringLiteral("z_") + f->nom);
        if (QFile::rename(f->chemin, nouveau))
            update = utRename;
    };
    selectionner({"b.avi"});
    x.ExecuterSurSelection(&commande);
    EXPECT_EQ(liste.noms(), (QStringList{"a.avi", "c.avi", "d.avi", "e.avi", "z_b.avi"}));
    EXPECT_EQ(liste.nomCourant(), "z_b.avi");
    EXPECT_EQ(liste.ligneFocus(), 4);
    EXPECT_EQ(liste.nomsSelectionnes(), QStringList{"z_b.avi"});

    // In a run over several entries the later ones are still found after the move.
    selectionner({"a.avi", "c.avi"});
    x.ExecuterSurSelection(&commande);
    EXPECT_EQ(liste.noms(), (QStringList{"d.avi", "e.avi", "z_a.avi", "z_b.avi", "z_c.avi"}));
    EXPECT_EQ(liste.nomsSelectionnes(), (QStringList{"z_a.avi", "z_c.avi"}));
    EXPECT_EQ(liste.nomCourant(), "z_c.avi");
}

TEST_F(Executeur, OutputOverAnotherSelectedEntryReplacesItAndTheRunSkipsIt)
{
    commande.OnConfirmation = nullptr;
    commande.OnExecution = [this](TParam&, const TAfficherFichier* f, QString& nouveau, TchUpdateType& update) {
        traites << f->nom;
        if (f->nom == u"a.avi") {
            nouveau = chemin(QStringLiteral("c.avi"));
            writeWholeFile(nouveau.toStdString(), "converted");
            update = utAdd;
        }
    };
    const EntreePtr ancienC = liste.entree(2);
    selectionner({"a.avi", "b.avi", "c.avi"});
    x.ExecuterSurSelection(&commande);
    EXPECT_EQ(traites, (QStringList{"a.avi", "b.avi"}));
    EXPECT_EQ(liste.noms(), (QStringList{"a.avi", "b.avi", "c.avi", "d.avi", "e.avi"}));
    const int c = liste.IndexDeChemin(chemin("c.avi"));
    EXPECT_NE(liste.entree(c), ancienC);
    EXPECT_EQ(liste.entree(c)->taille(), 9);
}

TEST_F(Executeur, UpdatesOfAnEntryNoLongerListedDoNothing)
{
    const EntreePtr b = liste.entree(1);
    liste.RetirerEntree(1);
    for (TchUpdateType u : {utDelete, utModify, utRename}) {
        commande.OnExecution = [u](TParam&, const TAfficherFichier*, QString& n, TchUpdateType& update) {
            n = QStringLiteral("/nowhere.avi");
            update = u;
        };
        x.ExecuterSurFichier(commande, b);
        EXPECT_EQ(liste.noms(), (QStringList{"a.avi", "c.avi", "d.avi", "e.avi"}));
    }
    // Delete and modify act at the entry's line.
    commande.OnExecution = [](TParam&, const TAfficherFichier*, QString&, TchUpdateType& update) {
        update = utDelete;
    };
    x.ExecuterSurFichier(commande, liste.entree(2));
    EXPECT_EQ(liste.noms(), (QStringList{"a.avi", "c.avi", "e.avi"}));
    const EntreePtr avant = liste.entree(1);
    commande.OnExecution = [](TParam&, const TAfficherFichier*, QString&, TchUpdateType& update) {
        update = utModify;
    };
    x.ExecuterSurFichier(commande, avant);
    EXPECT_NE(liste.entree(1), avant);
    EXPECT_EQ(liste.entree(1)->chemin, avant->chemin);
}

TEST_F(Executeur, ExecutionGetsACopyOfTheParameterRecord)
{
    commande.Param.definirNom(QStringLiteral("original"));
    commande.Param.Taille = 12;
    commande.OnExecution = [this](TParam& p, const TAfficherFichier*, QString&, TchUpdateType&) {
        traites << p.nom();
        p.definirNom(QStringLiteral("changé"));
        p.Taille = 0;
    };
    x.ExecuterSurFichier(commande, liste.entree(0));
    EXPECT_EQ(traites, QStringList{"original"});
    EXPECT_EQ(commande.Param.nom(), "original");
    EXPECT_EQ(commande.Param.Taille, 12);
}

TEST_F(Executeur, ModelLendsTheSceneExecutionToScenesText)
{
    Tch module;
    module.TextesCommandes();
    // The scene run stand-in: what it writes depends on the record it is given.
    module.CreerScenes.OnExecution = [this](TParam& p, const TAfficherFichier* f, QString&, TchUpdateType&) {
        traites << p.nom() + QStringLiteral(":") + f->nom;
    };
    EnregistrerCommandes(module);
    ASSERT_FALSE(module.ScenesText.OnExecution);
    ASSERT_TRUE(AppliquerModele(module.ScenesText));
    ASSERT_TRUE(module.ScenesText.OnExecution);

    selectionner({"a.avi", "b.avi"});
    sansConfirmation = true;
    x.ExecuterLongSurSelection(&module.ScenesText);
    x.ExecuterAction(QStringLiteral("amCreerScenes"), QStringLiteral("multi"));
    EXPECT_EQ(traites, (QStringList{"ScenesText:a.avi", "ScenesText:b.avi", "CreerScenes:a.avi",
                                    "CreerScenes:b.avi"}));
    EXPECT_TRUE(progression.statuts.contains("En train d'exporter la liste des scènes de \"b.avi\" en texte"));
}

TEST_F(Executeur, SingleEntryRunAlwaysEndsWithStatusCommandsAndClearedFlags)
{
    selectionner({"d.avi"});
    abandonDemande = true;
    abandonTout = true;
    boite.reponses = {ReponseMessage::Non};
    x.ExecuterSurCourante(&commande);
    EXPECT_TRUE(traites.isEmpty());
    EXPECT_EQ(liste.journal, (QStringList{"MajStatut", "MajCommandes"}));
    EXPECT_FALSE(abandonDemande);
    EXPECT_FALSE(abandonTout);

    boite.reponses = {ReponseMessage::Oui};
    x.ExecuterSurCourante(&commande);
    EXPECT_EQ(traites, QStringList{"d.avi"});
}

TEST_F(Executeur, ProgressIsShownAroundEachExecution)
{
    commande.setMonoMessage(QStringLiteral("En train de traiter \"%s\""));
    commande.OnConfirmation = nullptr;
    bool timerActif = false;
    int intervalle = 0;
    bool curseur = true;
    bool jauge = false;
    commande.OnExecution = [&](TParam&, const TAfficherFichier*, QString&, TchUpdateType&) {
        timerActif = x.convertTimer().isActive();
        intervalle = x.convertTimer().interval();
        curseur = progression.curseurVisible;
        jauge = progression.jaugeVisible;
    };
    selectionner({"b.avi"});
    x.ExecuterSurCourante(&commande);
    EXPECT_TRUE(timerActif);
    EXPECT_EQ(intervalle, 250);
    EXPECT_FALSE(curseur);
    EXPECT_TRUE(jauge);
    EXPECT_EQ(progression.jauges, std::vector<int>{0});
    EXPECT_EQ(progression.statuts, QStringList{"En train de traiter \"b.avi\""});
    EXPECT_FALSE(x.convertTimer().isActive());
    EXPECT_TRUE(progression.curseurVisible);
    EXPECT_FALSE(progression.jaugeVisible);

    // Without a status text there is neither text nor gauge.
    commande.setMonoMessage({});
    x.ExecuterSurCourante(&commande);
    EXPECT_EQ(progression.statuts.size(), 1);
    EXPECT_FALSE(timerActif);
}

TEST_F(Executeur, TimerTickFollowsTheConversion)
{
    PositionEssai graphe;
    int arrets = 0;
    x.arreterConversion = [&] { ++arrets; };

    // Nothing running: no gauge, the period stays.
    x.convertTimerTimer();
    EXPECT_TRUE(progression.jauges.empty());
    EXPECT_EQ(x.convertTimer().interval(), 250);

    progressionConversion = &graphe;
    dureeConversion = 0; // duration unknown: no gauge, but the timer keeps running
    x.convertTimerTimer();
    EXPECT_TRUE(progression.jauges.empty());
    EXPECT_TRUE(x.convertTimer().isActive());
    EXPECT_EQ(x.convertTimer().interval(), 100);

    dureeConversion = 4'000'000'000'000LL; // 400 000 s in 100 ns units
    graphe.position = 1'000'000'000'000LL;
    x.convertTimerTimer();
    EXPECT_EQ(progression.jauge, 25);
    EXPECT_FALSE(conversionTerminee);
    graphe.position = 4'000'000'000'001LL;
    x.convertTimerTimer();
    EXPECT_EQ(progression.jauge, 100);
    EXPECT_TRUE(conversionTerminee);
    EXPECT_EQ(arrets, 0);

    // Esc stops the graph; an error in the tick is forgotten.
    conversionTerminee = false;
    abandonDemande = true;
    graphe.lever = true;
    EXPECT_NO_THROW(x.convertTimerTimer());
    EXPECT_TRUE(conversionTerminee);
    EXPECT_EQ(arrets, 1);
}

TEST_F(Executeur, WaitEndsOnEscEvenBetweenTwoTicks)
{
    int arrets = 0;
    x.arreterConversion = [&] { ++arrets; };
    surPompage = [](bool) { abandonDemande = true; };
    x.attendreFinConversion();
    EXPECT_EQ(pompages, 1);
    EXPECT_EQ(arrets, 1);
    EXPECT_TRUE(conversionTerminee);
    EXPECT_FALSE(x.convertTimer().isActive());
}

TEST_F(Executeur, ActionRunnerFollowsTheCategory)
{
    AjouterCommande(&commande);
    selectionner({"a.avi", "b.avi", "c.avi"});
    liste.definirFocus(1);
    liste.MajStatut();

    x.ExecuterAction(QStringLiteral("amEssai"), QStringLiteral("liste"));
    x.ExecuterAction(QStringLiteral("afEssai"), QStringLiteral("multi")); // not a command action
    EXPECT_TRUE(boite.questions.empty());

    // "mono": the current entry only, Yes/No.
    boite.reponses = {ReponseMessage::Oui};
    x.ExecuterAction(QStringLiteral("AMESSAI"), QStringLiteral("mono"));
    EXPECT_EQ(traites, QStringList{"b.avi"});
    EXPECT_EQ(boite.questions.back().boutons, BoutonsMessage::OuiNon);
    EXPECT_EQ(liste.journal.last(), "MajCommandes"); // through SelectionChangee
    EXPECT_EQ(apercu.liberations, 0);

    // "multi" over three entries: four buttons, the preview lets its file go meanwhile.
    selectionner({"a.avi", "b.avi", "c.avi"});
    bool libere = false;
    commande.OnExecution = [&](TParam&, const TAfficherFichier* f, QString&, TchUpdateType&) {
        libere = apercu.libere();
        traites << f->nom;
    };
    boite.reponses = {ReponseMessage::Oui, ReponseMessage::Tous};
    x.ExecuterAction(QStringLiteral("pmEssai"), QStringLiteral("Multi"));
    EXPECT_EQ(traites, (QStringList{"b.avi", "a.avi", "b.avi", "c.avi"}));
    EXPECT_EQ(boite.questions.back().boutons, BoutonsMessage::OuiNonAnnulerTous);
    EXPECT_TRUE(libere);
    EXPECT_FALSE(apercu.libere());
    EXPECT_EQ(pompages, 3);
}

TEST_F(Executeur, AHandlerErrorStillClosesTheRun)
{
    commande.OnConfirmation = nullptr;
    commande.setMonoMessage(QStringLiteral("%s"));
    commande.OnExecution = [this](TParam&, const TAfficherFichier* f, QString&, TchUpdateType&) {
        traites << f->nom;
        if (f->nom == u"b.avi")
            throw std::runtime_error("plug-in failure");
    };
    liste.toutSelectionner();
    EXPECT_NO_THROW(x.ExecuterLongSurSelection(&commande));
    EXPECT_EQ(traites, (QStringList{"a.avi", "b.avi"}));
    EXPECT_TRUE(liste.listeActive());
    EXPECT_FALSE(progression.jaugeVisible);
    EXPECT_FALSE(x.convertTimer().isActive());
    EXPECT_EQ(liste.journal.last(), "MajCommandes");

    selectionner({"b.avi"});
    EXPECT_NO_THROW(x.ExecuterSurCourante(&commande));
    EXPECT_EQ(liste.journal, (QStringList{"MajStatut", "MajCommandes"}));
}

} // namespace
