// The real main window started with arguments: the switch table at its first
// showing, hidden mode while it is being shown, window mode at its first
// paint after the default playlist, the about panel for "?", and closing.
#include "platform/etat_programme.h"
#include "commands/registre_commandes.h"
#include "platform/preferences.h"
#include "integration/switches.h"
#include "support/fixtures.h"
#include "ui/boite_message_qt.h"
#include "ui/ligne_commande_fenetre.h"
#include "ui/AfficherBase.h"
#include "ui/apropos_frame.h"
#include "ui/assemblage_fenetre.h"
#include "ui/fenetre_essai.h"
#include "ui/main.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

class DemarrageAvecArguments : public FenetreEssai {
protected:
    void SetUp() override
    {
        KORVAN_REQUIRE_FIXTURES();
        FenetreEssai::SetUp();
        sansConfirmation = abandonDemande = abandonTout = false;
    }
    void TearDown() override
    {
        FenetreEssai::TearDown();
        sansConfirmation = abandonDemande = abandonTout = false;
        LibererSwitches();
        tableLigneCommande.clear();
        registreCommandes.clear();
    }

    QString clip(const char* fixture, const QString& nom)
    {
        const QString c = home_.path() + '/' + nom;
        EXPECT_TRUE(QFile::copy(QString::fromStdString(korvan::test::fixture(fixture)), c));
        return c;
    }
    // Settings the window loads when it is first shown.
    void reglages(const QString& cle, const QVariant& valeur)
    {
        QSettings s(home_.path() + "/config/Brannoc/Korvan.conf", QSettings::IniFormat);
        s.setValue(cle, valeur);
    }
    void demarrer(const QStringList& args, const std::function<void(TUIForm&)>& avant = {})
    {
        fenetre = AssemblerFenetre(args);
        if (avant)
            avant(*fenetre);
        ligne = fenetre->pieces().ligneCommande.get();
        fenetre->show();
    }
    // Until the first paint's work is done (the queued command line ends with MajStatut).
    static bool attendre(const std::function<bool()>& fait) { return QTest::qWaitFor(fait, 20000); }
    bool existe(const QString& nom) const { return QFileInfo::exists(home_.path() + '/' + nom); }

    PieceLigneCommande* ligne = nullptr;
};

} // namespace

TEST_F(DemarrageAvecArguments, WindowModeRunsAtTheFirstPaintAfterTheDefaultPlaylist)
{
    // The playlist's clip is listed first, so the switch treats it too.
    const QString liste = clip("pal_t1_43.avi", "liste.avi");
    ASSERT_TRUE(QDir().mkpath(home_.path() + "/listes"));
    QFile pl(home_.path() + "/listes/PlayList.txt");
    ASSERT_TRUE(pl.open(QIODevice::WriteOnly));
    pl.write(("     " + liste + "\r\n").toUtf8());
    pl.close();
    reglages("Sauver Liste en quittant", 1);
    reglages("Sauver préférences en quittant", 0);
    reglages("Dossier des PlayList", home_.path() + "/listes/");

    const QString a = clip("pal_t2_43.avi", "a.avi");
    demarrer({a, "+md"});
    EXPECT_EQ(ligne->issue(), IssueDemarrage::EnAttente);
    EXPECT_EQ(fenetre->liste().nombre(), 0); // nothing before the paint
    ASSERT_TRUE(attendre([&] { return existe("a_14.07.2004_10.31.05.avi") && existe("liste_28.02.2002_23.59.58.avi"); }));
    EXPECT_TRUE(attendre([&] { return fenetre->lb()->model()->rowCount() == 2; }));
    EXPECT_EQ(fenetre->lb()->model()->index(1, 0).data().toString(), "a_14.07.2004_10.31.05.avi");
    EXPECT_FALSE(sansConfirmation);
    EXPECT_TRUE(fenetre->isVisible()); // no "c"
    // The table was built at the first showing, with the about panel's rows.
    EXPECT_FALSE(tableSwitches.isEmpty());
    // Letters whose command is not in this version are refused, not offered there.
    EXPECT_EQ(tableLigneCommande.size(),
              std::count_if(tableSwitches.begin(), tableSwitches.end(), [](const PaireSwitch& p) { return p.disponible; }) + 4);
    fenetre->close();
    EXPECT_TRUE(tableSwitches.isEmpty());
}

TEST_F(DemarrageAvecArguments, CloseLetterClosesTheWindowAfterTheCommands)
{
    const QString a = clip("pal_t2_43.avi", "a.avi");
    demarrer({"+m", a, "+c", "+d"});
    ASSERT_TRUE(attendre([&] { return !fenetre->isVisible(); }));
    EXPECT_TRUE(existe("a_14.07.2004_10.31.05.avi"));
}

