// The header-fix dialogs, the RIFF report window and the overlay toggles in
// the real window, driven as a user would: keys and clicks in the dialogs,
// the files' bytes checked afterwards on copies of the fixtures.
#include "analysis/dateheure.h"
#include "analysis/file_io.h"
#include "analysis/fpsunit.h"
#include "analysis/reglages_format.h"
#include "analysis/riffunit.h"
#include "platform/etat_programme.h"
#include "platform/identite_programme.h"
#include "platform/controles_options.h"
#include "platform/preferences.h"
#include "support/acces_ordinaire.h"
#include "support/entetes_fichier.h"
#include "support/fixtures.h"
#include "ui/AfficherBase.h"
#include "ui/assemblage_fenetre.h"
#include "ui/fenetre_essai.h"
#include "ui/codecformunit.h"
#include "ui/fenetre_video.h"
#include "ui/frequenceformunit.h"
#include "ui/main.h"
#include "ui/riffform.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <sys/stat.h>

using namespace korvan;
using namespace korvan::test;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// Plays the user's part in the modal boxes and dialogs as they open, one
// gesture per showing; a dialog nobody expected is closed and noted.
class Utilisateur : public QObject {
public:
    using Geste = std::function<void(QDialog*)>;
    explicit Utilisateur(std::deque<Geste> gestes) : gestes_(std::move(gestes))
    {
        connect(&t_, &QTimer::timeout, this, [this] { regarder(); });
        t_.start(10);
    }
    int inattendus = 0;
    bool fini() const { return gestes_.empty(); }

private:
    void regarder()
    {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d || d == enCours_)
            return;
        enCours_ = d;
        connect(d, &QDialog::finished, this, [this] { enCours_ = nullptr; }, Qt::SingleShotConnection);
        if (gestes_.empty()) {
            ++inattendus;
            d->reject();
            return;
        }
        const Geste g = gestes_.front();
        gestes_.pop_front();
        g(d);
    }

    std::deque<Geste> gestes_;
    QTimer t_;
    QPointer<QDialog> enCours_;
};

// What a dialog showed when it opened.
struct Vu {
    int item = -2;
    bool editionActive = false;
    QString texte;
    QString titre;
};

class EntetesFenetre : public FenetreEssai {
protected:
    void SetUp() override
    {
        KORVAN_REQUIRE_FIXTURES();
        FenetreEssai::SetUp();
        definirReglagesFormat(ReglagesFormat::francais());
        ouvrirFenetre();
    }
    void TearDown() override
    {
        FenetreEssai::TearDown();
        definirReglagesFormat(ReglagesFormat::utilisateur());
        prefIncrustOn = false;
        prefSlidersVisible = false;
    }
    void deposer(const QStringList& chemins)
    {
        FenetreEssai::deposer(chemins);
        QApplication::processEvents();
    }
    // Triggers the action as its key would, with someone answering.
    void lancer(const char* action, std::deque<Utilisateur::Geste> gestes)
    {
        Utilisateur u(std::move(gestes));
        fenetre->MajCommandes();
        QAction* a = fenetre->action(action);
        ASSERT_TRUE(a);
        ASSERT_TRUE(a->isEnabled()) << action;
        a->trigger();
        EXPECT_TRUE(u.fini()) << "dialogs that did not open";
        EXPECT_EQ(u.inattendus, 0);
    }
    QString copie(const char* fixtureNom, const char* nom) { return q(dir.copyFixture(fixtureNom, nom)); }

