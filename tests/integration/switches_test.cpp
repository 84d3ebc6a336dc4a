// The command line over the real list and runner: which arguments carry
// switches, the start-up decision, window and hidden mode, the order of the
// commands, and the switch and about-panel tables.
#include "fenetre_ligne_commande.h"
#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace korvan;
using namespace korvan::test;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

class LigneCommande : public ::testing::Test {
protected:
    // Copies of fixtures, listed under the given names when the test adds them.
    QString copie(const char* fixture, const QString& nom) { return q(dir.copyFixture(fixture, nom.toStdString())); }
    QString chemin(const QString& nom) const { return q(dir.path(nom.toStdString())); }
    bool existe(const QString& nom) const { return QFileInfo::exists(chemin(nom)); }

    // Replaces a command's execution by a recorder: "<switch-owner> <file name>" per call.
    void enregistrer(tFileAction& commande, TchUpdateType update = utNone)
    {
        const QString nom = commande.Name;
        commande.OnExecution = [this, nom, update](TParam&, const TAfficherFichier* f, QString& n, TchUpdateType& u) {
            executions << nom + u' ' + (f ? f->nom : QString());
            n = f ? f->chemin : QString();
            u = update;
        };
    }

    // Gives every command that runs nothing yet a recorder, as when every
    // command of the program is built.
    void lierToutes(FenetreEssai& g)
    {
        for (tFileAction* c : g.tch.composants())
            if (!c->OnExecution && c->Modele().isEmpty())
                enregistrer(*c);
    }

    EtatProgrammeSauve etat;
    ScratchDir dir;
    FenetreEssai f;
    QStringList executions;
};

} // namespace

TEST(ArgumentsSwitches, PrefixDotAndCase)
{
    EXPECT_TRUE(EstArgumentSwitch("+d"));
    EXPECT_TRUE(EstArgumentSwitch("+"));
    EXPECT_TRUE(EstArgumentSwitch("/hd"));
    EXPECT_TRUE(EstArgumentSwitch("/DH"));
    EXPECT_FALSE(EstArgumentSwitch("+1.avi")); // a dot anywhere: a path only
    EXPECT_FALSE(EstArgumentSwitch("+d."));
    EXPECT_FALSE(EstArgumentSwitch("d"));
    EXPECT_FALSE(EstArgumentSwitch("-d"));
    EXPECT_FALSE(EstArgumentSwitch(""));
    EXPECT_FALSE(EstArgumentSwitch(" +d")); // the first character decides

    // Switches are substrings of the lower-cased argument.
    EXPECT_TRUE(ContientSwitch("+D", "d"));
    EXPECT_TRUE(ContientSwitch("/12", "1"));
    EXPECT_TRUE(ContientSwitch("+21", "1"));
    EXPECT_TRUE(ContientSwitch("+xyz", "yz"));
    EXPECT_FALSE(ContientSwitch("+1.avi", "1"));
    EXPECT_FALSE(ContientSwitch("d", "d"));
    EXPECT_FALSE(ContientSwitch("+d", ""));
}

TEST(ArgumentsSwitches, AbsolutePathsAreNeverSwitches)
{
    // Folders and files without extension start with "/" here; their letters
    // ("e" deletes, "m" stops the questions) must not run anything.
    QTemporaryDir d;
    ASSERT_TRUE(d.isValid());
    EXPECT_FALSE(EstArgumentSwitch(d.path()));
    EXPECT_FALSE(EstArgumentSwitch("/home/me/mes films"));
    EXPECT_FALSE(EstArgumentSwitch("/tmp")); // exists
    EXPECT_FALSE(EstArgumentSwitch("/"));
    EXPECT_FALSE(ModeCacheDemande({"/home/hd"}));
    EXPECT_TRUE(ModeCacheDemande({"/hd"}));
}

