// The window as the program assembles it: every part present, every action
// either running something or never offered, and the keys that actions take
// from their commands reaching those commands.
#include "commands/actions_fenetre.h"
#include "pipelines/presence_filtres.h"
#include "platform/etat_programme.h"
#include "platform/preferences.h"
#include "platform/bureau_temporaire.h"
#include "support/fixtures.h"
#include "ui/assemblage_fenetre.h"
#include "ui/main.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace korvan;

namespace {

class Assemblage : public ::testing::Test {
protected:
    void montrer()
    {
        fenetre = AssemblerFenetre();
        fenetre->show();
        QApplication::processEvents();
        prefSauverPrefsEnQuittant = false;
        prefSauverListeEnQuittant = false;
        fenetre->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(fenetre.get()));
    }
    // As a user does: the window active again after the last box, then the key.
    void appuyer(Qt::Key touche)
    {
        fenetre->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(fenetre.get()));
        QTest::keyClick(fenetre.get(), touche, Qt::ControlModifier);
    }
    // The text of the question box the key brings up, answered "Non".
    QString questionDe(Qt::Key touche)
    {
        QString texte;
        QTimer guetteur;
        QObject::connect(&guetteur, &QTimer::timeout, [&] {
            auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!boite)
                return;
            texte = boite->text();
            for (QAbstractButton* b : boite->buttons())
                if (b->text() == QLatin1String("&Non"))
                    b->click();
        });
        guetteur.start(20);
        appuyer(touche);
        return texte;
    }

    korvan::test::BureauTemporaire bureau_; // settings and playlists of its own
    std::unique_ptr<TUIForm> fenetre;
};

} // namespace

TEST_F(Assemblage, EveryPartIsRequired)
{
    EXPECT_TRUE(PiecesLivrees({}).manquantes().isEmpty());
    for (int sans = 0; sans < 5; ++sans) {
        PiecesFenetre p = PiecesLivrees({});
        std::array<bool, 5> vides{};
        vides[size_t(sans)] = true;
        if (vides[0]) p.filtres.reset();
        if (vides[1]) p.preferences.reset();
        if (vides[2]) p.commandes.reset();
        if (vides[3]) p.ligneCommande.reset();
        if (vides[4]) p.apercu.reset();
        ASSERT_EQ(p.manquantes().size(), 1);
        EXPECT_THROW(TUIForm{std::move(p)}, std::invalid_argument) << sans;
    }
}

TEST_F(Assemblage, EveryActionRunsSomethingOrIsNeverOffered)
{
    montrer();
    // The filter check of the first showing ran: the AVI reading the list needs is here.
    EXPECT_TRUE(drapeauxFiltres().okListe());
    QStringList nonLiees;
    for (const ActionFenetre& a : fenetre->table().actions) {
        QAction* q = fenetre->action(a.nom);
        ASSERT_TRUE(q) << a.nom.toStdString();
        if (fenetre->actionLiee(a.nom))
            continue;
        nonLiees << a.nom;
        EXPECT_FALSE(q->isVisible()) << a.nom.toStdString();
        EXPECT_FALSE(q->isEnabled()) << a.nom.toStdString();
        EXPECT_LT(a.tag, 0) << a.nom.toStdString() << " is listed in Commandes";
    }
    // Every command-led action of the built-ins that have an execution is bound.
    for (const char* nom : {"amAjouterDatecode", "amPurgerNom", "amFileDate", "amSupprimerScenes", "amScenesText",
                            "amCreerScenes", "amOterFichier", "amSupprimerFichier", "amDossierParent", "afStillex",
                            "avPlayStop", "avFullscreen", "avMute", "avanceLow", "reculeLow", "avanceMedium", "ReculeMedium",
                            "avanceHigh", "ReculeHigh", "AvanceScene", "ReculeScene", "avAvanceFin", "avReculeDebut"})
        EXPECT_TRUE(fenetre->actionLiee(QString::fromLatin1(nom))) << nom;
    EXPECT_FALSE(nonLiees.contains("afQuitter"));
}

TEST_F(Assemblage, KeysTakenFromCommandsReachThem)
{
    KORVAN_REQUIRE_FIXTURES();
    QTemporaryDir dossier;
    const QString base = dossier.path() + "/clip_type2";
    ASSERT_TRUE(QFile::copy(QString::fromStdString(korvan::test::fixture("pal_t2_43.avi")), base + ".avi"));
    for (const QString& voisin : {base + ".scn", base + "_scn.txt"}) {
        QFile f(voisin);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    montrer();
    fenetre->AjouterFichiers({base + ".avi"}, QStringLiteral("Chargement de fichiers"));
    ASSERT_EQ(fenetre->liste().nombreSelectionnees(), 1);

    EXPECT_TRUE(questionDe(Qt::Key_Q).startsWith("Voulez-vous raccourcir le nom du fichier 'clip_type2.avi'"));
    EXPECT_TRUE(questionDe(Qt::Key_B).contains("clip_type2.avi"));
    EXPECT_EQ(questionDe(Qt::Key_Z), "Voulez-vous vraiment envoyer le fichier " + base + ".scn à la poubelle?");
    EXPECT_EQ(questionDe(Qt::Key_X), "Voulez-vous remplacer le fichier " + base + "_scn.txt déjà existant?");
    EXPECT_TRUE(fenetre->isVisible());
    EXPECT_TRUE(QFile::exists(base + ".avi") && QFile::exists(base + ".scn"));

    // With no clip "Raccourcir le nom" is not offered and Ctrl+Q quits.
    fenetre->liste().Vider();
    fenetre->MajStatut();
    fenetre->MajCommandes();
    appuyer(Qt::Key_Q);
    EXPECT_FALSE(fenetre->isVisible());
}
