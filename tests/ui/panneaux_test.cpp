// The options and about panels and the placeholder in the real window, driven
// as a user drives them: F10 and F1, the boxes typed into and left, the
// buttons, the dialogs, the settings saved and found again at the next start,
// the Send To entry, and the system report.
#include "commands/actions_fenetre.h"
#include "integration/switches.h"
#include "pipelines/presence_filtres.h"
#include "pipelines/rapport_systeme.h"
#include "platform/bureau_temporaire.h"
#include "platform/entree_bureau_valide.h"
#include "platform/etat_programme.h"
#include "platform/preferences.h"
#include "support/fixtures.h"
#include "ui/AfficherBase.h"
#include "ui/apropos_frame.h"
#include "ui/assemblage_fenetre.h"
#include "ui/dialogue_police.h"
#include "ui/fenetre_video.h"
#include "ui/main.h"
#include "ui/options_frame.h"
#include "ui/vide_frame.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <functional>

using namespace korvan;
using namespace korvan::test;

namespace {

using C = ControleOptions;

class Panneaux : public ::testing::Test {
protected:
    void TearDown() override
    {
        fenetre.reset();
        LibererSwitches();
        tableLigneCommande.clear();
    }

    // Starts the window as the program does; the settings as a first run leaves them.
    void demarrer()
    {
        fenetre = AssemblerFenetre();
        fenetre->show();
        QApplication::processEvents();
        fenetre->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(fenetre.get()));
    }
    // The window closed and destroyed, as at the end of the program (settings saved as they say).
    void arreter()
    {
        fenetre->close();
        fenetre.reset();
    }
    void reglage(const QString& cle, const QVariant& valeur)
    {
        QSettings s(fichierReglages(), QSettings::IniFormat);
        s.setValue(cle, valeur);
    }
    QString fichierReglages() const { return bureau_.config() + "/Brannoc/Korvan.conf"; }
    QString entreeEnvoyerVers() const { return bureau_.donnees() + "/applications/Korvan.desktop"; }

    TOptionsFrame& options() { return *fenetre->options(); }
    TAproposFrame& apropos() { return *fenetre->apropos(); }
    template <class W>
    W* w(ControleOptions c)
    {
        auto* x = qobject_cast<W*>(options().controle(c));
        EXPECT_NE(x, nullptr) << descripteur(c).nom;
        return x;
    }
    void touche(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        fenetre->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(fenetre.get()));
        QTest::keyClick(fenetre.get(), k, m);
        QApplication::processEvents();
    }
    // Types into a box as a user does, without leaving it yet.
    void taper(QLineEdit* e, const QString& texte)
    {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, texte);
    }
    // Leaves the box: Return, as a Tab or a click elsewhere does.
    void quitter(QWidget* e) { QTest::keyClick(e, Qt::Key_Return); }
    void saisir(ControleOptions c, const QString& texte)
    {
        taper(w<QLineEdit>(c), texte);
        quitter(w<QLineEdit>(c));
    }
    // Runs f on the modal dialog of type D once it is up.
    template <class D>
    void surDialogue(const std::function<void(D&)>& f)
    {
        auto* guetteur = new QTimer(fenetre.get());
        QObject::connect(guetteur, &QTimer::timeout, guetteur, [guetteur, f] {
            if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) {
                guetteur->stop();
                guetteur->deleteLater();
                f(*d);
            }
        });
        guetteur->start(20);
    }
    void repondre(const QString& bouton)
    {
        surDialogue<QMessageBox>([bouton](QMessageBox& b) {
            for (QAbstractButton* x : b.buttons())
                if (x->text() == bouton)
                    x->click();
        });
    }
    void deposer(const QString& chemin)
    {
        QMimeData donnees;
        donnees.setUrls({QUrl::fromLocalFile(chemin)});
        QDragEnterEvent entree(QPoint(10, 10), Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(fenetre.get(), &entree);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(fenetre.get(), &drop);
    }
    bool apercuPose()
    {
        return fenetre->apercu().etat() == EtatApercu::EnPause && !fenetre->panneau()->vw->imageAffichee().isNull();
    }
    // The report as written: "r" for red lines, then "i" or "g" for the style, then the text.
    QStringList lignesRapport()
    {
        QStringList l;
        for (QTextBlock b = apropos().reApropos->document()->begin(); b.isValid(); b = b.next()) {
            const QTextCharFormat f = b.begin().atEnd() ? b.charFormat() : b.begin().fragment().charFormat();
            l << QString(f.foreground().color() == Qt::red ? "r" : "n") + (f.fontItalic() ? "i" : "")
                     + (f.fontWeight() == QFont::Bold ? "g" : "") + "|" + b.text();
        }
        return l;
    }

    BureauTemporaire bureau_;
    std::unique_ptr<TUIForm> fenetre;
};

} // namespace