TEST(ArgumentsSwitches, StartUpDecision)
{
    EXPECT_EQ(DecisionDemarrage({}), ModeLigneCommande::SansArguments);
    EXPECT_EQ(DecisionDemarrage({"clip.avi", "/1"}), ModeLigneCommande::Fenetre);
    EXPECT_EQ(DecisionDemarrage({"/hd"}), ModeLigneCommande::Cache);
    EXPECT_EQ(DecisionDemarrage({"/dh"}), ModeLigneCommande::Cache);
    EXPECT_EQ(DecisionDemarrage({"+H"}), ModeLigneCommande::Cache);
    EXPECT_EQ(DecisionDemarrage({"+d", "clip.avi", "+ch"}), ModeLigneCommande::Cache);
    EXPECT_EQ(DecisionDemarrage({"+h.avi"}), ModeLigneCommande::Fenetre);
    EXPECT_EQ(DecisionDemarrage({"h"}), ModeLigneCommande::Fenetre);
    EXPECT_EQ(DecisionDemarrage({""}), ModeLigneCommande::Fenetre);
}

TEST(ArgumentsSwitches, WindowLettersUpToTheFirstHelp)
{
    LettresFenetre l = AnalyserLettresFenetre({"+mc"});
    EXPECT_TRUE(l.sansConfirmation && l.fermer && !l.aide);
    l = AnalyserLettresFenetre({"+m", "x.avi", "+c"});
    EXPECT_TRUE(l.sansConfirmation && l.fermer && !l.aide);
    l = AnalyserLettresFenetre({"+c", "+?"});
    EXPECT_TRUE(l.aide && l.fermer);
    l = AnalyserLettresFenetre({"+?", "+c"}); // nothing after the "?" is read
    EXPECT_TRUE(l.aide && !l.fermer);
    l = AnalyserLettresFenetre({"+c?"}); // "?" is tested first
    EXPECT_TRUE(l.aide && !l.fermer);
    l = AnalyserLettresFenetre({"+m", "+?"});
    EXPECT_TRUE(l.aide && !l.sansConfirmation);
    l = AnalyserLettresFenetre({"+m.c", "c"});
    EXPECT_FALSE(l.sansConfirmation || l.fermer || l.aide);
}

TEST_F(LigneCommande, SwitchTableFollowsTheActionListAndTheUsersChoices)
{
    f.demarrer();
    QStringList paires;
    for (const PaireSwitch& p : tableSwitches) {
        paires << p.texte + u'=' + p.action;
        // A letter is available exactly when its command runs something.
        EXPECT_EQ(p.disponible, bool(CommandeDeAction(p.action)->OnExecution)) << p.action.toStdString();
        EXPECT_EQ(p.caption, f.table.chercher(p.action)->caption);
    }
    // Action-list order (the datecode before the time code), not the commands' module order.
    EXPECT_EQ(paires, QStringList({"e=amSupprimerFichier", "d=amAjouterDatecode", "t=amAjouterTimecode",
                                   "q=amPurgerNom", "b=amFileDate", "r=amRenameScAn", "1=amDVType1", "2=amDVType2",
                                   "n=amNTSC", "p=amPal", "i=amIncrusterDatecode", "g=amConvertirDV",
                                   "s=amCreerScenes", "z=amSupprimerScenes", "w=amExtraireAudio",
                                   "x=amScenesText"}));

    // A command the user switched off, or one hidden by its general condition, has no switch.
    FenetreEssai g;
    lierToutes(g);
    g.tch.Ntsc.OnGeneralCondition = [](TParam&, bool& visible) { visible = false; };
    g.demarrer({{"amAjouterDatecode", 0}, {"amFileDate", 1}});
    QStringList lettres;
    for (const PaireSwitch& p : tableSwitches) {
        lettres << p.texte;
        EXPECT_TRUE(p.disponible);
    }
    EXPECT_EQ(lettres.join(""), "etqbr12pigszwx");

    // One that runs nothing keeps its letter, refused, even when its general condition hides it.
    FenetreEssai h;
    lierToutes(h);
    h.tch.Ntsc.OnExecution = {};
    h.tch.Ntsc.OnGeneralCondition = [](TParam&, bool& visible) { visible = false; };
    h.demarrer({{"amNTSC", 1}});
    ASSERT_EQ(tableSwitches.size(), 16);
    EXPECT_EQ(tableSwitches[8], (PaireSwitch{"n", "amNTSC", false, "Convertir en NTSC"}));

    LibererSwitches();
    EXPECT_TRUE(tableSwitches.isEmpty());
}