    // A gesture in a header-fix dialog: note what it shows, click the item
    // (none: -1), type the text into the edit (none: empty), then OK or Annuler.
    static Utilisateur::Geste dans(Vu* vu, int item, const QString& texte, bool ok = true)
    {
        return [=](QDialog* d) {
            auto* dc = dynamic_cast<DialogueChoix*>(d);
            ASSERT_TRUE(dc) << "not a header-fix dialog";
            if (vu)
                *vu = {dc->rg->checkedId(), dc->le->isEnabled(), dc->le->text(), dc->windowTitle()};
            if (item >= 0) {
                // On the round mark: a radio button takes clicks on its mark and text only.
                QAbstractButton* r = dc->rg->button(item);
                QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(6, r->height() / 2));
            }
            if (!texte.isNull()) {
                dc->le->selectAll();
                QTest::keyClicks(dc->le, texte);
            }
            QTest::mouseClick(ok ? dc->ok : dc->annuler, Qt::LeftButton);
        };
    }
    // A message box: note its title and text, press the button.
    static Utilisateur::Geste boite(QString* titre, QString* texte, const QString& bouton)
    {
        return [=](QDialog* d) {
            auto* b = qobject_cast<QMessageBox*>(d);
            ASSERT_TRUE(b) << "not a message box";
            *titre = b->windowTitle();
            *texte = b->text();
            for (QAbstractButton* x : b->buttons())
                if (x->text() == bouton) {
                    x->click();
                    return;
                }
            ADD_FAILURE() << "no button " << bouton.toStdString();
            b->reject();
        };
    }

    ScratchDir dir;
};


} // namespace

TEST_F(EntetesFenetre, FrequencyDialogHasItsTextsAndEnablingRule)
{
    auto* f = fenetre->findChild<TFrequenceForm*>();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->windowTitle(), "Corriger la fréquence vidéo");
    QStringList textes;
    for (const QLabel* l : f->findChildren<QLabel*>())
        textes << l->text();
    EXPECT_EQ(textes, (QStringList{"Indiquez la bonne fréquence vidéo en images/sec.", "La fréquence audio sera inchangée.",
                                   "Fréquence personnalisée", "images/sec"}));
    QStringList items;
    for (QAbstractButton* b : f->rg->buttons())
        items << b->text();
    EXPECT_EQ(items, (QStringList{"25 images/sec (Pal)", "29,97 images/sec (NTSC)", "personnalisé"}));
    EXPECT_EQ(f->findChild<QGroupBox*>("rgFreq"), f->groupe);
    EXPECT_EQ(f->le->toolTip(),
              "Indiquez la fréquence par un nombre décimal\r\n(noté avec une virgule pour un système français).");
    EXPECT_EQ(f->ok->text(), "OK");
    EXPECT_EQ(f->ok->toolTip(), "Valider les changements de framerate effectués.");
    EXPECT_EQ(f->annuler->text(), "Annuler");
    EXPECT_EQ(f->annuler->toolTip(), "Abandonner la commande \"Corriger le framerate\" \r\nsans effectuer de modification.");
    EXPECT_EQ(f->choix(), -1);
    EXPECT_FALSE(f->le->isEnabled());
    f->choisir(2);
    EXPECT_TRUE(f->le->isEnabled());
    f->choisir(0);
    EXPECT_FALSE(f->le->isEnabled());

    auto* c = fenetre->findChild<TCodecForm*>();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->windowTitle(), "Corriger le codec vidéo");
    textes.clear();
    for (const QLabel* l : c->findChildren<QLabel*>())
        textes << l->text();
    EXPECT_EQ(textes, (QStringList{"Indiquez le codec souhaité", "Codec personnalisé", "(4 caractères)"}));
    items.clear();
    for (QAbstractButton* b : c->rg->buttons())
        items << b->text();
    EXPECT_EQ(items, (QStringList{"dvsd (Microsoft)", "dsvd", "CDVC (Canopus)", "personnalisé"}));
    EXPECT_EQ(c->findChild<QGroupBox*>("rgCodec"), c->groupe);
}

TEST_F(EntetesFenetre, NtscClipOpensOnNtscAndTheLocaleDecidesWhatATypedRateIs)
{
    const QString ntsc = copie("ntsc_t2_43.avi", "ntsc.avi");
    deposer({ntsc});
    ASSERT_EQ(echelleDe(ntsc), (Echelle{1001, 30000}));
    const std::string avant = readWholeFile(ntsc.toStdString());
    Vu premier, second;
    // "29.97" is no number in French: the dialog closes and nothing is written.
    lancer("amCorrigerFps", {dans(&premier, 2, QStringLiteral("29.97"))});
    EXPECT_EQ(premier.titre, "Corriger la fréquence vidéo");
    EXPECT_EQ(premier.item, 1);
    EXPECT_FALSE(premier.editionActive);
    EXPECT_TRUE(readWholeFile(ntsc.toStdString()) == avant);
    EXPECT_EQ(echelleDe(ntsc), (Echelle{1001, 30000}));
    lancer("amCorrigerFps", {dans(&second, -1, QStringLiteral("29,97"))});
    // The previous choice and text come back.
    EXPECT_EQ(second.item, 2);
    EXPECT_TRUE(second.editionActive);
    EXPECT_EQ(second.texte, "29.97");
    EXPECT_EQ(echelleDe(ntsc), (Echelle{33367, 1'000'000}));
    // The entry was read again: the panel shows the file's rate.
    ASSERT_TRUE(attendre([&] { return fenetre->panneau()->labFPS->text() == "29,97"; }));
    EXPECT_EQ(fenetre->liste().entreeCourante()->chemin, ntsc);
}

