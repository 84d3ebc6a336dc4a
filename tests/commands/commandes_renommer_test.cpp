#include "commands/commandes_renommer.h"

#include "platform/etat_programme.h"
#include "analysis/reglages_format.h"
#include "commands/chmodule.h"
#include "commands/executeur.h"
#include "commands/registre_commandes.h"
#include "commands/renommer_sans_ecraser.h"
#include "doubles_fenetre.h"
#include "platform/preferences.h"
#include "liste_memoire.h"
#include "support/fixtures.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
bool existe(const QString& c) { return QFileInfo::exists(c); }
std::string lire(const QString& c) { return readWholeFile(c.toStdString()); }

// Asks through a script, and may change the disk while the user reads the question.
struct BoiteAvecAction : BoiteScriptee {
    std::function<void()> pendantLaQuestion;
    ReponseMessage afficher(GenreMessage genre, const QString& texte, BoutonsMessage boutons) override
    {
        if (pendantLaQuestion)
            pendantLaQuestion();
        return BoiteScriptee::afficher(genre, texte, boutons);
    }
};

// A list of real clip entries and the built-in commands, run as the window runs them.
class Renommer : public ::testing::Test {
protected:
    Renommer() : liste(contexte()), x(liste, liste, boite, progression, apercu)
    {
        abandonDemande = abandonTout = sansConfirmation = false;
        sauveAjouter = prefFormatAjouter;
        sauveRenommer = prefFormatRenommer;
        sauveRacine = prefRacineRenommer;
        prefFormatAjouter = QString::fromLatin1(prefDefaut::formatAjouter);
        prefFormatRenommer = QString::fromLatin1(prefDefaut::formatRenommer);
        prefRacineRenommer = QString::fromLatin1(prefDefaut::racineRenommer);
        sauveReglages = reglagesFormatCourants();
        definirReglagesFormat(ReglagesFormat::francais());
        x.pomper = [](bool) {};
        module.TextesCommandes();
        module.services.boite = &boite;
    }
    ~Renommer() override
    {
        prefFormatAjouter = sauveAjouter;
        prefFormatRenommer = sauveRenommer;
        prefRacineRenommer = sauveRacine;
        definirReglagesFormat(sauveReglages);
    }

    static ContexteEntree contexte()
    {
        ContexteEntree c;
        c.formatAfficher = prefFormatAfficher;
        return c;
    }
    QString chemin(const QString& nom) const { return q(dir.path(nom.toStdString())); }
    // A copy of a fixture under the given name, listed.
    QString ajouter(const char* fixture, const QString& nom)
    {
        const QString c = q(dir.copyFixture(fixture, nom.toStdString()));
        liste.AjouterFichier(c);
        return c;
    }
    void choisir(const QString& nom)
    {
        liste.toutSelectionner(false);
        const int i = liste.IndexDeChemin(chemin(nom));
        liste.selectionner(i, true);
        liste.definirFocus(i);
        liste.MajStatut();
    }
    // Runs a command on one listed file, answering Yes.
    void executerSur(tFileAction& commande, const QString& nom)
    {
        choisir(nom);
        boite.reponses = {ReponseMessage::Oui};
        x.ExecuterSurSelection(&commande);
    }

    ScratchDir dir;
    ListeMemoire liste;
    BoiteAvecAction boite;
    ProgressionMemoire progression;
    ApercuMemoire apercu;
    ExecuteurCommandes x;
    Tch module;
    QString sauveAjouter, sauveRenommer, sauveRacine;
    ReglagesFormat sauveReglages;
};

TEST_F(Renommer, DatecodeIsAppendedAndTheSceneFileFollows)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = ajouter("pal_t2_43.avi", "clip.avi");
    writeWholeFile(chemin("clip.scn").toStdString(), "scenes");
    const std::string octets = lire(clip);

    executerSur(module.AjouterDateCode, "clip.avi");

    ASSERT_EQ(boite.questions.size(), 1u);
    EXPECT_EQ(boite.questions[0].texte, "Voulez-vous ajouter un datecode au fichier 'clip.avi'\r\n"
                                        "et le renommer en 'clip_14.07.2004_10.31.05.avi'?");
    const QString nouveau = chemin("clip_14.07.2004_10.31.05.avi");
    EXPECT_FALSE(existe(clip));
    EXPECT_EQ(lire(nouveau), octets);
    EXPECT_EQ(lire(chemin("clip_14.07.2004_10.31.05.scn")), "scenes");
    EXPECT_FALSE(existe(chemin("clip.scn")));
    // The list holds the new file's entry, current and selected.
    EXPECT_EQ(liste.noms(), QStringList{"clip_14.07.2004_10.31.05.avi"});
    EXPECT_EQ(liste.nomCourant(), "clip_14.07.2004_10.31.05.avi");
    EXPECT_EQ(liste.entreeCourante()->texteDatecode, "14/07/2004 10:31:05");

    // A second time, the datecode is appended again.
    executerSur(module.AjouterDateCode, "clip_14.07.2004_10.31.05.avi");
    EXPECT_TRUE(existe(chemin("clip_14.07.2004_10.31.05_14.07.2004_10.31.05.avi")));
}