TEST_F(Panneaux, F10AndF1ShowOnePanelAtATimeOverTheWindow)
{
    demarrer();
    const int largeur = fenetre->width();
    touche(Qt::Key_F10);
    ASSERT_TRUE(fenetre->optionsAffiche());
    EXPECT_TRUE(options().isVisible());
    EXPECT_FALSE(fenetre->panneau()->isVisible());
    EXPECT_FALSE(fenetre->vide()->isVisible());
    EXPECT_TRUE(fenetre->action("afOptions")->isChecked());
    EXPECT_EQ(options().labTitre->text(), "Korvan 5.3.6 Fr");
    QStringList onglets;
    for (int i = 0; i < options().pages->count(); ++i)
        onglets << options().pages->tabText(i);
    EXPECT_EQ(onglets, QStringList({"Préférences", "Commandes", "Formats", "Dossiers"}));
    EXPECT_EQ(options().btnFermer->text(), "Fermer");
    EXPECT_EQ(options().btnFermer->toolTip(), "Fermer la fenêtre des Options.\nOn peut aussi taper F10 au clavier.");
    // The window takes the panel's width; only "permanent" actions are left, and no menu.
    EXPECT_LT(fenetre->width(), largeur);
    EXPECT_EQ(fenetre->width(), options().width());
    EXPECT_EQ(fenetre->table().etatCategories, QSet<int>({catPermanent}));
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(fenetre->menuPrincipal(i)->menuAction()->isVisible()) << i;

    // F1 while the options show: the about panel instead.
    touche(Qt::Key_F1);
    EXPECT_FALSE(fenetre->optionsAffiche());
    EXPECT_FALSE(fenetre->action("afOptions")->isChecked());
    EXPECT_TRUE(fenetre->aproposAffiche());
    EXPECT_TRUE(apropos().isVisible());
    EXPECT_FALSE(options().isVisible());
    EXPECT_EQ(fenetre->table().etatCategories, QSet<int>({catPermanent}));

    // Its close button works the toggle.
    apropos().btnFermer->click();
    EXPECT_FALSE(fenetre->panneauAffiche());
    EXPECT_FALSE(fenetre->action("afApropos")->isChecked());
    EXPECT_EQ(fenetre->width(), largeur);
    EXPECT_TRUE(fenetre->vide()->isVisible());
    EXPECT_EQ(fenetre->table().etatCategories, QSet<int>({catPermanent, catVide}));
    EXPECT_TRUE(fenetre->menuPrincipal(0)->menuAction()->isVisible());

    touche(Qt::Key_F10);
    options().btnFermer->click();
    EXPECT_FALSE(fenetre->optionsAffiche());
    EXPECT_EQ(fenetre->width(), largeur);
}