TEST_F(LigneCommande, AboutPanelTableIsSortedWithTheFixedLetters)
{
    lierToutes(f);
    f.demarrer();
    // Whole rows are sorted: "...fichier scn= +z" comes before "...fichier= +e" (a blank before "=").
    const QList<LigneTableSwitches> lignes = LignesTableSwitches(f.table);
    QStringList fonctions;
    for (const LigneTableSwitches& l : lignes)
        fonctions << l.fonction;
    EXPECT_EQ(fonctions.join('|'), QStringList({"Aide", "Ajouter le datecode", "Ajouter le timecode", "Convertir en DV type 1",
                                      "Convertir en DV type 2", "Convertir en NTSC", "Convertir en Pal",
                                      "Créer un fichier scn", "Exporter les scènes en texte", "Extraire l'audio",
                                      "Fermer après les commandes", "Incruster le datecode", "Masquer la fenêtre",
                                      "Modifier la date du fichier", "Pas de confirmation", "Raccourcir le nom",
                                      "Recompresser en DV type 2", "Renommer", "Supprimer le fichier scn",
                                      "Supprimer le fichier"}).join('|'));
    std::map<QString, QString> touches;
    for (const LigneTableSwitches& l : lignes)
        touches[l.fonction] = l.touches;
    EXPECT_EQ(touches["Aide"], " +?");
    EXPECT_EQ(touches["Masquer la fenêtre"], " +h");
    EXPECT_EQ(touches["Supprimer le fichier"], " +e");
    EXPECT_EQ(touches["Supprimer le fichier scn"], " +z");

    // A switch whose action has no caption gets no row, nor does one that
    // is refused; the fixed rows are always there.
    tableSwitches = {{"k", "afStillex"}, {"y", "pasUneAction"}, {"1", "amDVType1", false, "Convertir en DV type 1"}};
    f.table.chercher("afStillex")->caption.clear();
    EXPECT_EQ(LignesTableSwitches(f.table).size(), 4);
}

TEST_F(LigneCommande, WindowModeTreatsEachListedEntryOnceAfterTheFiles)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString a = copie("pal_t2_43.avi", "a.avi");
    const QString b = copie("pal_t1_43.avi", "b.avi");
    const QString c = copie("pal_no_date.avi", "c.avi");
    enregistrer(f.tch.DVtype1);
    // The type 1 conversion applies to dated clips only, in this test.
    f.tch.DVtype1.OnFileCondition = [](TParam&, const TAfficherFichier* e, bool&, bool& enabled) {
        enabled = e && e->texteDatecode != "N/A";
    };
    f.tch.DVtype1.OnConfirmation = [](TParam&, const TAfficherFichier* e, QString& m) { m = "Convertir " + e->nom + " ?"; };
    f.demarrer();
    f.boite.reponses = {ReponseMessage::Non, ReponseMessage::Oui};

    const QStringList args{a, "/1", b, c};
    EXPECT_EQ(DemarrerLigneCommande(f, args), IssueDemarrage::EnAttente);
    EXPECT_TRUE(f.journal.isEmpty()); // nothing before the first paint
    LigneCommandePremierePeinture(f, args);

    EXPECT_EQ(f.journal, QStringList({"DebutOperation Chargement des fichiers", "AjouterFichier a.avi",
                                      "AjouterFichier b.avi", "AjouterFichier c.avi", "FinOperation", "MajStatut"}));
    // Datecode order: b (2002) then a (2004); c has no date and its condition is false.
    ASSERT_EQ(f.boite.questions.size(), 2u);
    EXPECT_EQ(f.boite.questions[0].texte, "Convertir b.avi ?");
    EXPECT_EQ(f.boite.questions[0].boutons, BoutonsMessage::OuiNon);
    EXPECT_EQ(f.boite.questions[1].texte, "Convertir a.avi ?");
    EXPECT_EQ(executions, QStringList({"DVtype1 a.avi"})); // "No" skipped b
    EXPECT_FALSE(sansConfirmation);
}