TEST_F(Renommer, TakenNamesGetACounterAndNothingIsReplaced)
{
    KORVAN_REQUIRE_FIXTURES();
    ajouter("pal_t2_43.avi", "clip.avi");
    writeWholeFile(chemin("clip_14.07.2004_10.31.05.avi").toStdString(), "other clip");
    writeWholeFile(chemin("clip_14.07.2004_10.31.05(1).avi").toStdString(), "third clip");
    executerSur(module.AjouterDateCode, "clip.avi");
    EXPECT_TRUE(boite.questions[0].texte.endsWith("'clip_14.07.2004_10.31.05(2).avi'?"));
    EXPECT_TRUE(existe(chemin("clip_14.07.2004_10.31.05(2).avi")));
    EXPECT_EQ(lire(chemin("clip_14.07.2004_10.31.05.avi")), "other clip");
    EXPECT_EQ(lire(chemin("clip_14.07.2004_10.31.05(1).avi")), "third clip");
}

TEST_F(Renommer, SceneFileStaysWhenItsNewNameIsTaken)
{
    KORVAN_REQUIRE_FIXTURES();
    ajouter("pal_t2_43.avi", "clip.avi");
    writeWholeFile(chemin("clip.scn").toStdString(), "mine");
    writeWholeFile(chemin("clip_14.07.2004_10.31.05.scn").toStdString(), "someone else's");
    executerSur(module.AjouterDateCode, "clip.avi");
    EXPECT_TRUE(existe(chemin("clip_14.07.2004_10.31.05.avi")));
    EXPECT_EQ(lire(chemin("clip.scn")), "mine");
    EXPECT_EQ(lire(chemin("clip_14.07.2004_10.31.05.scn")), "someone else's");
}

TEST_F(Renommer, UpperCaseExtensionIsRenamedAndItsSceneFileFollows)
{
    KORVAN_REQUIRE_FIXTURES();
    ajouter("pal_t2_43.avi", "CLIP.AVI");
    writeWholeFile(chemin("CLIP.scn").toStdString(), "scenes");
    executerSur(module.AjouterDateCode, "CLIP.AVI");
    EXPECT_TRUE(existe(chemin("CLIP_14.07.2004_10.31.05.avi")));
    EXPECT_TRUE(existe(chemin("CLIP_14.07.2004_10.31.05.scn")));
    EXPECT_FALSE(existe(chemin("CLIP.AVI")));
}

TEST_F(Renommer, TimecodeIsAppendedAndLongPathsUseShorterQuestions)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = ajouter("pal_t2_43.avi", "clip.avi");
    executerSur(module.AjouterTimecode, "clip.avi");
    const QString nouveau = chemin("clip_10.20.30.12.avi");
    EXPECT_EQ(boite.questions[0].texte, "Voulez-vous vraiment ajouter son timecode au fichier '" + clip +
                                            "'\r\net le renommer en '" + nouveau + "'?");
    EXPECT_TRUE(existe(nouveau));

    // Full paths make the first wording too long; the second names the new path only.
    const QString dossier = chemin(QString(100, u'd'));
    ASSERT_TRUE(QDir().mkpath(dossier));
    const QString long1 = q(dir.copyFixture("pal_t2_43.avi", QString(100, u'd').toStdString() + "/clip.avi"));
    const EntreePtr e = std::make_shared<const TAfficherFichier>(long1, contexte());
    TParam p;
    QString question;
    AjouterTimecodeConfirmation(p, e.get(), question);
    EXPECT_EQ(question, "Voulez-vous vraiment ajouter son timecode à ce fichier \r\net le renommer en '" + dossier +
                            "/clip_10.20.30.12.avi'?");
    EXPECT_LT(question.size(), 255);

    // Longer still: the last wording.
    const QString rel = QString(100, u'd') + u'/' + QString(150, u'e');
    ASSERT_TRUE(QDir().mkpath(chemin(rel)));
    const QString long2 = q(dir.copyFixture("pal_t2_43.avi", rel.toStdString() + "/clip.avi"));
    const EntreePtr e2 = std::make_shared<const TAfficherFichier>(long2, contexte());
    AjouterTimecodeConfirmation(p, e2.get(), question);
    EXPECT_EQ(question, "Voulez-vous vraiment ajouter son timecode à ce fichier?");
}