TEST_F(EntetesFenetre, A30FpsClipOpensOnTheEmptyCustomItem)
{
    const QString clip = copie("pal_t2_43.avi", "trente.avi");
    EcrireFrequence(clip.toStdString(), 30);
    deposer({clip});
    Vu vu;
    lancer("amCorrigerFps", {dans(&vu, -1, QString(), false)});
    EXPECT_EQ(vu.item, 2);
    EXPECT_TRUE(vu.editionActive);
    EXPECT_EQ(vu.texte, "");
    EXPECT_EQ(echelleDe(clip), (Echelle{33333, 1'000'000}));
}

TEST_F(EntetesFenetre, CustomCodecAbWritesABAndTwoZeros)
{
    const QString clip = copie("pal_t2_43.avi", "ab.avi");
    deposer({clip});
    const std::string avant = readWholeFile(clip.toStdString());
    const int64_t position = LocaliserEntetes(clip.toStdString()).positionCodec;
    Vu vu;
    lancer("amCorrigerCodec", {dans(&vu, 3, QStringLiteral("ab"))});
    EXPECT_EQ(vu.titre, "Corriger le codec vidéo");
    EXPECT_EQ(vu.item, 0);
    std::string attendu = avant;
    attendu.replace(size_t(position), 4, std::string("ab\0\0", 4));
    EXPECT_TRUE(readWholeFile(clip.toStdString()) == attendu) << "only the handler code changed";
    ASSERT_TRUE(attendre([&] { return fenetre->panneau()->LabCodec->text().startsWith("ab"); }));
    EXPECT_EQ(fenetre->liste().entreeCourante()->codec, std::string("ab\0\0", 4));
}

TEST_F(EntetesFenetre, ReadOnlyFileIsCorrectedAfterItsQuestionAndStaysReadOnly)
{
    const QString clip = copie("pal_t2_43.avi", "ro.avi");
    ASSERT_EQ(::chmod(clip.toLocal8Bit().constData(), 0444), 0);
    deposer({clip});
    QString titre, texte;
    lancer("amCorrigerFps", {boite(&titre, &texte, QStringLiteral("&Oui")), dans(nullptr, 1, QString())});
    EXPECT_EQ(titre, "Avertissement");
    EXPECT_EQ(texte, "Le fichier " + clip + "\r\n est en Lecture seule. Voulez-vous vraiment corriger son framerate?");
    EXPECT_EQ(echelleDe(clip), (Echelle{33367, 1'000'000}));
    EXPECT_EQ(modeDe(clip), mode_t(0444));
}

TEST_F(EntetesFenetre, ThreeSelectedFilesBringThreeDialogsAndAnnulerSkipsOnlyTheSecond)
{
    const QStringList clips = {copie("pal_t2_43.avi", "a.avi"), copie("pal_t2_43.avi", "b.avi"),
                               copie("pal_t2_43.avi", "c.avi")};
    deposer(clips);
    fenetre->action("afSelectionnerTout")->trigger();
    ASSERT_EQ(fenetre->liste().nombreSelectionnees(), 3);
    QStringList ordre;
    for (int i = 0; i < 3; ++i)
        ordre << fenetre->liste().entree(i)->chemin;
    ASSERT_EQ(ordre, clips);
    Vu un, deux, trois;
    lancer("amCorrigerFps", {dans(&un, 1, QString()), dans(&deux, -1, QString(), false), dans(&trois, -1, QString())});
    EXPECT_EQ(un.item, 0);
    EXPECT_EQ(deux.item, 1);
    EXPECT_EQ(trois.item, 1);
    EXPECT_EQ(echelleDe(clips[0]), (Echelle{33367, 1'000'000}));
    EXPECT_EQ(echelleDe(clips[1]), (Echelle{1, 25}));
    EXPECT_EQ(echelleDe(clips[2]), (Echelle{33367, 1'000'000}));
}