TEST_F(LigneCommande, HiddenModeRenamesByDatecodeWithoutQuestionsAndCloses)
{
    KORVAN_REQUIRE_FIXTURES();
    for (const char* h : {"/hd", "/dh"}) {
        SCOPED_TRACE(h);
        ScratchDir d;
        FenetreEssai g;
        g.demarrer();
        const QString a = q(d.copyFixture("pal_t2_43.avi", "a.avi"));
        const QString n = q(d.copyFixture("pal_no_date.avi", "n.avi"));
        // "c", "m" and "?" mean nothing in hidden mode.
        const QStringList args{a, h, n, "+?c"};
        EXPECT_EQ(DemarrerLigneCommande(g, args), IssueDemarrage::CacheeTerminee);
        EXPECT_TRUE(g.boite.questions.empty());
        EXPECT_TRUE(sansConfirmation); // until the program ends
        EXPECT_TRUE(QFileInfo::exists(q(d.path("a_14.07.2004_10.31.05.avi"))));
        EXPECT_FALSE(QFileInfo::exists(a));
        EXPECT_TRUE(QFileInfo::exists(n));
        EXPECT_EQ(g.journal.last(), "FermerFenetre");
        EXPECT_FALSE(g.journal.contains("AfficherApropos 1"));
        EXPECT_FALSE(g.journal.contains("MajStatut"));
        // As the next start-up would find them.
        sansConfirmation = abandonDemande = abandonTout = false;
        registreCommandes.clear();
    }
}

TEST_F(LigneCommande, HiddenModeReadsTheWaitingPlaylistAfterTheRun)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString a = copie("pal_t2_43.avi", "a.avi");
    const QString p = copie("pal_t1_43.avi", "p.avi");
    f.demarrer();
    f.playlistEnAttente = true;
    f.playlist = {p};
    EXPECT_EQ(DemarrerLigneCommande(f, {a, "+hd"}), IssueDemarrage::CacheeTerminee);
    // The playlist's clip is kept for the saved list but not renamed.
    EXPECT_TRUE(existe("p.avi"));
    EXPECT_TRUE(existe("a_14.07.2004_10.31.05.avi"));
    EXPECT_EQ(f.noms(), QStringList({"p.avi", "a_14.07.2004_10.31.05.avi"}));
    const int lecture = int(f.journal.indexOf("LirePlaylistParDefaut"));
    EXPECT_GT(lecture, int(f.journal.indexOf("FinOperation")));
    EXPECT_EQ(lecture, int(f.journal.size()) - 2);
    EXPECT_FALSE(f.playlistEnAttente);
}

TEST_F(LigneCommande, NoArgumentsOnlyRefreshes)
{
    f.demarrer();
    EXPECT_EQ(DemarrerLigneCommande(f, {}), IssueDemarrage::SansArguments);
    EXPECT_EQ(f.journal, QStringList({"MajStatut"}));
}

TEST_F(LigneCommande, HelpStopsEverythingEvenWithSwitchesAfterIt)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString a = copie("pal_t2_43.avi", "a.avi");
    f.demarrer();
    LigneCommandePremierePeinture(f, {a, "+m", "+d", "+?", "+c"});
    // "+d" came before "+?", yet nothing runs; the "+c" after it is not read.
    EXPECT_TRUE(existe("a.avi"));
    EXPECT_EQ(f.journal.mid(3), QStringList({"AfficherApropos 1"}));
    EXPECT_FALSE(sansConfirmation);
}