TEST_F(Renommer, FilesWithoutTheirCodeAreSkipped)
{
    KORVAN_REQUIRE_FIXTURES();
    ajouter("pal_no_date.avi", "sans_date.avi");
    ajouter("pal_no_tc.avi", "sans_tc.avi");
    ajouter("not_riff.avi", "illisible.avi");
    liste.toutSelectionner();
    boite.reponses = {ReponseMessage::Tous};
    x.ExecuterSurSelection(&module.AjouterDateCode);
    EXPECT_EQ(boite.questions.size(), 1u);
    EXPECT_TRUE(boite.questions[0].texte.contains("sans_tc.avi"));
    EXPECT_EQ(liste.noms(), (QStringList{"illisible.avi", "sans_date.avi", "sans_tc_07.05.2004_08.09.10.avi"}));

    for (tFileAction* c : {&module.RenameScAn, &module.FileDate, &module.AjouterDateCode}) {
        bool v = true, en = true;
        c->OnFileCondition(c->Param, liste.entree(0).get(), v, en);
        EXPECT_FALSE(v || en);
        c->OnFileCondition(c->Param, liste.entree(1).get(), v, en);
        EXPECT_FALSE(v || en);
        c->OnFileCondition(c->Param, liste.entree(2).get(), v, en);
        EXPECT_TRUE(v && en);
    }
    bool v = true, en = true;
    module.AjouterTimecode.OnFileCondition(module.AjouterTimecode.Param, liste.entree(2).get(), v, en);
    EXPECT_FALSE(v || en);
    module.AjouterTimecode.OnFileCondition(module.AjouterTimecode.Param, liste.entree(1).get(), v, en);
    EXPECT_TRUE(v && en);
    module.AjouterTimecode.OnFileCondition(module.AjouterTimecode.Param, liste.entree(0).get(), v, en);
    EXPECT_FALSE(v || en);
}

TEST_F(Renommer, ClipStyleNameKeepsTheFolderAndCountsItsOwnName)
{
    KORVAN_REQUIRE_FIXTURES();
    ajouter("pal_t2_43.avi", "clip.avi");
    executerSur(module.RenameScAn, "clip.avi");
    EXPECT_EQ(boite.questions[0].texte, "Voulez-vous renommer le fichier 'clip.avi' en 'ClipDV_20040714_10.31.05.avi'?");
    EXPECT_TRUE(existe(chemin("ClipDV_20040714_10.31.05.avi")));

    executerSur(module.RenameScAn, "ClipDV_20040714_10.31.05.avi");
    EXPECT_TRUE(existe(chemin("ClipDV_20040714_10.31.05(1).avi")));
    EXPECT_EQ(liste.noms(), QStringList{"ClipDV_20040714_10.31.05(1).avi"});
}

TEST_F(Renommer, ShorteningTakesSuffixesOffOnly)
{
    KORVAN_REQUIRE_FIXTURES();
    ajouter("pal_t1_43.avi", "clip_type1_ntsc.avi");
    ajouter("pal_t1_43.avi", "Vacances_TYPE2.avi");
    ajouter("pal_t1_43.avi", "plage_.avi");
    ajouter("pal_t1_43.avi", "clip_final.avi");
    liste.toutSelectionner();
    boite.reponses = {ReponseMessage::Oui, ReponseMessage::Tous};
    x.ExecuterSurSelection(&module.PurgerNom);
    ASSERT_EQ(boite.questions.size(), 2u);
    EXPECT_EQ(boite.questions[0].texte.section("\r\nSi vous", 0, 0),
              "Voulez-vous raccourcir le nom du fichier 'clip_type1_ntsc.avi'\r\net le renommer en 'clip.avi'?");
    // In the list's French collation "_" sorts before ".".
    EXPECT_EQ(liste.noms(), (QStringList{"clip_final.avi", "clip.avi", "plage.avi", "Vacances.avi"}));
}

