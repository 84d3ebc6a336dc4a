#include "commands/commandes_fichiers.h"

#include "platform/etat_programme.h"
#include "commands/chmodule.h"
#include "commands/executeur.h"
#include "commands/registre_commandes.h"
#include "doubles_fenetre.h"
#include "platform/bureau_temporaire.h"
#include "platform/dossiers_utilisateur.h"
#include "platform/preferences.h"
#include "liste_memoire.h"
#include "support/fixtures.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// Small files listed without probing them: these commands read only the
// entry's path, name and attributes.
class Fichiers : public ::testing::Test {
protected:
    Fichiers() : liste(sansSonde()), x(liste, liste, boite, progression, apercu)
    {
        abandonDemande = abandonTout = sansConfirmation = false;
        x.pomper = [](bool) {};
        module.services.boite = &boite;
        module.services.ouvreur = &ouvreur;
        module.TextesCommandes();
        sauveStillex = prefFichierStillex;
    }
    ~Fichiers() override { prefFichierStillex = sauveStillex; }

    static ContexteEntree sansSonde()
    {
        ContexteEntree c;
        c.sonde = [](const QString&, TResultatSonde&) { return false; };
        return c;
    }
    QString ajouter(const QString& nom)
    {
        const QString c = q(dir.path(nom.toStdString()));
        QDir().mkpath(QFileInfo(c).absolutePath());
        writeWholeFile(c.toStdString(), "clip " + nom.toStdString());
        liste.AjouterFichier(c);
        return c;
    }

    ScratchDir dir;
    ListeMemoire liste;
    BoiteScriptee boite;
    ProgressionMemoire progression;
    ApercuMemoire apercu;
    OuvreurMemoire ouvreur;
    ExecuteurCommandes x;
    Tch module;
    QString sauveStillex;
};

TEST_F(Fichiers, RemovingFromTheListAsksNothingAndKeepsTheFiles)
{
    QStringList chemins;
    for (const char* nom : {"a.avi", "b.avi", "c.avi", "d.avi", "e.avi"})
        chemins << ajouter(nom);
    ajouter("f.avi");
    liste.toutSelectionner();
    liste.selectionner(5, false);
    x.ExecuterSurSelection(&module.oterfichier);
    EXPECT_TRUE(boite.questions.empty());
    EXPECT_EQ(liste.noms(), QStringList{"f.avi"});
    EXPECT_EQ(liste.nomCourant(), "f.avi");
    for (const QString& c : chemins)
        EXPECT_TRUE(QFileInfo::exists(c));
}

TEST_F(Fichiers, DeletingSendsToTheTrashAfterTheQuestion)
{
    BureauTemporaire bureau;
    const QString clip = ajouter("clip.avi");
    ajouter("autre.avi");
    liste.toutSelectionner(false);
    liste.selectionner(liste.IndexDeChemin(clip), true);
    boite.reponses = {ReponseMessage::Oui};
    x.ExecuterSurSelection(&module.SupprimerFichier);

    ASSERT_EQ(boite.questions.size(), 1u);
    EXPECT_EQ(boite.questions[0].texte,
              "Voulez-vous vraiment supprimer le fichier clip.avi ?\r\nSi oui, il sera envoyé à la corbeille.");
    EXPECT_FALSE(QFileInfo::exists(clip));
    EXPECT_EQ(readWholeFile((corbeilleUtilisateur() + "/files/clip.avi").toStdString()), "clip clip.avi");
    EXPECT_EQ(liste.noms(), QStringList{"autre.avi"});
    EXPECT_EQ(progression.statuts, QStringList{"En train de supprimer..."});
}

TEST_F(Fichiers, AFileThatCannotBeDeletedIsToldAndStays)
{
    const QString clip = ajouter("clip.avi");
    QFile::remove(clip); // gone behind the program's back: the trash cannot take it
    liste.selectionner(0, true);
    boite.reponses = {ReponseMessage::Oui};
    x.ExecuterSurSelection(&module.SupprimerFichier);
    ASSERT_EQ(boite.questions.size(), 2u);
    EXPECT_EQ(boite.questions[1].genre, GenreMessage::Erreur);
    EXPECT_EQ(boite.questions[1].boutons, BoutonsMessage::OK);
    EXPECT_EQ(boite.questions[1].texte,
              "Impossible de supprimer " + clip + "\r\nIl sans doute utilisé actuellement ou en lecture seule");
    EXPECT_EQ(liste.noms(), QStringList{"clip.avi"});
}