TEST_F(LigneCommande, CloseThenHelpClosesAtOnce)
{
    f.demarrer();
    enregistrer(f.tch.AjouterDateCode);
    LigneCommandePremierePeinture(f, {"+c", "+?d"});
    EXPECT_EQ(f.journal, QStringList({"DebutOperation Chargement des fichiers", "FinOperation", "AfficherApropos 1",
                                      "FermerFenetre"}));
    EXPECT_TRUE(executions.isEmpty());
}

TEST_F(LigneCommande, NoQuestionsAndCloseTogetherOrApart)
{
    KORVAN_REQUIRE_FIXTURES();
    for (const QStringList& lettres : {QStringList{"+mc"}, QStringList{"+m", "+c"}, QStringList{"/CM"}}) {
        SCOPED_TRACE(lettres.join(' ').toStdString());
        ScratchDir d;
        FenetreEssai g;
        g.demarrer();
        const QString a = q(d.copyFixture("pal_t2_43.avi", "a.avi"));
        bool questionPendant = false;
        g.pendantPompe = [&] { questionPendant = questionPendant || sansConfirmation; };
        LigneCommandePremierePeinture(g, QStringList{a, "+d"} + lettres);
        EXPECT_TRUE(g.boite.questions.empty());
        EXPECT_TRUE(questionPendant); // no questions while the commands ran
        EXPECT_FALSE(sansConfirmation); // and questions again afterwards
        EXPECT_TRUE(QFileInfo::exists(q(d.path("a_14.07.2004_10.31.05.avi"))));
        EXPECT_EQ(g.journal.last(), "FermerFenetre");
        abandonDemande = abandonTout = false;
        registreCommandes.clear();
    }
}

TEST_F(LigneCommande, UpperCaseSwitchIsLowerCasedFirst)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString a = copie("pal_t2_43.avi", "a.avi");
    f.demarrer();
    LigneCommandePremierePeinture(f, {a, "+D", "+M"});
    EXPECT_TRUE(existe("a_14.07.2004_10.31.05.avi"));
}

TEST_F(LigneCommande, DottedSwitchIsTakenAsAPathOnly)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString p = copie("pal_t2_43.avi", "+1.avi");
    enregistrer(f.tch.DVtype1);
    f.demarrer();
    const QString ancien = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QFileInfo(p).path()));
    LigneCommandePremierePeinture(f, {"+1.avi", "e"});
    QDir::setCurrent(ancien);
    EXPECT_EQ(f.noms(), QStringList({"+1.avi"}));
    EXPECT_TRUE(executions.isEmpty());
    EXPECT_TRUE(f.corbeille.isEmpty());
}

TEST_F(LigneCommande, RenameSwitchRenamesEachFileOnceAlthoughEachRenameMovesIt)
{
    KORVAN_REQUIRE_FIXTURES();
    prefOrdreListe = otAlpha;
    QStringList args;
    // Each rename moves its line: a (2004) lands between b and d, then b (2006) after it, then d (2002) first.
    args << copie("pal_t2_43.avi", "a.avi") << copie("ntsc_t2_43.avi", "b.avi") << copie("pal_t1_43.avi", "d.avi")
         << copie("pal_no_date.avi", "e.avi") << "+mr";
    f.demarrer();
    // Count the real executions per file.
    std::map<QString, int> fois;
    const TExecutionEvent reelle = f.tch.RenameScAn.OnExecution;
    f.tch.RenameScAn.OnExecution = [&](TParam& p, const TAfficherFichier* e, QString& n, TchUpdateType& u) {
        ++fois[e->nom];
        reelle(p, e, n, u);
    };
    int deplacements = 0;
    // A rename takes the line out and puts it back at its sorted place.
    int retiree = -1;
    QObject::connect(&f.liste, &QAbstractItemModel::rowsRemoved, [&](const QModelIndex&, int de, int) { retiree = de; });
    QObject::connect(&f.liste, &QAbstractItemModel::rowsInserted, [&](const QModelIndex&, int vers, int) {
        deplacements += retiree >= 0 && retiree != vers;
        retiree = -1;
    });

    LigneCommandePremierePeinture(f, args);

    EXPECT_EQ(fois, (std::map<QString, int>{{"a.avi", 1}, {"b.avi", 1}, {"d.avi", 1}}));
    EXPECT_EQ(deplacements, 3);
    EXPECT_EQ(f.noms(), QStringList({"ClipDV_20020228_23.59.58.avi", "ClipDV_20040714_10.31.05.avi",
                                     "ClipDV_20060305_09.15.30.avi", "e.avi"}));
}