TEST_F(Panneaux, EverySettingReachesItsValueWhenSpecifiedAndSurvivesASaveAndARestart)
{
    demarrer();
    touche(Qt::Key_F10);
    const QString h = bureau_.home();
    for (const char* d : {"/ouvrir", "/auto", "/listes", "/sortie"})
        ASSERT_TRUE(QDir().mkpath(h + d));
    struct Cas {
        const char* nom;
        std::function<void()> modifier;
        std::function<QString()> reglage;
        QString attendu;
        bool aussitot; // false: only when the settings are collected
    };
    const Cas cas[] = {
        {"cbPrefsQuittant", [&] { w<QCheckBox>(C::cbPrefsQuittant)->click(); },
         [] { return QString::number(prefSauverPrefsEnQuittant); }, "0", true},
        {"cbSendTo", [&] { w<QCheckBox>(C::cbSendTo)->click(); }, [] { return QString::number(prefSendTo); }, "0", true},
        {"cbSelection", [&] { w<QCheckBox>(C::cbSelection)->click(); },
         [] { return QString::number(prefSelectionOuverture); }, "1", false},
        {"cbListe", [&] { w<QCheckBox>(C::cbListe)->click(); }, [] { return QString::number(prefSauverListeEnQuittant); },
         "1", false},
        {"rgStandard", [&] { options().findChild<QRadioButton*>("rbNtsc")->click(); },
         [] { return QString::number(prefStandard); }, "2", false},
        {"feFichierStillex", [&] { saisir(C::feFichierStillex, "/usr/bin/true"); }, [] { return prefFichierStillex; },
         "/usr/bin/true", false},
        {"cbAutoIncrust", [&] { w<QCheckBox>(C::cbAutoIncrust)->click(); }, [] { return QString::number(prefAutoIncrust); },
         "1", true},
        {"edDureeIncrust", [&] { saisir(C::edDureeIncrust, "12"); }, [] { return QString::number(prefDureeIncrust); }, "12",
         true},
        {"RxSpinEdit1",
         [&] {
             auto* s = w<QSpinBox>(C::RxSpinEdit1);
             s->setFocus();
             s->selectAll();
             QTest::keyClicks(s, "-7");
             QTest::keyClick(s, Qt::Key_Return);
         },
         [] { return QString::number(prefDecalageHoraire); }, "-7", true},
        {"cbAutoFontSize", [&] { w<QCheckBox>(C::cbAutoFontSize)->click(); },
         [] { return QString::number(prefAutoFontSize); }, "0", true},
        {"edAjouter", [&] { saisir(C::edAjouter, "yyyy.mm.dd"); }, [] { return prefFormatAjouter; }, "yyyy.mm.dd", true},
        {"edAfficher", [&] { saisir(C::edAfficher, "dd mmmm yyyy"); }, [] { return prefFormatAfficher; }, "dd mmmm yyyy",
         true},
        {"edRacine", [&] { saisir(C::edRacine, "Vacances_"); }, [] { return prefRacineRenommer; }, "Vacances_", true},
        {"edRenommer", [&] { saisir(C::edRenommer, "yymmdd"); }, [] { return prefFormatRenommer; }, "yymmdd", true},
        {"edDossierOuvrir", [&] { saisir(C::edDossierOuvrir, h + "/ouvrir"); }, [] { return prefDossierOuvrir; },
         h + "/ouvrir/", true},
        {"edDossierAuto", [&] { saisir(C::edDossierAuto, h + "/auto"); }, [] { return prefDossierAuto; }, h + "/auto/", true},
        {"edDossierPlayList", [&] { saisir(C::edDossierPlayList, h + "/listes"); }, [] { return prefDossierPlayList; },
         h + "/listes/", false},
        {"cbsameFolder", [&] { w<QCheckBox>(C::cbsameFolder)->click(); }, [] { return QString::number(prefMemeDossier); },
         "0", true},
        {"edDossierSave", [&] { saisir(C::edDossierSave, h + "/sortie"); }, [] { return prefDossierSave; }, h + "/sortie/",
         true},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const QString avant = c.reglage();
        ASSERT_NE(avant, c.attendu);
        c.modifier();
        EXPECT_EQ(c.reglage(), c.aussitot ? c.attendu : avant);
    }
    // Typed but not left: not yet.
    taper(w<QLineEdit>(C::edAjouter), "dd");
    EXPECT_EQ(prefFormatAjouter, "yyyy.mm.dd");
    quitter(w<QLineEdit>(C::edAjouter));
    EXPECT_EQ(prefFormatAjouter, "dd");
    saisir(C::edAjouter, "yyyy.mm.dd");
    // The box was unticked: the entry went at once.
    EXPECT_FALSE(QFileInfo::exists(entreeEnvoyerVers()));
    // The edited save folder box was enabled by unticking "Convertir dans le même dossier".
    EXPECT_TRUE(w<QLineEdit>(C::edDossierSave)->isEnabled());

    options().btnSauverMaintenant->click();
    for (const Cas& c : cas)
        EXPECT_EQ(c.reglage(), c.attendu) << c.nom;
    arreter();

    // Every box shows the saved value at the next start, and the settings are loaded.
    demarrer();
    for (const Cas& c : cas)
        EXPECT_EQ(c.reglage(), c.attendu) << c.nom;
    EXPECT_FALSE(w<QCheckBox>(C::cbPrefsQuittant)->isChecked());
    EXPECT_FALSE(w<QCheckBox>(C::cbSendTo)->isChecked());
    EXPECT_TRUE(w<QCheckBox>(C::cbSelection)->isChecked());
    EXPECT_TRUE(w<QCheckBox>(C::cbListe)->isChecked());
    EXPECT_TRUE(options().findChild<QRadioButton*>("rbNtsc")->isChecked());
    EXPECT_EQ(w<QLineEdit>(C::feFichierStillex)->text(), "/usr/bin/true");
    EXPECT_TRUE(w<QCheckBox>(C::cbAutoIncrust)->isChecked());
    EXPECT_TRUE(w<QLineEdit>(C::edDureeIncrust)->isEnabled());
    EXPECT_EQ(w<QLineEdit>(C::edDureeIncrust)->text(), "12");
    EXPECT_EQ(w<QSpinBox>(C::RxSpinEdit1)->value(), -7);
    EXPECT_FALSE(w<QCheckBox>(C::cbAutoFontSize)->isChecked());
    EXPECT_EQ(w<QLineEdit>(C::edAjouter)->text(), "yyyy.mm.dd");
    EXPECT_EQ(w<QLineEdit>(C::edAfficher)->text(), "dd mmmm yyyy");
    EXPECT_EQ(w<QLineEdit>(C::edRacine)->text(), "Vacances_");
    EXPECT_EQ(w<QLineEdit>(C::edRenommer)->text(), "yymmdd");
    EXPECT_EQ(w<QLineEdit>(C::edDossierOuvrir)->text(), h + "/ouvrir/");
    EXPECT_EQ(w<QLineEdit>(C::edDossierAuto)->text(), h + "/auto/");
    EXPECT_EQ(w<QLineEdit>(C::edDossierPlayList)->text(), h + "/listes/");
    EXPECT_FALSE(w<QCheckBox>(C::cbsameFolder)->isChecked());
    EXPECT_EQ(w<QLineEdit>(C::edDossierSave)->text(), h + "/sortie/");
    EXPECT_TRUE(w<QLineEdit>(C::edDossierSave)->isEnabled());
    // The Send To entry stayed away: the setting is off.
    EXPECT_FALSE(QFileInfo::exists(entreeEnvoyerVers()));
}