TEST_F(DemarrageAvecArguments, HelpShowsTheSystemPageAndRunsNothing)
{
    const QString a = clip("pal_t2_43.avi", "a.avi");
    demarrer({a, "+d", "/?", "+c"});
    ASSERT_TRUE(attendre([&] { return fenetre->panneauAffiche(); }));
    EXPECT_EQ(fenetre->pageApropos(), kPageAproposSysteme);
    EXPECT_TRUE(fenetre->action("afApropos")->isChecked());
    // The panel itself is in front, on the system report.
    ASSERT_NE(fenetre->apropos(), nullptr);
    EXPECT_TRUE(fenetre->apropos()->isVisible());
    EXPECT_EQ(fenetre->apropos()->page(), kPageAproposSysteme);
    EXPECT_FALSE(fenetre->panneau()->isVisible());
    EXPECT_TRUE(fenetre->panneauAffiche());
    EXPECT_TRUE(fenetre->isVisible());
    EXPECT_TRUE(existe("a.avi"));
    EXPECT_EQ(fenetre->liste().nombre(), 1); // the files are still listed
}

TEST_F(DemarrageAvecArguments, HiddenModeRunsWhileTheWindowIsShownAndCloses)
{
    reglages("Sauver préférences en quittant", 0);
    const QString a = clip("pal_t2_43.avi", "a.avi");
    const QString n = clip("pal_no_date.avi", "n.avi");
    demarrer({"/dh", a, n});
    // Everything happened inside show().
    EXPECT_EQ(ligne->issue(), IssueDemarrage::CacheeTerminee);
    EXPECT_FALSE(fenetre->isVisible());
    EXPECT_TRUE(existe("a_14.07.2004_10.31.05.avi"));
    EXPECT_TRUE(existe("n.avi"));
    EXPECT_TRUE(sansConfirmation);
    // Nobody may be at the screen: messages go to the error output.
    auto* boite = dynamic_cast<BoiteMessageQt*>(&fenetre->boite());
    ASSERT_NE(boite, nullptr);
    EXPECT_TRUE(boite->surSortieErreur);
    EXPECT_EQ(boite->montrer(GenreMessage::Erreur, "essai", BoutonsMessage::OuiNon), ReponseMessage::Fermee);
    EXPECT_EQ(boite->montrer(GenreMessage::Information, "essai", BoutonsMessage::OK), ReponseMessage::OK);
}

TEST_F(DemarrageAvecArguments, NoArgumentsLeavesTheWindowAsItIs)
{
    demarrer({});
    EXPECT_EQ(ligne->issue(), IssueDemarrage::SansArguments);
    QApplication::processEvents();
    EXPECT_TRUE(fenetre->isVisible());
    EXPECT_TRUE(fenetre->placeholderVisible());
    EXPECT_FALSE(dynamic_cast<BoiteMessageQt*>(&fenetre->boite())->surSortieErreur);
}

TEST_F(DemarrageAvecArguments, WindowModeShowsARefusedLetterInAnErrorBoxAndRemembersTheFailure)
{
    const QString a = clip("pal_t2_43.avi", "a.avi");
    // Every letter of this version runs something: a conversion without its
    // execution stands for one that is not built.
    demarrer({a, "+mcnd"}, [](TUIForm& f) { f.commandes().Ntsc.OnExecution = {}; });
    // The datecode runs first (its action is before the NTSC conversion's), then comes the refusal;
    // someone reads it and clicks OK. The box waits in an event loop of its own, which a timer reaches.
    QString titre, texte;
    QTimer lecteur;
    QObject::connect(&lecteur, &QTimer::timeout, [&] {
        auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!boite || !titre.isEmpty())
            return;
        titre = boite->windowTitle();
        texte = boite->text();
        boite->buttons().first()->click();
    });
    lecteur.start(20);
    ASSERT_TRUE(attendre([&] { return !titre.isEmpty(); }));
    EXPECT_EQ(titre, "Erreur");
    EXPECT_EQ(texte, "Commande non disponible dans cette version : Convertir en NTSC (+n)");
    ASSERT_TRUE(attendre([&] { return !fenetre->isVisible(); }));
    EXPECT_TRUE(existe("a_14.07.2004_10.31.05.avi"));
    EXPECT_TRUE(ligne->echecs());
}

TEST_F(DemarrageAvecArguments, RunsWithoutFailuresAreNotFailed)
{
    const QString a = clip("pal_t2_43.avi", "a.avi");
    demarrer({a, "+mcd"});
    ASSERT_TRUE(attendre([&] { return !fenetre->isVisible(); }));
    EXPECT_FALSE(ligne->echecs());
    fenetre.reset();
    demarrer({"+hd", home_.path() + "/a_14.07.2004_10.31.05.avi"});
    EXPECT_EQ(ligne->issue(), IssueDemarrage::CacheeTerminee);
    EXPECT_FALSE(ligne->echecs());
}