TEST_F(Fichiers, ReadOnlyFilesAreNotOfferedForDeletion)
{
    ajouter("clip.avi");
    TAfficherFichier lectureSeule = *liste.entree(0);
    bool visible = false, enabled = false;
    SupprimerFichierFileCondition(module.SupprimerFichier.Param, &lectureSeule, visible, enabled);
    EXPECT_TRUE(visible && enabled);
    lectureSeule.attributs |= faReadOnly;
    SupprimerFichierFileCondition(module.SupprimerFichier.Param, &lectureSeule, visible, enabled);
    EXPECT_FALSE(visible || enabled);

    // A name too long for the question gives the short one.
    lectureSeule.nom = QString(250, u'n');
    QString question;
    SupprimerFichierConfirmation(module.SupprimerFichier.Param, &lectureSeule, question);
    EXPECT_EQ(question, "Voulez-vous vraiment supprimer ce fichier?\r\nSi oui, il sera envoyé à la corbeille.");
}

TEST_F(Fichiers, FolderAndPlayerOpenWithTheDesktop)
{
    const QString clip = ajouter("v/my clip.avi");
    liste.MajStatut();
    x.ExecuterSurCourante(&module.DossierParent);
    x.ExecuterSurCourante(&module.DefaultPlayer);
    EXPECT_EQ(ouvreur.ouverts, (QStringList{QFileInfo(clip).absolutePath() + "/", clip}));
    EXPECT_TRUE(boite.questions.empty());
    EXPECT_EQ(liste.noms(), QStringList{"my clip.avi"});
}

TEST_F(Fichiers, StillexGetsThePathWholeAsItsOneArgument)
{
    const QString clip = ajouter("v/my clip.avi");
    liste.MajStatut();

    prefFichierStillex = q(dir.path("absent/Stillex"));
    EXPECT_FALSE(ConditionGenerale(module.Stillex));
    prefFichierStillex = q(dir.path("v"));
    EXPECT_FALSE(ConditionGenerale(module.Stillex));
    prefFichierStillex = q(dir.path("Stillex.exe"));
    writeWholeFile(prefFichierStillex.toStdString(), "");
    EXPECT_TRUE(ConditionGenerale(module.Stillex));

    x.ExecuterSurCourante(&module.Stillex);
    ASSERT_EQ(ouvreur.lancements.size(), 1u);
    EXPECT_EQ(ouvreur.lancements[0].programme, prefFichierStillex);
    EXPECT_EQ(ouvreur.lancements[0].arguments, QStringList{clip});
}

// The desktop's own opener, with a program that writes down what it received.
TEST(OuvreurSysteme, ProgramReceivesThePathAsOneArgument)
{
    ScratchDir dir;
    const QString sortie = q(dir.path("args.txt"));
    const QString programme = q(dir.path("grab frames"));
    writeWholeFile(programme.toStdString(), "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"$0.tmp\"\nmv \"$0.tmp\" '" +
                                                sortie.toStdString() + "'\n");
    QFile::setPermissions(programme, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString clip = q(dir.path("v/my \"best\" clip.avi"));

    OuvreurSysteme ouvreur;
    ASSERT_TRUE(ouvreur.demarrerProgramme(programme, {clip}));
    // The program runs detached; wait for what it writes.
    QDeadlineTimer limite(30000);
    while (!QFileInfo::exists(sortie) && !limite.hasExpired())
        QThread::msleep(20);
    ASSERT_TRUE(QFileInfo::exists(sortie));
    EXPECT_EQ(q(readWholeFile(sortie.toStdString())), "1|" + clip);
    EXPECT_FALSE(ouvreur.demarrerProgramme(q(dir.path("absent")), {clip}));
    EXPECT_FALSE(ouvreur.ouvrirAvecBureau(QString()));
}

} // namespace