TEST_F(EntetesFenetre, CorrectingTheRateIsNotOfferedForTypeOneClips)
{
    deposer({copie("pal_t1_43.avi", "t1.avi")});
    fenetre->MajCommandes();
    EXPECT_FALSE(fenetre->action("amCorrigerFps")->isEnabled());
    EXPECT_TRUE(fenetre->action("amCorrigerCodec")->isEnabled());
    EXPECT_TRUE(fenetre->action("amRiffHeader")->isEnabled());
}

TEST_F(EntetesFenetre, RiffReportWindowShowsTheReportAndSavesIt)
{
    const QString clip = copie("pal_t2_43.avi", "clip.avi");
    deposer({clip});
    auto* r = fenetre->findChild<TRiffForm*>();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->windowTitle(), "Analyser un fichier AVI");
    EXPECT_EQ(r->btnFermer->toolTip(), "Fermer la fenêtre  de l'en-tête RIFF .");
    EXPECT_EQ(r->btnSauver->toolTip(), "Enregistrer l'en-tête dans un fichier LOG.");
    // Columns line up: the narrowest and the widest characters advance alike.
    const QFontMetricsF m(r->lb->font());
    EXPECT_EQ(m.horizontalAdvance('i'), m.horizontalAdvance('M')) << QFontInfo(r->lb->font()).family().toStdString();
    EXPECT_EQ(m.horizontalAdvance('1'), m.horizontalAdvance('W'));
    QKeyCombination ctrlH(Qt::ControlModifier, Qt::Key_H);
    EXPECT_TRUE(fenetre->action("amRiffHeader")->shortcuts().contains(QKeySequence(ctrlH)));
    lancer("amRiffHeader", {});
    EXPECT_TRUE(r->isVisible());
    EXPECT_EQ(r->windowTitle(), "En-tête du fichier " + clip);
    EXPECT_TRUE(r->btnSauver->isEnabled());
    // The lines of the core's report, the time of day aside.
    const BinaryFile f(clip.toStdString(), BinaryFile::Mode::Read);
    QStringList attendu = RapportRiff(f, clip, {versionProgramme, kAdresseSiteWeb, Maintenant()});
    QStringList vu = r->lignes();
    ASSERT_EQ(vu.size(), attendu.size());
    EXPECT_TRUE(vu[4].contains(QRegularExpression("analysée le \\d{1,2}/\\d\\d/\\d{4} à \\d{1,2}:\\d\\d:\\d\\d")));
    vu[4] = attendu[4];
    EXPECT_EQ(vu, attendu);
    EXPECT_EQ(r->lb->model()->rowCount(), vu.size());

    // "Sauver": the clip's path with ".log" proposed; cancelling writes nothing.
    QString propose, filtres;
    r->choisirFichier = [&](const QString& p, const QString& f) {
        propose = p;
        filtres = f;
        return QString();
    };
    QTest::mouseClick(r->btnSauver, Qt::LeftButton);
    EXPECT_EQ(propose, q(dir.path("clip.log")));
    EXPECT_EQ(filtres, "Fichiers Log (*.log);;Fichiers Txt (*.txt);;Tous (*.*)");
    EXPECT_FALSE(QFileInfo::exists(propose));
    const QString choisi = q(dir.path("rapport.txt"));
    r->choisirFichier = [&](const QString&, const QString&) { return choisi; };
    QTest::mouseClick(r->btnSauver, Qt::LeftButton);
    EXPECT_EQ(QString::fromUtf8(QByteArray::fromStdString(readWholeFile(choisi.toStdString()))),
              r->lignes().join("\r\n") + "\r\n");

    QTest::mouseClick(r->btnFermer, Qt::LeftButton);
    EXPECT_FALSE(r->isVisible());
}