TEST_F(Panneaux, SelectAtOpeningIsReadFromItsBoxAtEachAddedFile)
{
    KORVAN_REQUIRE_FIXTURES();
    demarrer();
    w<QCheckBox>(C::cbSelection)->click();
    ASSERT_FALSE(prefSelectionOuverture); // stored only when collected
    deposer(QString::fromStdString(fixture("pal_t2_43.avi")));
    deposer(QString::fromStdString(fixture("pal_t1_43.avi")));
    EXPECT_EQ(fenetre->liste().nombreSelectionnees(), 2);
    w<QCheckBox>(C::cbSelection)->click();
    deposer(QString::fromStdString(fixture("ntsc_t2_43.avi")));
    EXPECT_EQ(fenetre->liste().nombreSelectionnees(), 2);
}

TEST_F(Panneaux, SaveNowThenQuittingDoesNotSaveAgain)
{
    demarrer();
    options().btnSauverMaintenant->click();
    EXPECT_FALSE(prefSauverPrefsEnQuittant);
    EXPECT_TRUE(w<QCheckBox>(C::cbPrefsQuittant)->isChecked()); // the box keeps its state
    const QByteArray sauve = lireFichier(fichierReglages());
    ASSERT_FALSE(sauve.isEmpty());
    saisir(C::edAjouter, "yyyy");
    arreter();
    EXPECT_EQ(lireFichier(fichierReglages()), sauve);

    // Ticking the box again brings the save at exit back.
    demarrer();
    options().btnSauverMaintenant->click();
    w<QCheckBox>(C::cbPrefsQuittant)->click();
    w<QCheckBox>(C::cbPrefsQuittant)->click();
    EXPECT_TRUE(prefSauverPrefsEnQuittant);
    saisir(C::edAjouter, "yyyy");
    arreter();
    EXPECT_EQ(QSettings(fichierReglages(), QSettings::IniFormat).value("Format pour Ajouter Datecode").toString(), "yyyy");
}

TEST_F(Panneaux, EraseAnsweredNoStillUnticksTheQuitBox)
{
    demarrer();
    options().btnSauverMaintenant->click();
    w<QCheckBox>(C::cbPrefsQuittant)->click();
    w<QCheckBox>(C::cbPrefsQuittant)->click();
    ASSERT_TRUE(prefSauverPrefsEnQuittant);
    const QByteArray sauve = lireFichier(fichierReglages());

    repondre("&Non");
    options().btnEffacer->click();
    EXPECT_FALSE(w<QCheckBox>(C::cbPrefsQuittant)->isChecked());
    EXPECT_FALSE(prefSauverPrefsEnQuittant);
    EXPECT_EQ(lireFichier(fichierReglages()), sauve);
    arreter();
    EXPECT_EQ(lireFichier(fichierReglages()), sauve); // not written at exit either

    // Answered Yes: gone, and not written back at exit, so the next start uses the defaults.
    demarrer();
    saisir(C::edAjouter, "yyyy");
    w<QCheckBox>(C::cbPrefsQuittant)->click();
    w<QCheckBox>(C::cbPrefsQuittant)->click();
    ASSERT_TRUE(prefSauverPrefsEnQuittant);
    QString message;
    repondre("&Oui");
    surDialogue<QMessageBox>([&message](QMessageBox& b) {
        if (b.text().contains("effacé")) {
            message = b.text();
            b.buttons().first()->click();
        }
    });
    options().btnEffacer->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !message.isEmpty() || !QApplication::activeModalWidget(); }, 3000));
    EXPECT_FALSE(QFileInfo::exists(fichierReglages()));
    arreter();
    EXPECT_FALSE(QFileInfo::exists(fichierReglages()));
    demarrer();
    EXPECT_EQ(prefFormatAjouter, "dd.mm.yyyy_hh.nn.ss");
}

