// The preview in the real window, as a user drives it: a clip dropped shows
// frame 0 paused with its codes, the stepping keys land on exact frames (the
// time code of the frame on screen says which), scene stepping follows the
// scene file, and the reasons for no video are shown in the text area.
#include "platform/etat_programme.h"
#include "pipelines/regles_apercu.h"
#include "platform/preferences.h"
#include "support/fixtures.h"
#include "ui/AfficherBase.h"
#include "ui/assemblage_fenetre.h"
#include "ui/fenetre_essai.h"
#include "ui/fenetre_video.h"
#include "ui/main.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QMimeData>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

class ApercuFenetre : public FenetreEssai {
protected:
    void SetUp() override
    {
        KORVAN_REQUIRE_FIXTURES();
        FenetreEssai::SetUp();
        ouvrirFenetre();
    }

    TBaseFrame* panneau() { return fenetre->panneau(); }
    bool apercuPose() { return fenetre->apercu().etat() == EtatApercu::EnPause && !panneau()->vw->imageAffichee().isNull(); }
    // Runs an action, then the panel's tick, as a key press would.
    QString apres(const char* action)
    {
        fenetre->action(action)->trigger();
        attendre([] { return false; }, 60); // the frame reaches the window
        panneau()->Timer1Timer();
        fenetre->Timer1Timer();
        return panneau()->LabTimecode->text();
    }
};

// "hh.mm.ss.ff" of the time code n frames after a start code, at 25 fps.
QString timecodePlus(int h, int m, int s, int f, int n)
{
    int total = ((h * 60 + m) * 60 + s) * 25 + f + n;
    const int ff = total % 25;
    total /= 25;
    return QString::asprintf("%02d.%02d.%02d.%02d", total / 3600, (total / 60) % 60, total % 60, ff);
}

} // namespace

TEST_F(ApercuFenetre, EachDvClipOpensPausedOnFrameZeroWithItsCodes)
{
    const QJsonObject attendus = expectedFiles();
    for (const char* nom : {"pal_t2_43.avi", "pal_t2_169.avi", "pal_t1_43.avi", "ntsc_t2_43.avi", "ntsc_t1_32k.avi"}) {
        SCOPED_TRACE(nom);
        fenetre->action("afViderListe")->trigger();
        deposer({fixtureQ(nom)});
        ASSERT_TRUE(attendre([&] { return apercuPose(); })) << "no paused picture";
        panneau()->Timer1Timer();
        fenetre->Timer1Timer();
        const QJsonObject e = attendus.value(nom).toObject();
        EXPECT_EQ(panneau()->labDatecode->text(), e.value("texteDatecode").toString());
        EXPECT_EQ(panneau()->LabTimecode->text(), e.value("texteTimecode").toString());
        EXPECT_EQ(panneau()->labTimeStamp->text(), "0:00:00:00");
        EXPECT_TRUE(panneau()->modeVideo());
        EXPECT_FALSE(panneau()->reBaseFrame->isVisible());
        // The video area has the picture's proportions.
        EXPECT_EQ(panneau()->vw->size(), GeometrieVideo(e.value("largeur").toInt(), e.value("hauteur").toInt()).size());
    }
}

TEST_F(ApercuFenetre, SteppingKeysLandOnExactFrames)
{
    // pal_t2_43: 30 frames, time code 10:20:30:12 on frame 0, one more per frame.
    deposer({fixtureQ("pal_t2_43.avi")});
    ASSERT_TRUE(attendre([&] { return apercuPose(); }));
    const struct {
        const char* action;
        int image;
    } pas[] = {
        {"avanceLow", 1},     {"avanceLow", 2},    {"reculeLow", 1},     {"avanceMedium", 26}, {"ReculeMedium", 1},
        {"ReculeMedium", 0},  {"avAvanceFin", 29}, {"avanceMedium", 29}, {"avReculeDebut", 0}, {"avanceHigh", 29},
        {"ReculeHigh", 0},
    };
    for (const auto& p : pas) {
        SCOPED_TRACE(p.action);
        EXPECT_EQ(apres(p.action), timecodePlus(10, 20, 30, 12, p.image));
        EXPECT_EQ(panneau()->labTimeStamp->text(), QString::asprintf("0:00:%02d:%02d", p.image / 25, p.image % 25));
    }
}