TEST_F(EntetesFenetre, ClosingTheReportWindowDuringTheWalkCancelsIt)
{
    const QString clip = copie("pal_t2_43.avi", "clip.avi");
    deposer({clip});
    auto* r = fenetre->findChild<TRiffForm*>();
    // The click waits in the queue; the walk hears it before its first chunk.
    QTimer::singleShot(0, r, [r] { QTest::mouseClick(r->btnFermer, Qt::LeftButton); });
    lancer("amRiffHeader", {});
    EXPECT_FALSE(r->isVisible());
    const QStringList l = r->lignes();
    ASSERT_GE(l.size(), 14);
    EXPECT_EQ(l[10], "----------------Début du RIFF Avi----------------");
    EXPECT_EQ(l[12], "-------------Annulé par l'utilisateur-------------");
    EXPECT_FALSE(r->btnSauver->isEnabled());
}

TEST_F(EntetesFenetre, ANewReportWhileOneIsWrittenTakesTheWindow)
{
    const QString premier = copie("pal_t2_43.avi", "premier.avi");
    const QString second = copie("pal_t1_43.avi", "second.avi");
    deposer({premier});
    auto* r = fenetre->findChild<TRiffForm*>();
    // While the first report is written, the second is asked for (Ctrl+H on another file).
    QTimer::singleShot(0, r, [r, second] { r->AfficherRapportRiff(second); });
    lancer("amRiffHeader", {});
    EXPECT_TRUE(r->isVisible());
    EXPECT_FALSE(r->rapportEnCours());
    EXPECT_EQ(r->windowTitle(), "En-tête du fichier " + second);
    EXPECT_TRUE(r->btnSauver->isEnabled());
    const BinaryFile f(second.toStdString(), BinaryFile::Mode::Read);
    const QStringList attendu = RapportRiff(f, second, {versionProgramme, kAdresseSiteWeb, Maintenant()});
    QStringList vu = r->lignes();
    ASSERT_EQ(vu.size(), attendu.size());
    vu[4] = attendu[4];
    EXPECT_EQ(vu, attendu);
}

TEST_F(EntetesFenetre, AnInaccessibleFileGetsTheWarningAndNoReport)
{
    const QString clip = copie("pal_t2_43.avi", "ferme.avi");
    deposer({clip});
    ASSERT_EQ(::chmod(dir.path("").c_str(), 0755), 0);
    ASSERT_EQ(::chmod(clip.toLocal8Bit().constData(), 0000), 0);
    QString titre, texte;
    {
        const AccesOrdinaire ordinaire;
        lancer("amRiffHeader", {boite(&titre, &texte, QStringLiteral("OK"))});
    }
    EXPECT_EQ(titre, "Avertissement");
    EXPECT_EQ(texte, "Le fichier " + clip
                         + " est inaccessible. Il est sans doute utilisé par un autre processus. Veuillez patienter");
    EXPECT_FALSE(fenetre->findChild<TRiffForm*>()->isVisible());
    ::chmod(clip.toLocal8Bit().constData(), 0644);
}

TEST_F(EntetesFenetre, DatecodeToggleDrawsAndHidesTheOverlayWithItsCaptions)
{
    deposer({copie("pal_t2_43.avi", "clip.avi")});
    ASSERT_TRUE(attendre([&] {
        return fenetre->apercu().etat() == EtatApercu::EnPause && !fenetre->panneau()->vw->imageAffichee().isNull();
    }));
    ASSERT_FALSE(prefIncrustOn);
    QAction* a = fenetre->action("amAfficherDatecode");
    EXPECT_TRUE(a->text().startsWith("Afficher le datecode"));
    const QImage sans = fenetre->panneau()->vw->imageAffichee();
    lancer("amAfficherDatecode", {});
    EXPECT_TRUE(prefIncrustOn);
    EXPECT_TRUE(a->text().startsWith("Masquer le datecode"));
    EXPECT_EQ(fenetre->table().chercher("amAfficherDatecode")->image, 21);
    const QImage avec = fenetre->panneau()->vw->imageAffichee();
    EXPECT_NE(avec, sans) << "the still picture is drawn again with the datecode";
    lancer("amAfficherDatecode", {});
    EXPECT_FALSE(prefIncrustOn);
    EXPECT_TRUE(a->text().startsWith("Afficher le datecode"));
    EXPECT_EQ(fenetre->table().chercher("amAfficherDatecode")->image, 18);
    EXPECT_EQ(fenetre->panneau()->vw->imageAffichee(), sans);
}