TEST_F(LigneCommande, ConversionOutputsAreNotTreatedByTheirSwitch)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString a = copie("pal_t2_43.avi", "a.avi");
    const QString b = copie("pal_t1_43.avi", "b.avi");
    // A conversion writes "<base>_type1.avi" beside its source and lists it;
    // here it takes every file, so that its own output would qualify.
    f.tch.DVtype1.OnFileCondition = {};
    f.tch.DVtype1.OnExecution = [this](TParam&, const TAfficherFichier* e, QString& n, TchUpdateType& u) {
        executions << e->nom;
        n = e->chemin.chopped(4) + "_type1.avi";
        QFile::copy(e->chemin, n);
        u = utAdd;
    };
    f.demarrer();
    LigneCommandePremierePeinture(f, {a, b, "+m1", "+c"});
    EXPECT_EQ(executions, QStringList({"b.avi", "a.avi"}));
    EXPECT_EQ(f.liste.nombre(), 4);
    EXPECT_FALSE(existe("a_type1_type1.avi"));
}

TEST_F(LigneCommande, OrderIsArgumentThenActionListThenLine)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString a = copie("pal_t2_43.avi", "a.avi");
    const QString b = copie("pal_t1_43.avi", "b.avi");
    enregistrer(f.tch.AjouterTimecode);
    enregistrer(f.tch.AjouterDateCode);
    enregistrer(f.tch.DVtype1);
    enregistrer(f.tch.DVType2);
    // Here the DV type conversions stand for commands that take every file.
    f.tch.DVtype1.OnFileCondition = {};
    f.tch.DVType2.OnFileCondition = {};
    f.demarrer();
    // Within "+td" the datecode runs first: its action comes first in the action list.
    LigneCommandePremierePeinture(f, {"+1", a, "+mtd", b});
    EXPECT_EQ(executions, QStringList({"DVtype1 b.avi", "DVtype1 a.avi", "AjouterDateCode b.avi",
                                       "AjouterDateCode a.avi", "AjouterTimecode b.avi", "AjouterTimecode a.avi"}));
    // One argument may carry several switches, in any order; a letter given twice in it runs once.
    executions.clear();
    LigneCommandePremierePeinture(f, {"/21m11"});
    EXPECT_EQ(executions, QStringList({"DVtype1 b.avi", "DVtype1 a.avi", "DVType2 b.avi", "DVType2 a.avi"}));
}

TEST_F(LigneCommande, SwitchedOffAndUnknownLettersDoNothing)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString a = copie("pal_t2_43.avi", "a.avi");
    enregistrer(f.tch.AjouterDateCode);
    enregistrer(f.tch.FileDate);
    f.demarrer({{"amAjouterDatecode", 0}});
    LigneCommandePremierePeinture(f, {a, "+mdkjfyo", "/#!"});
    EXPECT_TRUE(executions.isEmpty());
    EXPECT_TRUE(f.boite.questions.empty());
    EXPECT_TRUE(existe("a.avi"));
}