TEST_F(Renommer, ShorteningNeverMovesAFileOutOfItsFolder)
{
    KORVAN_REQUIRE_FIXTURES();
    ASSERT_TRUE(QDir().mkpath(chemin("DV_2004")));
    const QString clip = q(dir.copyFixture("pal_t1_43.avi", "DV_2004/12.avi"));
    liste.AjouterFichier(clip);
    bool v = true, en = true;
    module.PurgerNom.OnFileCondition(module.PurgerNom.Param, liste.entree(0).get(), v, en);
    EXPECT_FALSE(v || en);
    // Even run without its condition (a command-line run asks it too), the
    // execution has nothing to shorten and leaves the clip alone.
    QString nouveau;
    TchUpdateType u = utRename;
    module.PurgerNom.OnExecution(module.PurgerNom.Param, liste.entree(0).get(), nouveau, u);
    EXPECT_EQ(u, utNone);
    EXPECT_TRUE(existe(clip));
    EXPECT_FALSE(existe(chemin("DV.avi")));
}

// Failures that hold whoever runs the tests, root included (for whom a
// read-only folder is no obstacle): the file gone between listing and
// running, the new name taken in between, the folder turned into a file, a
// name the filesystem refuses. Each is told in an error box naming the file
// and the system's reason; the file and its entry stay as they were.
TEST_F(Renommer, EveryFailedRenameIsToldWithTheFileAndTheSystemsReason)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* nom;
        tFileAction Tch::*commande;
        QString clip;
        QString racine;   // prefRacineRenommer, empty for the default
        int erreur;
        QString cible;    // the name the message gives
        bool sceneSeule;  // the video went, its scene file could not follow
    };
    const QString x260(260, u'x');
    const Cas cas[] = {
        {"file removed after listing", &Tch::AjouterDateCode, "clip.avi", {}, ENOENT, "clip_14.07.2004_10.31.05.avi", false},
        {"new name taken just before the rename", &Tch::AjouterTimecode, "clip.avi", {}, EEXIST, "clip_10.20.30.12.avi", false},
        {"folder replaced by a file", &Tch::PurgerNom, "clip_type2.avi", {}, ENOTDIR, "clip.avi", false},
        {"name too long for the filesystem", &Tch::RenameScAn, "clip.avi", x260, ENAMETOOLONG, x260 + "20040714_10.31.05.avi", false},
        {"a folder step in the clip-style root", &Tch::RenameScAn, "clip.avi", "sous/Clip", EINVAL, "Clip20040714_10.31.05.avi", false},
        {"scene file whose new name is taken", &Tch::AjouterDateCode, "clip.avi", {}, EEXIST, "clip_14.07.2004_10.31.05.scn", true},
    };
    int n = 0;
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const QString dossier = chemin(QStringLiteral("cas%1").arg(++n));
        ASSERT_TRUE(QDir().mkpath(dossier + "/sous"));
        const QString clip = dossier + '/' + c.clip;
        writeWholeFile(clip.toStdString(), readWholeFile(fixture("pal_t2_43.avi")));
        const std::string octets = lire(clip);
        liste.AjouterFichier(clip);
        prefRacineRenommer = c.racine.isEmpty() ? QString::fromLatin1(prefDefaut::racineRenommer) : c.racine;
        module.services.renommer = {};
        QString source = clip;
        QString ici = clip; // where the clip's bytes are afterwards
        switch (c.erreur) {
        case ENOENT:
            QFile::remove(clip);
            break;
        case EEXIST:
            if (c.sceneSeule) {
                source = dossier + "/clip.scn";
                writeWholeFile(source.toStdString(), "mine");
                writeWholeFile((dossier + '/' + c.cible).toStdString(), "someone else's");
            } else {
                module.services.renommer = [](const QString& s, const QString& cible) {
                    writeWholeFile(cible.toStdString(), "intruder");
                    return RenommerSansEcraser(s, cible);
                };
            }
            break;
        case ENOTDIR:
            ASSERT_TRUE(QDir().rename(dossier, dossier + ".ailleurs"));
            writeWholeFile(dossier.toStdString(), "a file now");
            ici = dossier + ".ailleurs/" + c.clip;
            break;
        default:
            break;
        }
        const EntreePtr entree = liste.entree(liste.IndexDeChemin(clip));
        boite.questions.clear();
        choisir(QStringLiteral("cas%1/").arg(n) + c.clip);
        boite.reponses = {ReponseMessage::Oui};
        x.ExecuterSurSelection(&(module.*c.commande));

        const QString attendu = "Impossible de renommer " + source + " en " + c.cible + "\r\n" +
                                QString::fromLocal8Bit(std::strerror(c.erreur));
        EXPECT_EQ(boite.erreurs(), QStringList{attendu});
        ASSERT_FALSE(boite.questions.empty());
        EXPECT_EQ(boite.questions.back().boutons, BoutonsMessage::OK);
        if (c.sceneSeule) {
            // The video has its new name; the scene file stays under its own beside it.
            EXPECT_TRUE(existe(dossier + "/clip_14.07.2004_10.31.05.avi"));
            EXPECT_EQ(lire(source), "mine");
            EXPECT_EQ(lire(dossier + '/' + c.cible), "someone else's");
            continue;
        }
        EXPECT_EQ(liste.entree(liste.IndexDeChemin(clip)), entree);
        if (c.erreur != ENOENT)
            EXPECT_EQ(lire(ici), octets);
        if (c.erreur == EEXIST)
            EXPECT_EQ(lire(dossier + '/' + c.cible), "intruder");
        EXPECT_EQ(QDir(dossier + "/sous").entryList(QDir::Files), QStringList{});
    }
}