TEST_F(ApercuFenetre, SceneSteppingFollowsTheSceneFile)
{
    QTemporaryDir dossier;
    const QString clip = dossier.path() + "/scenes.avi";
    ASSERT_TRUE(QFile::copy(fixtureQ("pal_scenes_merge.avi"), clip));
    deposer({clip});
    ASSERT_TRUE(attendre([&] { return apercuPose(); }));
    sansConfirmation = true;
    fenetre->action("amCreerScenes")->trigger();
    sansConfirmation = false;
    ASSERT_TRUE(QFile::exists(dossier.path() + "/scenes.scn"));
    // The command gave the file back: the preview takes the entry again.
    attendre([] { return false; }, 200);
    ASSERT_TRUE(attendre([&] { return apercuPose(); }));
    fenetre->action("avReculeDebut")->trigger();

    QList<int> debuts;
    for (const QJsonValue s : expectedFiles().value("pal_scenes_merge.avi").toObject()["scenes"].toObject()["list"].toArray())
        debuts << s.toObject()["debut"].toInt();
    ASSERT_GE(debuts.size(), 2);
    const int images = expectedFiles().value("pal_scenes_merge.avi").toObject()["frames"].toInt();
    auto position = [&] {
        int64_t p = -1;
        fenetre->apercu().position(p);
        return p;
    };
    // Forward: every scene start after frame 0, then the end.
    for (int i = 1; i < debuts.size(); ++i) {
        apres("AvanceScene");
        EXPECT_EQ(position(), debuts[i]);
    }
    apres("AvanceScene");
    EXPECT_GE(position(), images - 1);
    // Backward: every scene start, down to frame 0.
    for (int i = int(debuts.size()) - 1; i >= 0; --i) {
        apres("ReculeScene");
        EXPECT_EQ(position(), debuts[i]);
    }
}

TEST_F(ApercuFenetre, ReasonsForNoVideo)
{
    // Sound only: reason 0, positions in milliseconds.
    deposer({fixtureQ("pcm_audio_only.avi")});
    ASSERT_TRUE(attendre([&] { return panneau()->reBaseFrame->toPlainText().contains("ne comprend que de l'Audio"); }));
    fenetre->Timer1Timer();
    EXPECT_TRUE(QRegularExpression("^\\d:\\d\\d:\\d\\d:\\d\\d\\d$").match(panneau()->labTimeStamp->text()).hasMatch())
        << panneau()->labTimeStamp->text().toStdString();
    EXPECT_TRUE(panneau()->tb->isVisible());

    // A file gone since it was listed: reason 1, with its path as on disk.
    fenetre->action("afViderListe")->trigger();
    QTemporaryDir dossier;
    const QString clip = dossier.path() + "/Parti.avi";
    ASSERT_TRUE(QFile::copy(fixtureQ("pal_t2_43.avi"), clip));
    fenetre->AjouterFichier(clip);
    ASSERT_TRUE(QFile::remove(clip));
    fenetre->liste().focaliser(0);
    fenetre->liste().selectionner(0, true);
    fenetre->SelectionChangee();
    ASSERT_TRUE(attendre([&] { return panneau()->reBaseFrame->toPlainText().contains("est introuvable"); }));
    EXPECT_TRUE(panneau()->reBaseFrame->toPlainText().contains(clip));
    EXPECT_TRUE(panneau()->reBaseFrame->toPlainText().contains("Vidéo non disponible"));
}

TEST_F(ApercuFenetre, OtherCodecsPlayThroughFfmpeg)
{
    for (const char* nom : {"mjpeg_pcm.avi", "mpeg4_video_only.avi"}) {
        SCOPED_TRACE(nom);
        fenetre->action("afViderListe")->trigger();
        deposer({fixtureQ(nom)});
        EXPECT_TRUE(attendre([&] { return apercuPose(); })) << "etape " << fenetre->apercu().etapeApercu();
    }
}

// A command that works on the shown file has it to itself: the process holds
// no descriptor on it until the command is done, and the preview comes back.
TEST_F(ApercuFenetre, ACommandHasTheFileToItself)
{
    const QString clip = fixtureQ("pal_t2_43.avi");
    deposer({clip});
    ASSERT_TRUE(attendre([&] { return apercuPose(); }));
    auto ouvert = [&] {
        for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::Files | QDir::System))
            if (fd.symLinkTarget() == clip)
                return true;
        return false;
    };
    ControleApercu* controle = fenetre->commandes().services.apercu;
    ASSERT_NE(controle, nullptr);
    controle->libererFichier();
    EXPECT_FALSE(ouvert());
    controle->reprendreFichiers();
    EXPECT_TRUE(attendre([&] { return apercuPose(); }));
}

TEST_F(ApercuFenetre, PlayPausesAndTheSoundCommandSaysWhatItDoes)
{
    deposer({fixtureQ("pal_t2_43.avi")});
    ASSERT_TRUE(attendre([&] { return apercuPose(); }));
    fenetre->action("avPlayStop")->trigger();
    EXPECT_EQ(fenetre->apercu().etat(), EtatApercu::EnLecture);
    EXPECT_TRUE(fenetre->action("avPlayStop")->text().startsWith("Pause"));
    // The clip (1.2 s) ends, goes back to frame 0 and pauses.
    EXPECT_TRUE(attendre([&] { return fenetre->apercu().etat() == EtatApercu::EnPause; }, 5000));
    int64_t p = -1;
    fenetre->apercu().position(p);
    EXPECT_EQ(p, 0);
    EXPECT_TRUE(fenetre->action("avPlayStop")->text().startsWith("Play"));

    const bool avant = prefMute;
    fenetre->action("avMute")->trigger();
    EXPECT_NE(prefMute, avant);
    EXPECT_TRUE(fenetre->action("avMute")->text().startsWith(prefMute ? "Remettre le son" : "Couper le son"));
}