TEST_F(Panneaux, SpaceBarTypesInThePanelAndPlaysAgainOnceItIsHidden)
{
    KORVAN_REQUIRE_FIXTURES();
    demarrer();
    deposer(QString::fromStdString(fixture("pal_t2_43.avi")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return apercuPose(); }, 5000));

    touche(Qt::Key_F10);
    QCheckBox* liste = w<QCheckBox>(C::cbListe);
    const bool avant = liste->isChecked();
    liste->setFocus();
    QTest::keyClick(liste, Qt::Key_Space);
    EXPECT_NE(liste->isChecked(), avant); // the space went to the box
    touche(Qt::Key_Space);
    QTest::qWait(100);
    EXPECT_EQ(fenetre->apercu().etat(), EtatApercu::EnPause);
    EXPECT_TRUE(fenetre->action("avPlayStop")->shortcuts().isEmpty());

    touche(Qt::Key_F10);
    EXPECT_EQ(fenetre->action("avPlayStop")->shortcut(), QKeySequence(Qt::Key_Space));
    touche(Qt::Key_Space);
    EXPECT_EQ(fenetre->apercu().etat(), EtatApercu::EnLecture);
}

TEST_F(Panneaux, AMissingSaveFolderSendsConversionsBesideTheSourceWhileTheBoxKeepsTheStoredChoice)
{
    const QString parti = bureau_.home() + "/disque externe/";
    reglage("Sauver dans le même dossier", 0);
    reglage("Dossier pour Sauver", parti);
    demarrer();
    EXPECT_TRUE(prefMemeDossier);
    EXPECT_FALSE(w<QCheckBox>(C::cbsameFolder)->isChecked());
    EXPECT_TRUE(w<QLineEdit>(C::edDossierSave)->isEnabled());
    EXPECT_EQ(w<QLineEdit>(C::edDossierSave)->text(), parti);
    // Saved again, the choice is the user's, not the fallback.
    options().btnSauverMaintenant->click();
    QSettings s(fichierReglages(), QSettings::IniFormat);
    EXPECT_EQ(s.value("Sauver dans le même dossier").toInt(), 0);
    EXPECT_EQ(s.value("Dossier pour Sauver").toString(), parti);
}

TEST_F(Panneaux, HourOffsetBoxStaysWithinItsRange)
{
    reglage("Décalage Horaire", 22);
    demarrer();
    touche(Qt::Key_F10);
    auto* s = w<QSpinBox>(C::RxSpinEdit1);
    EXPECT_EQ(s->value(), 22);
    s->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(s, Qt::Key_Up);
    EXPECT_EQ(s->value(), 23);
    EXPECT_EQ(prefDecalageHoraire, 23);
    s->selectAll();
    QTest::keyClicks(s, "-99");
    QTest::keyClick(s, Qt::Key_Return);
    EXPECT_GE(prefDecalageHoraire, -23);
    EXPECT_LE(prefDecalageHoraire, 23);
    EXPECT_EQ(s->value(), prefDecalageHoraire);
    for (int i = 0; i < 60; ++i)
        QTest::keyClick(s, Qt::Key_Down);
    EXPECT_EQ(prefDecalageHoraire, -23);
}

TEST_F(Panneaux, WithoutTheOverlayFiltersTheGroupGivesWayToItsText)
{
    for (const bool absent : {false, true}) {
        SCOPED_TRACE(absent);
        bureau_.poser(kVariableFiltresAbsents, absent ? std::optional<QString>("Brannoc TimeStamper") : std::nullopt);
        demarrer();
        touche(Qt::Key_F10);
        EXPECT_EQ(options().gbIncrustation->isVisible(), !absent);
        EXPECT_EQ(options().labSansIncrustation->isVisible(), absent);
        EXPECT_EQ(options().labSansIncrustation->text(),
                  "Les filtres de Brannoc pour l'incrustation ne sont pas installés sur votre sytème, donc vous ne pourrez "
                  "pas faire d'incrustations dans l'image.\nPour installer ces filtres, téléchargez la dernière version de "
                  "Korvan sur mon site web et faites une installation complète.");
        arreter();
    }
}

TEST_F(Panneaux, OverlaySettingsRedrawTheStillPicture)
{
    KORVAN_REQUIRE_FIXTURES();
    reglage("is Incrust On", 1);
    demarrer();
    deposer(QString::fromStdString(fixture("pal_t2_43.avi")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return apercuPose(); }, 5000));
    FenetreVideo* vw = fenetre->panneau()->vw;
    auto apres = [&](const std::function<void()>& changer) {
        const int n = vw->imagesAffichees();
        const QImage avant = vw->imageAffichee();
        changer();
        EXPECT_TRUE(QTest::qWaitFor([&] { return vw->imagesAffichees() > n; }, 3000));
        return avant != vw->imageAffichee();
    };
    touche(Qt::Key_F10);
    EXPECT_TRUE(apres([&] { saisir(C::edAfficher, "yyyy"); }));
    EXPECT_TRUE(apres([&] { saisir(C::edAfficher, "hh:nn:ss"); }));
    EXPECT_TRUE(apres([&] {
        surDialogue<DialoguePolice>([](DialoguePolice& d) {
            d.definirCouleur(Qt::red);
            d.accept();
        });
        w<QPushButton>(C::sbIncrustFont)->click();
    }));
    EXPECT_EQ(prefIncrustFont.couleur, 0x0000FFu);
    EXPECT_TRUE(apres([&] {
        auto* s = w<QSpinBox>(C::RxSpinEdit1);
        s->setFocus();
        QTest::keyClick(s, Qt::Key_Up);
    }));
    EXPECT_EQ(prefDecalageHoraire, 1);
    // A change that does not show on this still picture still redraws it.
    const int n = vw->imagesAffichees();
    w<QCheckBox>(C::cbAutoFontSize)->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return vw->imagesAffichees() > n; }, 3000));
}