// Without a message box (a plug-in's host, a test) a failure is only the utNone it returns.
TEST_F(Renommer, FailureWithoutABoxOnlyReturnsNone)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = ajouter("pal_t2_43.avi", "clip.avi");
    module.services.boite = nullptr;
    QFile::remove(clip);
    QString nouveau;
    TchUpdateType u = utRename;
    TParam p;
    AjouterDateCodeExecution(module.services, p, liste.entree(0).get(), nouveau, u);
    EXPECT_EQ(u, utNone);
    EXPECT_EQ(nouveau, chemin("clip_14.07.2004_10.31.05.avi"));
    EXPECT_TRUE(boite.questions.empty());
}

TEST_F(Renommer, NameTakenBetweenQuestionAndExecutionGetsTheNextCounter)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = ajouter("pal_t2_43.avi", "clip.avi");
    const QString annonce = chemin("clip_14.07.2004_10.31.05.avi");
    boite.pendantLaQuestion = [&] { writeWholeFile(annonce.toStdString(), "arrived meanwhile"); };
    executerSur(module.AjouterDateCode, "clip.avi");
    EXPECT_EQ(lire(annonce), "arrived meanwhile");
    EXPECT_TRUE(existe(chemin("clip_14.07.2004_10.31.05(1).avi")));
    EXPECT_FALSE(existe(clip));
}

TEST_F(Renommer, NameTakenJustBeforeTheRenameIsNeverReplaced)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = ajouter("pal_t2_43.avi", "clip.avi");
    writeWholeFile(chemin("clip.scn").toStdString(), "scenes");
    const std::string octets = lire(clip);
    const EntreePtr avant = liste.entree(0);
    // The free name has been chosen; another program takes it before the rename.
    module.services.renommer = [](const QString& source, const QString& cible) {
        writeWholeFile(cible.toStdString(), "intruder");
        return RenommerSansEcraser(source, cible);
    };
    executerSur(module.AjouterDateCode, "clip.avi");
    EXPECT_EQ(lire(chemin("clip_14.07.2004_10.31.05.avi")), "intruder");
    EXPECT_EQ(lire(clip), octets);
    EXPECT_EQ(lire(chemin("clip.scn")), "scenes");
    EXPECT_EQ(liste.entree(0), avant);
}

TEST_F(Renommer, QuestionsAlwaysNameTheFileTheExecutionProduces)
{
    KORVAN_REQUIRE_FIXTURES();
    ajouter("pal_t2_43.avi", "clip.avi");
    const EntreePtr e = liste.entree(0);
    TParam p;
    QString question;
    writeWholeFile(chemin("ClipDV_20040714_10.31.05.avi").toStdString(), "x");
    RenameScAnConfirmation(p, e.get(), question);
    EXPECT_EQ(question, "Voulez-vous renommer le fichier 'clip.avi' en 'ClipDV_20040714_10.31.05(1).avi'?");

    // Long names fall back to the shorter wordings.
    prefRacineRenommer = QString(190, u'r'); // 260 characters in full, 249 in the second wording
    RenameScAnConfirmation(p, e.get(), question);
    EXPECT_TRUE(question.startsWith("Voulez-vous renommer ce fichier en 'rrrr"));
    prefRacineRenommer = QString(240, u'r');
    RenameScAnConfirmation(p, e.get(), question);
    EXPECT_EQ(question, "Voulez-vous renommer ce fichier à la manière de Scenalyser?");
    prefFormatAjouter = QStringLiteral("'") + QString(174, u'k') + QStringLiteral("'"); // 259, then 250
    AjouterDateCodeConfirmation(p, e.get(), question);
    EXPECT_TRUE(question.startsWith("Voulez-vous ajouter un datecode à ce fichier et le renommer en\r\n'clip_kkk"));
    prefFormatAjouter = QStringLiteral("'") + QString(240, u'k') + QStringLiteral("'");
    AjouterDateCodeConfirmation(p, e.get(), question);
    EXPECT_EQ(question, "Voulez-vous ajouter son datecode à ce fichier?");
}

} // namespace