TEST_F(LigneCommande, ShiftEscEndsTheRunEscEndsTheSwitch)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString a = copie("pal_t2_43.avi", "a.avi");
    const QString b = copie("pal_t1_43.avi", "b.avi");
    enregistrer(f.tch.AjouterDateCode);
    enregistrer(f.tch.DVtype1);
    f.tch.DVtype1.OnFileCondition = {}; // every file, as in the test above
    f.demarrer();

    // Esc after the first entry of "d": that switch ends, "1" (after it in the action list) still runs.
    int pompes = 0;
    f.pendantPompe = [&] {
        if (++pompes == 2)
            abandonDemande = true;
    };
    LigneCommandePremierePeinture(f, {a, b, "+m1d"});
    EXPECT_EQ(executions, QStringList({"AjouterDateCode b.avi", "DVtype1 b.avi", "DVtype1 a.avi"}));

    // Shift+Esc after the first entry: nothing more at all.
    executions.clear();
    pompes = 0;
    f.pendantPompe = [&] {
        if (++pompes == 2)
            abandonDemande = abandonTout = true;
    };
    LigneCommandePremierePeinture(f, {"+m1", "+d"});
    EXPECT_EQ(executions, QStringList({"DVtype1 b.avi"}));
    EXPECT_EQ(f.journal.last(), "MajStatut");
}

TEST_F(LigneCommande, ClosingTheWindowDuringARunEndsIt)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString a = copie("pal_t2_43.avi", "a.avi");
    const QString b = copie("pal_t1_43.avi", "b.avi");
    // The first execution closes the window, which frees the switch table.
    f.tch.DVtype1.OnExecution = [this](TParam&, const TAfficherFichier* e, QString&, TchUpdateType&) {
        executions << e->nom;
        f.FermerFenetre();
    };
    f.tch.DVtype1.OnFileCondition = {};
    enregistrer(f.tch.AjouterDateCode);
    f.demarrer();
    LigneCommandePremierePeinture(f, {a, b, "+m1", "+d"});
    EXPECT_EQ(executions, QStringList({"b.avi"}));
}

TEST_F(LigneCommande, ProgressIsShownForCommandsWithAStatusText)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString a = copie("pal_t2_43.avi", "a.avi");
    enregistrer(f.tch.DVtype1); // "En train de convertir \"%s\" en type 1"
    f.demarrer();
    LigneCommandePremierePeinture(f, {a, "+m1"});
    EXPECT_EQ(f.progression.statuts, QStringList({"En train de convertir \"a.avi\" en type 1"}));
    EXPECT_FALSE(f.progression.jaugeVisible);
    EXPECT_FALSE(f.executeur.convertTimer().isActive());
}

// Every letter of the switch table, alone in a hidden run over one clip that
// every command's condition allows: an available one runs its command once,
// an unavailable one is refused on the error output and fails the run.
TEST_F(LigneCommande, EveryLetterOfTheSwitchTableRunsOrIsRefused)
{
    KORVAN_REQUIRE_FIXTURES();
    FenetreEssai modele;
    modele.demarrer();
    const QList<PaireSwitch> table = tableSwitches;
    ASSERT_FALSE(table.isEmpty());
    QString disponibles;
    for (const PaireSwitch& p : table) {
        SCOPED_TRACE(p.texte.toStdString());
        ScratchDir d;
        // Dated, with a time code, a suffix to shorten and a scene file.
        const QString clip = q(d.copyFixture("pal_t2_43.avi", "clip_type2.avi"));
        writeWholeFile(d.path("clip_type2.scn"), "scenes");
        FenetreEssai g;
        g.demarrer();
        // The commands that run something record it instead, so the clip
        // stays for the checks; no clip suits both DV type conversions (nor
        // both standards, nor DV and recompression), so their conditions take any file.
        QStringList faites;
        g.tch.DVtype1.OnFileCondition = {};
        g.tch.DVType2.OnFileCondition = {};
        g.tch.Pal.OnFileCondition = {};
        g.tch.ConvertirDV.OnFileCondition = {};
        for (tFileAction* c : g.tch.composants())
            if (c->OnExecution)
                c->OnExecution = [&faites, nom = c->Name](TParam&, const TAfficherFichier* e, QString&, TchUpdateType&) {
                    faites << nom + u' ' + e->nom;
                };

        const IssueDemarrage issue = DemarrerLigneCommande(g, {clip, "+h" + p.texte});

        const tFileAction* commande = CommandeDeAction(p.action);
        ASSERT_NE(commande, nullptr);
        if (p.disponible) {
            disponibles += p.texte;
            EXPECT_EQ(issue, IssueDemarrage::CacheeTerminee);
            EXPECT_EQ(faites, QStringList{commande->Name + " clip_type2.avi"});
            EXPECT_TRUE(g.boite.erreurs().isEmpty());
        } else {
            EXPECT_EQ(issue, IssueDemarrage::CacheeAvecEchecs);
            EXPECT_TRUE(faites.isEmpty());
            EXPECT_EQ(g.boite.erreurs(), QStringList{"Commande non disponible dans cette version : " +
                                                     g.table.chercher(p.action)->caption + " (+" + p.texte + ")"});
            EXPECT_EQ(g.boite.questions.back().boutons, BoutonsMessage::OK);
            EXPECT_TRUE(QFileInfo::exists(clip));
        }
        sansConfirmation = abandonDemande = abandonTout = false;
    }
    // The commands already built keep their letters.
    for (const QChar l : QStringLiteral("edtqbrszx12wnpig"))
        EXPECT_TRUE(disponibles.contains(l)) << QString(l).toStdString();
}