TEST_F(Panneaux, FontDialogConfirmedOrCancelled)
{
    demarrer();
    touche(Qt::Key_F10);
    const PoliceIncrust avant = prefIncrustFont;
    surDialogue<DialoguePolice>([](DialoguePolice& d) { d.reject(); });
    w<QPushButton>(C::sbIncrustFont)->click();
    EXPECT_EQ(prefIncrustFont, avant);
    // Confirmed as it opened: the font stays as it was, bold and all, even
    // when its face ("Arial") is not on this system and another stands in.
    surDialogue<DialoguePolice>([](DialoguePolice& d) { d.accept(); });
    w<QPushButton>(C::sbIncrustFont)->click();
    EXPECT_EQ(prefIncrustFont, avant);
    prefIncrustFont.italique = true;
    surDialogue<DialoguePolice>([](DialoguePolice& d) { d.accept(); });
    w<QPushButton>(C::sbIncrustFont)->click();
    EXPECT_TRUE(prefIncrustFont.gras && prefIncrustFont.italique);
    prefIncrustFont = avant;

    const PoliceIncrust voulue{24, 0x00FF00, QStringLiteral("DejaVu Serif"), false, true, true, true};
    QString titre;
    surDialogue<DialoguePolice>([&](DialoguePolice& d) {
        titre = d.windowTitle();
        d.definirPolice(voulue);
        d.accept();
    });
    w<QPushButton>(C::sbIncrustFont)->click();
    EXPECT_EQ(titre, "Police de l'incrustation");
    EXPECT_EQ(prefIncrustFont, voulue);
    options().btnSauverMaintenant->click();
    arreter();
    demarrer();
    EXPECT_EQ(prefIncrustFont, voulue);
}

TEST_F(Panneaux, ChosenFolderBecomesTheBoxsTextAndTheSetting)
{
    demarrer();
    touche(Qt::Key_F10);
    const QString choisi = bureau_.home() + "/choisi";
    ASSERT_TRUE(QDir().mkpath(choisi));
    w<QCheckBox>(C::cbsameFolder)->click();
    ASSERT_TRUE(options().parcourir(C::edDossierSave)->isEnabled());
    for (const ControleOptions c : {C::edDossierSave, C::edDossierOuvrir, C::edDossierAuto, C::edDossierPlayList}) {
        SCOPED_TRACE(descripteur(c).nom);
        surDialogue<QFileDialog>([choisi](QFileDialog& d) {
            d.setDirectory(choisi);
            QMetaObject::invokeMethod(&d, "accept"); // as its "Choisir" button does
        });
        options().parcourir(c)->click();
        EXPECT_EQ(w<QLineEdit>(c)->text(), choisi);
    }
    EXPECT_EQ(prefDossierSave, choisi + '/');
    EXPECT_EQ(prefDossierOuvrir, choisi + '/');
    EXPECT_EQ(prefDossierAuto, choisi + '/');
    EXPECT_NE(prefDossierPlayList, choisi + '/'); // collected only
    options().btnSauverMaintenant->click();
    EXPECT_EQ(prefDossierPlayList, choisi + '/');
}

TEST_F(Panneaux, FirstRunCreatesTheSendToEntryAndUntickingRemovesItForGood)
{
    ASSERT_FALSE(QFileInfo::exists(fichierReglages()));
    demarrer();
    ASSERT_TRUE(QFileInfo(entreeEnvoyerVers()).isFile());
    verifierEntreeValide(entreeEnvoyerVers());
    EXPECT_TRUE(w<QCheckBox>(C::cbSendTo)->isChecked());
    arreter();
    EXPECT_TRUE(QFileInfo(fichierReglages()).isFile()); // saved at exit, as a first run's settings say

    // Deleted by hand, it comes back at the next start while the setting is on.
    ASSERT_TRUE(QFile::remove(entreeEnvoyerVers()));
    demarrer();
    EXPECT_TRUE(QFileInfo(entreeEnvoyerVers()).isFile());
    touche(Qt::Key_F10);
    w<QCheckBox>(C::cbSendTo)->click();
    EXPECT_FALSE(QFileInfo::exists(entreeEnvoyerVers()));
    arreter();
    demarrer();
    EXPECT_FALSE(QFileInfo::exists(entreeEnvoyerVers()));
    EXPECT_FALSE(w<QCheckBox>(C::cbSendTo)->isChecked());
}