TEST_F(EntetesFenetre, SlidersToggleShowsThemAndTurnsTheOverlayOn)
{
    // Offered in the video's context menu.
    QStringList menuVideo;
    for (const QAction* a : fenetre->panneau()->vw->actions())
        menuVideo << a->objectName();
    EXPECT_EQ(menuVideo, (QStringList{"avPlayStop", "avMute", "amAfficherDatecode", "amAfficherSliders", "avFullscreen"}));
    EXPECT_EQ(fenetre->panneau()->vw->contextMenuPolicy(), Qt::ActionsContextMenu);

    deposer({copie("pal_t2_43.avi", "clip.avi")});
    ASSERT_TRUE(attendre([&] { return fenetre->apercu().superposer() != nullptr; }));
    TBaseFrame* p = fenetre->panneau();
    EXPECT_FALSE(p->incrustHorz->isVisible());
    lancer("amAfficherSliders", {});
    EXPECT_TRUE(prefSlidersVisible);
    EXPECT_TRUE(prefIncrustOn);
    EXPECT_TRUE(p->incrustHorz->isVisible());
    EXPECT_TRUE(p->incrustVert->isVisible());
    EXPECT_TRUE(fenetre->action("amAfficherSliders")->text().startsWith("Masquer les barres de l'incrustation"));
    EXPECT_TRUE(fenetre->action("amAfficherDatecode")->text().startsWith("Masquer le datecode"));
    lancer("amAfficherSliders", {});
    EXPECT_FALSE(prefSlidersVisible);
    EXPECT_FALSE(p->incrustHorz->isVisible());
    EXPECT_TRUE(prefIncrustOn) << "the overlay stays on";
    EXPECT_TRUE(fenetre->action("amAfficherSliders")->text().startsWith("Modifier la position de l'incrustation"));
}

TEST_F(EntetesFenetre, SettingsBringTheTogglesCaptionsBackAndNonDvClipsDisableThem)
{
    prefIncrustOn = true;
    prefSlidersVisible = true;
    for (const EtapeAppliquer e : {EtapeAppliquer::LegendeDatecode, EtapeAppliquer::BarresIncrustation})
        fenetre->AppliquerPreferencesApercu(e); // the preview's steps of applying the settings
    EXPECT_TRUE(fenetre->action("amAfficherDatecode")->text().startsWith("Masquer le datecode"));
    EXPECT_TRUE(fenetre->action("amAfficherSliders")->text().startsWith("Masquer les barres de l'incrustation"));
    EXPECT_FALSE(fenetre->panneau()->incrustHorz->isHidden());

    deposer({copie("mjpeg_pcm.avi", "mjpeg.avi")});
    fenetre->MajCommandes();
    EXPECT_FALSE(fenetre->action("amAfficherDatecode")->isEnabled());
    EXPECT_FALSE(fenetre->action("amAfficherSliders")->isEnabled());
}

TEST_F(EntetesFenetre, WithoutTheOverlayComponentsTheTogglesAreNotOffered)
{
    fenetre.reset();
    qputenv("KORVAN_FILTRES_ABSENTS", "Brannoc Datecoder2");
    ouvrirFenetre();
    qunsetenv("KORVAN_FILTRES_ABSENTS");
    EXPECT_FALSE(fenetre->action("amAfficherDatecode")->isVisible());
    EXPECT_FALSE(fenetre->action("amAfficherSliders")->isVisible());
    // Stored as shown, the sliders stay hidden without the overlay.
    prefSlidersVisible = true;
    for (const EtapeAppliquer e : {EtapeAppliquer::LegendeDatecode, EtapeAppliquer::BarresIncrustation})
        fenetre->AppliquerPreferencesApercu(e); // the preview's steps of applying the settings
    EXPECT_FALSE(prefSlidersVisible);
    EXPECT_TRUE(fenetre->panneau()->incrustHorz->isHidden());
}