TEST_F(LigneCommande, ALetterWorksOnceItsCommandRunsSomething)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString a = copie("pal_t2_43.avi", "a.avi");
    // Not built (a command without its execution): refused, in window mode
    // too, where the refusal is a box; the other letters still run.
    enregistrer(f.tch.AjouterDateCode);
    f.tch.Ntsc.OnExecution = {};
    f.demarrer();
    EXPECT_EQ(LigneCommandePremierePeinture(f, {a, "+mnd"}), 1);
    EXPECT_EQ(f.boite.erreurs(), QStringList{"Commande non disponible dans cette version : Convertir en NTSC (+n)"});
    EXPECT_EQ(executions, QStringList{"AjouterDateCode a.avi"});

    // Once the command has its execution, the same letter runs it and the run succeeds.
    FenetreEssai g;
    enregistrer(g.tch.Ntsc);
    g.demarrer();
    executions.clear();
    EXPECT_EQ(LigneCommandePremierePeinture(g, {a, "+mn"}), 0);
    EXPECT_EQ(executions, QStringList{"Ntsc a.avi"});
    EXPECT_TRUE(g.boite.erreurs().isEmpty());
}

// A hidden run fails when a real command fails on a file, and says which.
TEST_F(LigneCommande, HiddenRunFailsWhenACommandFailsOnAFile)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString a = copie("pal_t2_43.avi", "a.avi");
    const QString b = copie("pal_t1_43.avi", "b.avi");
    writeWholeFile(dir.path("a.scn"), "scenes");
    writeWholeFile(dir.path("b.scn"), "scenes");
    // The trash refuses a's scene file.
    f.tch.services.corbeille = [](const QString& c) { return !c.endsWith("a.scn"); };
    f.demarrer();
    EXPECT_EQ(DemarrerLigneCommande(f, {a, b, "+hz"}), IssueDemarrage::CacheeAvecEchecs);
    EXPECT_EQ(f.boite.erreurs(), QStringList{"Impossible de supprimer " + chemin("a.scn") +
                                             "\r\nLe fichier est peut-être utilisé actuellement ou en lecture seule"});
    sansConfirmation = abandonDemande = abandonTout = false;
    registreCommandes.clear();

    // Everything went: the run succeeds.
    FenetreEssai g;
    g.tch.services.corbeille = [](const QString&) { return true; };
    g.demarrer();
    EXPECT_EQ(DemarrerLigneCommande(g, {a, b, "+hz"}), IssueDemarrage::CacheeTerminee);
    EXPECT_TRUE(g.boite.erreurs().isEmpty());
}