TEST_F(Panneaux, CommandesPageSwitchesCommandsOffAndKeepsTheChoice)
{
    KORVAN_REQUIRE_FIXTURES();
    demarrer();
    deposer(QString::fromStdString(fixture("pal_t2_43.avi")));
    QAbstractItemModel* m = options().RxCheckListBox1->model();
    ASSERT_EQ(m->rowCount(), qsizetype(fenetre->table().itemsCommandes.size()));
    auto ligne = [&](const QString& texte) {
        for (int i = 0; i < m->rowCount(); ++i)
            if (m->index(i, 0).data().toString() == texte)
                return m->index(i, 0);
        ADD_FAILURE() << texte.toStdString();
        return QModelIndex();
    };
    const QModelIndex parent = ligne("Dossier parent (Ctrl+F)");
    const QModelIndex quitter = ligne("Quitter (Alt+F4)");
    EXPECT_EQ(parent.data(Qt::CheckStateRole).toInt(), Qt::Checked);
    // "af" actions cannot be switched off.
    EXPECT_FALSE(m->flags(quitter) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(m->setData(quitter, Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(quitter.data(Qt::CheckStateRole).toInt(), Qt::Checked);

    ASSERT_TRUE(fenetre->action("amDossierParent")->isVisible());
    ASSERT_TRUE(m->setData(parent, Qt::Unchecked, Qt::CheckStateRole));
    fenetre->MajCommandes();
    EXPECT_FALSE(fenetre->action("amDossierParent")->isVisible());
    options().btnSelectionnerTout->click();
    EXPECT_EQ(parent.data(Qt::CheckStateRole).toInt(), Qt::Checked);
    fenetre->MajCommandes();
    EXPECT_TRUE(fenetre->action("amDossierParent")->isVisible());

    // Switched off, saved, still off at the next start.
    ASSERT_TRUE(m->setData(parent, Qt::Unchecked, Qt::CheckStateRole));
    options().btnSauverMaintenant->click();
    EXPECT_TRUE(etatActions.contains(EtatAction{"amDossierParent", 0}));
    arreter();
    demarrer();
    deposer(QString::fromStdString(fixture("pal_t2_43.avi")));
    m = options().RxCheckListBox1->model();
    EXPECT_EQ(ligne("Dossier parent (Ctrl+F)").data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_FALSE(fenetre->action("amDossierParent")->isVisible());
}

TEST_F(Panneaux, SavedWindowPlaceIsApplied)
{
    demarrer();
    const QRect zone = fenetre->screen()->availableGeometry();
    arreter();
    const QPoint place(zone.left() + 70, zone.top() + 50);
    reglage("Left", place.x());
    reglage("Top", place.y());
    demarrer();
    EXPECT_EQ(fenetre->pos(), place);
    // Moved, then saved at exit: found there again.
    fenetre->move(place + QPoint(30, 20));
    arreter();
    demarrer();
    EXPECT_EQ(fenetre->pos(), place + QPoint(30, 20));
}

TEST_F(Panneaux, AboutPanelPagesInOrderWithTheReportAndTheCommandLineTable)
{
    demarrer();
    touche(Qt::Key_F1);
    ASSERT_TRUE(apropos().isVisible());
    EXPECT_EQ(apropos().labTitre->text(), "Korvan 5.3.6 Fr");
    QStringList onglets;
    for (int i = 0; i < apropos().pages->count(); ++i)
        onglets << apropos().pages->tabText(i);
    EXPECT_EQ(onglets, QStringList({"A propos...", "Système", "Ligne de commande", "Plugs-in"}));
    // No plug-in is loaded: its tab is hidden.
    EXPECT_FALSE(apropos().pages->isTabVisible(TAproposFrame::PagePlugins));
    EXPECT_EQ(apropos().page(), TAproposFrame::PageApropos);
    EXPECT_TRUE(apropos().reAbout->toPlainText().trimmed().endsWith("Sa dernière mise à jour date du 20/11/2005."));
    EXPECT_EQ(apropos().btnFermer->toolTip(), "Quitter la fenêtre \"A propos\" et revenir au programme.");

    // The report, written at start-up, as the core gives its lines.
    QStringList attendu;
    for (const LigneRapportSysteme& l : LignesRapportSysteme())
        attendu << QString(l.rouge ? "r" : "n") + (l.style == StyleRapport::Italique ? "i" : "g") + "|" + l.texte;
    EXPECT_EQ(lignesRapport(), attendu);
    EXPECT_EQ(apropos().reApropos->document()->defaultFont().family(), "Arial");
    EXPECT_TRUE(apropos().reApropos->isReadOnly());

    // The command-line table: one row per row built at start-up, under its two titles.
    const QAbstractItemModel* t = apropos().tableSwitches->model();
    EXPECT_EQ(t->headerData(0, Qt::Horizontal).toString(), "Fonction");
    EXPECT_EQ(t->headerData(1, Qt::Horizontal).toString(), "Touches");
    ASSERT_EQ(t->rowCount(), tableLigneCommande.size());
    ASSERT_GE(t->rowCount(), 4);
    for (int i = 0; i < t->rowCount(); ++i) {
        EXPECT_EQ(t->index(i, 0).data().toString(), tableLigneCommande[i].fonction);
        EXPECT_EQ(t->index(i, 1).data().toString(), tableLigneCommande[i].touches);
    }
    QStringList fonctions;
    for (int i = 0; i < t->rowCount(); ++i)
        fonctions << t->index(i, 0).data().toString() + "=" + t->index(i, 1).data().toString();
    EXPECT_TRUE(fonctions.contains("Aide= +?"));
    EXPECT_TRUE(fonctions.contains("Ajouter le datecode= +d"));
    EXPECT_EQ(apropos().tableSwitches->toolTip(), "Liste des options de ligne de commandes.");
    EXPECT_TRUE(apropos().labAideLigne->text().startsWith("\n\nOn peut lancer\nle programme\n"));

    // The page left is the page found again.
    apropos().pages->setCurrentIndex(TAproposFrame::PageLigneCommande);
    touche(Qt::Key_F1);
    touche(Qt::Key_F1);
    EXPECT_EQ(apropos().page(), TAproposFrame::PageLigneCommande);
}

TEST_F(Panneaux, ReportWithOneFilterMarkedAbsentHasExactlyThatLineRed)
{
    auto rouges = [&] {
        QStringList r;
        for (const QString& l : lignesRapport())
            if (l.startsWith('r'))
                r << l.section('|', 1);
        return r;
    };
    demarrer();
    const QStringList machine = rouges(); // what this machine lacks anyway (a sound output, say)
    arreter();
    ASSERT_FALSE(machine.contains("Le filtre WavDest est absent."));
    bureau_.poser(kVariableFiltresAbsents, QStringLiteral("WAV Dest"));
    demarrer();
    EXPECT_EQ(rouges(), machine + QStringList{"Le filtre WavDest est absent."});
    EXPECT_EQ(lignesRapport().size(), 17);
}

TEST_F(Panneaux, PluginPageShowsOnlyWithPlugins)
{
    demarrer();
    TAproposFrame& a = apropos();
    EXPECT_FALSE(a.pagePluginsVisible());
    using S = LignePlugins::Style;
    a.AfficherPlugins({{"Korvan utilise les plug-ins suivants:", S::Italique}, {"", S::Italique},
                       {"outils.qzp (2 actions):", S::GrasSouligne}, {"Outils 1.0", S::Normal},
                       {"Deux commandes de plus", S::Italique}, {"", S::Italique}});
    EXPECT_TRUE(a.pagePluginsVisible());
    EXPECT_EQ(a.rePlugins->toPlainText(),
              "Korvan utilise les plug-ins suivants:\n\noutils.qzp (2 actions):\nOutils 1.0\nDeux commandes de plus\n\n");
    a.ViderPlugins();
    EXPECT_FALSE(a.pagePluginsVisible());
    EXPECT_TRUE(a.rePlugins->toPlainText().isEmpty());
}

TEST_F(Panneaux, PlaceholderShowsItsParagraphsAndTheWindowsMenu)
{
    KORVAN_REQUIRE_FIXTURES();
    demarrer();
    TVideFrame* v = fenetre->vide();
    ASSERT_TRUE(v->isVisible());
    EXPECT_EQ(v->toPlainText(),
              "Glissez par drag & drop un ou plusieurs fichiers sur cette fenêtre.\n\n"
              "Vous pouvez aussi ouvrir ou coller des fichiers par la barre d'outils, \n\n"
              "On peut ouvrir tous les fichiers avi du système par Ctrl+F7.\n\n"
              "Seuls les fichiers *.avi seront traités, les autres seront ignorés.\n\n"
              "Tapez F10 pour modifier les Options, F1 pour l'Aide. La liste des commandes disponibles avec leurs "
              "raccourcis clavier est dans le panneau des Options (F10).");
    EXPECT_EQ(v->font().family(), "Arial");
    EXPECT_TRUE(v->isReadOnly());
    QStringList menu;
    for (QAction* a : v->actions())
        menu << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    EXPECT_EQ(menu, TUIForm::entreesMenuFenetre());
    EXPECT_EQ(v->contextMenuPolicy(), Qt::ActionsContextMenu);

    deposer(QString::fromStdString(fixture("pal_t2_43.avi")));
    EXPECT_FALSE(v->isVisible());
    fenetre->action("afViderListe")->trigger();
    EXPECT_TRUE(v->isVisible());
}
