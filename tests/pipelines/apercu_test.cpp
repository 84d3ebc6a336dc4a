// The preview module on the shared clips: which graph each clip gets and the
// stage a failed build stops at, frame 0 shown paused with its codes in the
// ring, exact positioning by frame and by time, playing to the end, the
// file let go while suspended, and the overlay drawn where the superposer says.
#include "analysis/aviFichier.h"
#include "analysis/avi_demuxer.h"
#include "analysis/format_date.h"
#include "apercu_aide.h"
#include "pipelines/datecoder.h"
#include "pipelines/superposer.h"
#include "platform/preferences.h"
#include "support/appels_incrustation.h"
#include "support/trames_dv.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace korvan;
using namespace korvan::test;

namespace {

// A module with the panel's hooks recorded.
struct Apercu {
    Tviewdm vue;
    RenduEnregistre rendu;
    std::vector<int> codes;
    std::vector<QString> legendes;
    std::vector<int> curseurs;
    int sonSeul = 0;

    Apercu()
    {
        vue.afficherCode = [this](int r) { codes.push_back(r); };
        vue.legendeLecture = [this](const QString& l) { legendes.push_back(l); };
        vue.placerCurseur = [this](int v) { curseurs.push_back(v); };
        vue.modeSonSeul = [this] { ++sonSeul; };
    }

    SlotAnneau slotAffiche() const { return vue.slotAnneau(vue.SlotAffiche()); }

    // Waits until the picture of frame n is on screen.
    bool attendreImage(int64_t n) { return attendre([&] { return vue.imageAffichee() == n; }); }
};

TTimecodeDV timecodeAttendu(const QJsonObject& premiere)
{
    const QJsonArray t = premiere.value("timecode").toArray();
    if (t.isEmpty())
        return {};
    return {uint8_t(t[0].toInt()), uint8_t(t[1].toInt()), uint8_t(t[2].toInt()), uint8_t(t[3].toInt())};
}

TDatecodeDV datecodeAttendu(const QJsonObject& premiere)
{
    const QJsonArray d = premiere.value("datecode").toArray();
    if (d.isEmpty())
        return {};
    return {d[0].toInt(), uint8_t(d[1].toInt()), uint8_t(d[2].toInt()), uint8_t(d[3].toInt()), uint8_t(d[4].toInt()),
            uint8_t(d[5].toInt())};
}

// Descriptors of this process open on that file.
int descripteursSur(const std::string& chemin)
{
    const QString cible = QFileInfo(QString::fromStdString(chemin)).canonicalFilePath();
    int n = 0;
    for (const QFileInfo& f : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System | QDir::Files))
        if (f.symLinkTarget() == cible)
            ++n;
    return n;
}

} // namespace

TEST(ApercuOuverture, EveryDvFixtureShowsFrameZeroPausedWithItsCodesInTheShownSlot)
{
    KORVAN_REQUIRE_FIXTURES();
    const QJsonObject attendus = expectedFiles();
    int clips = 0;
    for (auto it = attendus.begin(); it != attendus.end(); ++it) {
        const QJsonObject a = it.value().toObject();
        if (!a.value("estDV").toBool())
            continue;
        const std::string nom = it.key().toStdString();
        SCOPED_TRACE(nom);
        const bool refuse = nom == "pal_handler_dsvd.avi" || nom == "pal_handler_CDVC.avi";
        const TAfficherFichier entree(QString::fromStdString(fixture(nom)));
        Apercu p;
        QSignalSpy pause(&p.vue, &Tviewdm::enPause);
        const bool ok = p.vue.OuvrirApercu(entree, &p.rendu);
        if (refuse) {
            // The DV decoder takes the system code only: reason 3, "corriger le codec".
            EXPECT_FALSE(ok);
            EXPECT_EQ(p.vue.etapeApercu(), 3);
            EXPECT_EQ(p.codes, std::vector<int>{3});
            EXPECT_TRUE(p.rendu.images.empty());
            continue;
        }
        ++clips;
        ASSERT_TRUE(ok) << "stage " << p.vue.etapeApercu();
        EXPECT_EQ(p.vue.etat(), EtatApercu::EnPause);
        EXPECT_EQ(p.legendes, std::vector<QString>{"Play"});
        EXPECT_TRUE(p.codes.empty());
        ASSERT_EQ(p.rendu.images.size(), 1u);
        EXPECT_FALSE(p.rendu.images[0].isNull());
        EXPECT_EQ(p.rendu.images[0].width(), 720);
        EXPECT_EQ(p.rendu.images[0].height(), a.value("standard").toInt() == 2 ? 480 : 576);
        EXPECT_EQ(p.vue.imageAffichee(), 0);
        EXPECT_EQ(pause.count(), 1);
        EXPECT_EQ(p.vue.retardAnneau(), p.vue.nbEchantillons());
        EXPECT_TRUE(p.vue.captureActive());
        // The codes the fixture generator wrote into frame 0.
        const QJsonObject premiere = a.value("firstFrame").toObject();
        const SlotAnneau s = p.slotAffiche();
        EXPECT_EQ(s.timecode, timecodeAttendu(premiere));
        EXPECT_EQ(s.datecode, datecodeAttendu(premiere));
        int64_t images = 0;
        ASSERT_TRUE(p.vue.duree(images));
        EXPECT_EQ(images, a.value("frames").toInt());
        EXPECT_EQ(p.vue.formatTemps(), FormatTempsApercu::Images);
    }
    EXPECT_GE(clips, 15);
}

TEST(ApercuOuverture, DvFrameZeroIsFfmpegsPicture)
{
    KORVAN_REQUIRE_FIXTURES();
    for (const char* nom : {"pal_t2_43.avi", "ntsc_t1_32k.avi", "pal_t1_43.avi"}) {
        SCOPED_TRACE(nom);
        Apercu p;
        ASSERT_TRUE(p.vue.GrapheDVSimple(QString::fromStdString(fixture(nom)), &p.rendu));
        p.vue.positionner(0);
        ASSERT_TRUE(p.attendreImage(0));
        ASSERT_FALSE(p.rendu.images.empty());
        EXPECT_LT(ecartMoyen(p.rendu.images.back(), imageFFmpeg(fixture(nom), 0)), 2.0);
    }
}

TEST(ApercuOuverture, OtherCodecsPlayThroughFfmpegOnTheRightFrame)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* nom;
        int64_t images;
        int cible;
    };
    for (const Cas c : {Cas{"mjpeg_pcm.avi", 25, 17}, Cas{"mpeg4_video_only.avi", 12, 7}}) {
        SCOPED_TRACE(c.nom);
        const TAfficherFichier entree(QString::fromStdString(fixture(c.nom)));
        ASSERT_FALSE(entree.estDV);
        Apercu p;
        ASSERT_TRUE(p.vue.OuvrirApercu(entree, &p.rendu)) << p.vue.etapeApercu();
        EXPECT_EQ(p.vue.superposer(), nullptr);
        int64_t d = 0;
        ASSERT_TRUE(p.vue.duree(d));
        EXPECT_EQ(d, c.images);
        ASSERT_EQ(p.rendu.images.size(), 1u);
        const QImage zero = imageFFmpeg(fixture(c.nom), 0);
        EXPECT_LT(ecartMoyen(p.rendu.images[0], zero), 2.0);
        // A seek decodes from the keyframe before it and shows exactly the frame asked for.
        p.vue.AllerA(c.cible);
        ASSERT_TRUE(p.attendreImage(c.cible));
        const QImage attendue = imageFFmpeg(fixture(c.nom), c.cible);
        const QImage voisine = imageFFmpeg(fixture(c.nom), c.cible + 1);
        const double ecart = ecartMoyen(p.rendu.images.back(), attendue);
        EXPECT_LT(ecart, 2.0);
        EXPECT_LT(ecart, ecartMoyen(p.rendu.images.back(), voisine));
        EXPECT_EQ(p.curseurs.back(), int(std::lround(1000.0 * c.cible / double(c.images))));
    }
}

TEST(ApercuOuverture, SoundOnlyClipShowsReasonZeroAndKeepsMediaTime)
{
    KORVAN_REQUIRE_FIXTURES();
    const TAfficherFichier entree(QString::fromStdString(fixture("pcm_audio_only.avi")));
    Apercu p;
    ASSERT_TRUE(p.vue.OuvrirApercu(entree, &p.rendu));
    EXPECT_EQ(p.codes, std::vector<int>{0});
    EXPECT_EQ(p.sonSeul, 1);
    EXPECT_EQ(p.vue.formatTemps(), FormatTempsApercu::TempsMedia);
    EXPECT_FALSE(p.vue.definirFormatTemps(FormatTempsApercu::Images));
    EXPECT_EQ(p.vue.formatTemps(), FormatTempsApercu::TempsMedia);
    EXPECT_EQ(p.vue.imageAffichee(), -1);
    int64_t d = 0;
    int64_t pos = -1;
    ASSERT_TRUE(p.vue.duree(d));
    EXPECT_EQ(d, 15000000); // 66,150 samples at 44.1 kHz
    ASSERT_TRUE(p.vue.position(pos));
    EXPECT_EQ(pos, 0);
    p.vue.DeplacerDe(6000000);
    ASSERT_TRUE(p.vue.position(pos));
    EXPECT_EQ(pos, 6000000);
    p.vue.DeplacerDe(60000000);
    ASSERT_TRUE(p.vue.position(pos));
    EXPECT_EQ(pos, d);
    p.vue.DeplacerDe(-100000000);
    ASSERT_TRUE(p.vue.position(pos));
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(p.vue.formatTemps(), FormatTempsApercu::TempsMedia);
    // Played to the end: the position moves on in media time and the end is told.
    p.vue.DeplacerDe(10000000);
    QSignalSpy fin(&p.vue, &Tviewdm::termine);
    p.vue.Lire();
    EXPECT_EQ(p.vue.etat(), EtatApercu::EnLecture);
    ASSERT_TRUE(fin.wait(10000));
    ASSERT_TRUE(p.vue.position(pos));
    EXPECT_EQ(pos, d);
    EXPECT_TRUE(p.rendu.images.empty());
}

TEST(ApercuOuverture, FailedBuildsStopAtTheirStage)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir dossier;
    // An MPEG-4 clip relabelled with a code no decoder knows.
    const std::string inconnu = dossier.copyFixture("mpeg4_video_only.avi", "inconnu.avi");
    {
        std::string octets = readWholeFile(inconnu);
        for (size_t p = 0; (p = octets.find("FMP4", p)) != std::string::npos;)
            octets.replace(p, 4, "QZQZ");
        writeWholeFile(inconnu, octets);
    }
    const QString absent = QString::fromStdString(dossier.path("absent.avi"));
    const auto q = [](const std::string& nom) { return QString::fromStdString(fixture(nom)); };
    RenduEnregistre rendu;
    struct Cas {
        const char* quoi;
        std::function<bool(Tviewdm&)> construire;
        int etape;
    };
    const std::vector<Cas> cas = {
        {"missing file (DV)", [&](Tviewdm& v) { return v.GrapheDVSimple(absent, &rendu); }, 1},
        {"missing file (other)", [&](Tviewdm& v) { return v.GrapheAutreCodec(absent, &rendu); }, 1},
        {"missing file (sound)", [&](Tviewdm& v) { return v.GrapheAudioSeul(absent); }, 1},
        {"not RIFF", [&](Tviewdm& v) { return v.GrapheDVIncrust(q("not_riff.avi"), &rendu); }, 2},
        {"empty file", [&](Tviewdm& v) { return v.GrapheAutreCodec(q("empty.avi"), &rendu); }, 2},
        {"seven bytes", [&](Tviewdm& v) { return v.GrapheAudioSeul(q("seven_bytes.avi")); }, 2},
        {"no video to the grabber", [&](Tviewdm& v) { return v.GrapheDVSimple(q("pcm_audio_only.avi"), &rendu); }, 3},
        {"no video (other codec)", [&](Tviewdm& v) { return v.GrapheAutreCodec(q("pcm_audio_only.avi"), &rendu); }, 3},
        {"DV decoder refuses dsvd", [&](Tviewdm& v) { return v.GrapheDVIncrust(q("pal_handler_dsvd.avi"), &rendu); }, 3},
        {"DV decoder refuses CDVC", [&](Tviewdm& v) { return v.GrapheDVSimple(q("pal_handler_CDVC.avi"), &rendu); }, 3},
        {"not DV data", [&](Tviewdm& v) { return v.GrapheDVSimple(q("mjpeg_pcm.avi"), &rendu); }, 3},
        {"no renderer", [&](Tviewdm& v) { return v.GrapheDVIncrust(q("pal_t2_43.avi"), nullptr); }, 4},
        {"no decoder", [&](Tviewdm& v) { return v.GrapheAutreCodec(QString::fromStdString(inconnu), &rendu); }, 4},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.quoi);
        Tviewdm vue;
        EXPECT_FALSE(c.construire(vue));
        EXPECT_EQ(vue.etapeApercu(), c.etape);
        int64_t d = 0;
        EXPECT_FALSE(vue.duree(d));
    }

    // Through OuvrirApercu the panel is told the reason; upper-case DVSD is the system code.
    // An entry whose file went away since it was listed:
    const std::string parti = dossier.copyFixture("pal_t2_43.avi", "parti.avi");
    const TAfficherFichier entreeParti(QString::fromStdString(parti));
    ASSERT_TRUE(QFile::remove(QString::fromStdString(parti)));
    Apercu p;
    EXPECT_FALSE(p.vue.OuvrirApercu(entreeParti, &p.rendu));
    EXPECT_TRUE(p.vue.OuvrirApercu(TAfficherFichier(q("pal_handler_DVSD.avi")), &p.rendu));
    EXPECT_FALSE(p.vue.OuvrirApercu(TAfficherFichier(q("not_riff.avi")), &p.rendu));
    EXPECT_FALSE(p.vue.OuvrirApercu(TAfficherFichier(QString::fromStdString(inconnu)), &p.rendu));
    p.vue.SuspendreApercu();
    EXPECT_FALSE(p.vue.OuvrirApercu(entreeParti, &p.rendu));
    EXPECT_EQ(p.codes, (std::vector<int>{1, 2, 4, 5}));
    // A file with neither video nor sound is not AVI enough: 2 without a build.
    p.vue.ReprendreApercu();
    EXPECT_FALSE(p.vue.OuvrirApercu(TAfficherFichier(absent), &p.rendu));
    EXPECT_EQ(p.codes.back(), 2);
    p.vue.desactiver();
    EXPECT_FALSE(p.vue.actif());
    EXPECT_FALSE(p.vue.OuvrirApercu(TAfficherFichier(q("pal_t2_43.avi")), &p.rendu));
    EXPECT_EQ(p.codes.size(), 5u);
}

TEST(ApercuPositions, StepsByFrameSecondAndMinuteLandOnExactFrames)
{
    const std::string& clip = clipLongPal();
    ASSERT_FALSE(clip.empty()) << "ffmpeg could not make the test clip";
    // The clip as an independent reader counts it.
    QProcess sonde;
    sonde.start("ffprobe", {"-v", "error", "-count_packets", "-select_streams", "v:0", "-show_entries",
                            "stream=nb_read_packets", "-of", "csv=p=0", QString::fromStdString(clip)});
    ASSERT_TRUE(sonde.waitForFinished(60000));
    const int64_t total = sonde.readAllStandardOutput().trimmed().toLongLong();
    ASSERT_EQ(total, 1550);

    const TAfficherFichier entree(QString::fromStdString(clip));
    Apercu p;
    ASSERT_TRUE(p.vue.OuvrirApercu(entree, &p.rendu));
    ASSERT_EQ(imageDuTimecode(p.slotAffiche().timecode), 0);
    int64_t d = 0;
    ASSERT_TRUE(p.vue.duree(d));
    ASSERT_EQ(d, total);

    // The panel's steps, each followed by the frame it must show.
    const int64_t image = 400000, seconde = 10000000, minute = 600000000;
    struct Pas {
        int64_t delta; // 100 ns; INT64_MIN: to the start, INT64_MAX: to the end
        int64_t attendue;
    };
    const std::vector<Pas> pas = {
        {image, 1},           {image, 2},        {-image, 1},         {seconde, 26},      {minute, 1526},
        {image, 1527},        {seconde, 1549},   {image, 1549},       {-minute, 49},      {-seconde, 24},
        {-seconde, 0},        {-image, 0},       {INT64_MAX, 1549},   {-image, 1548},     {INT64_MIN, 0},
        {minute, 1500},       {-image, 1499},    {-minute, 0},
    };
    for (const Pas& s : pas) {
        SCOPED_TRACE(s.attendue);
        if (s.delta == INT64_MIN)
            p.vue.AllerA(0);
        else if (s.delta == INT64_MAX)
            p.vue.AllerA(d);
        else
            p.vue.DeplacerDe(s.delta);
        EXPECT_EQ(p.vue.formatTemps(), FormatTempsApercu::Images);
        int64_t pos = -1;
        ASSERT_TRUE(p.vue.position(pos));
        EXPECT_EQ(pos, s.attendue);
        ASSERT_TRUE(p.attendreImage(s.attendue));
        // The frame's own time code says which frame the picture is.
        EXPECT_EQ(imageDuTimecode(p.slotAffiche().timecode), s.attendue);
    }
    // The end is the last frame: 1549 of 1550.
    EXPECT_EQ(p.curseurs, (std::vector<int>{999, 0}));
    // In media time a frame starts at its first whole 100 ns unit.
    p.vue.AllerA(3);
    ASSERT_TRUE(p.vue.definirFormatTemps(FormatTempsApercu::TempsMedia));
    int64_t t = 0;
    ASSERT_TRUE(p.vue.position(t));
    EXPECT_EQ(t, 1200000);
    ASSERT_TRUE(p.vue.duree(t));
    EXPECT_EQ(t, 620000000);
}

TEST(ApercuPositions, NtscFrameStepsOfRoundedLengthNeverStallOrSkip)
{
    KORVAN_REQUIRE_FIXTURES();
    const std::string clip = fixture("ntsc_t2_43.avi");
    const auto trames = tramesFixture("ntsc_t2_43.avi");
    Apercu p;
    ASSERT_TRUE(p.vue.OuvrirApercu(TAfficherFichier(QString::fromStdString(clip)), &p.rendu));
    ASSERT_EQ(p.vue.imageAffichee(), 0);
    // 10,000,000 / 29.97 rounded, as the panel steps.
    const int64_t pas = 333667;
    for (int64_t n = 1; n < int64_t(trames.size()); ++n) {
        p.vue.DeplacerDe(pas);
        ASSERT_TRUE(p.attendreImage(n)) << n;
        EXPECT_EQ(p.slotAffiche().timecode, DecoderTimecode(trames[size_t(n)].data(), trames[size_t(n)].size())) << n;
    }
    for (int64_t n = int64_t(trames.size()) - 2; n >= 0; --n) {
        p.vue.DeplacerDe(-pas);
        ASSERT_TRUE(p.attendreImage(n)) << n;
    }
}

TEST(ApercuLecture, PlaysForwardToTheEndThenRewindsPaused)
{
    KORVAN_REQUIRE_FIXTURES();
    for (const char* nom : {"pal_t2_43.avi", "pal_t1_43.avi", "mjpeg_pcm.avi"}) {
        SCOPED_TRACE(nom);
        const TAfficherFichier entree(QString::fromStdString(fixture(nom)));
        Apercu p;
        ASSERT_TRUE(p.vue.OuvrirApercu(entree, &p.rendu));
        int64_t d = 0;
        ASSERT_TRUE(p.vue.duree(d));
        std::vector<int64_t> vues;
        QObject::connect(&p.vue, &Tviewdm::imagePresentee, [&](qint64 n) { vues.push_back(n); });
        QSignalSpy fin(&p.vue, &Tviewdm::termine);
        p.vue.Lire();
        ASSERT_TRUE(fin.wait(15000));
        EXPECT_EQ(fin.count(), 1);
        // Forward only, ending on the last frame; the one on screen is not shown twice.
        ASSERT_FALSE(vues.empty());
        EXPECT_GT(vues.front(), 0);
        EXPECT_TRUE(std::is_sorted(vues.begin(), vues.end()));
        EXPECT_EQ(std::adjacent_find(vues.begin(), vues.end()), vues.end());
        EXPECT_EQ(vues.back(), d - 1);
        EXPECT_EQ(int64_t(vues.size()) + p.vue.imagesSautees(), d - 1);
        EXPECT_EQ(p.vue.etat(), EtatApercu::EnLecture);
        // The panel's end handler: back to 0, then pause.
        p.vue.positionner(0);
        p.vue.PauseApercu();
        EXPECT_EQ(p.vue.etat(), EtatApercu::EnPause);
        ASSERT_TRUE(p.attendreImage(0));
        int64_t pos = -1;
        ASSERT_TRUE(p.vue.position(pos));
        EXPECT_EQ(pos, 0);
        EXPECT_EQ(p.legendes, (std::vector<QString>{"Play", "Play"}));
        p.vue.PauseApercu();
        EXPECT_EQ(p.legendes.size(), 2u);
        // A pause in the middle keeps the frame on screen as the position.
        p.vue.Lire();
        ASSERT_TRUE(attendre([&] { return p.vue.imageAffichee() >= 5; }));
        p.vue.PauseApercu();
        const int64_t arret = p.vue.imageAffichee();
        QTest::qWait(200);
        EXPECT_EQ(p.vue.imageAffichee(), arret);
        ASSERT_TRUE(p.vue.position(pos));
        EXPECT_EQ(pos, arret);
    }
}

TEST(ApercuSuspension, TheFileIsLetGoWhileSuspendedAndWhenStopped)
{
    KORVAN_REQUIRE_FIXTURES();
    for (const char* nom : {"pal_t2_43.avi", "mjpeg_pcm.avi", "pcm_audio_only.avi"}) {
        SCOPED_TRACE(nom);
        const std::string chemin = fixture(nom);
        const TAfficherFichier entree(QString::fromStdString(chemin));
        Apercu p;
        ASSERT_EQ(descripteursSur(chemin), 0);
        ASSERT_TRUE(p.vue.OuvrirApercu(entree, &p.rendu));
        EXPECT_GE(descripteursSur(chemin), 1);
        p.vue.Lire();
        p.vue.SuspendreApercu();
        EXPECT_TRUE(p.vue.apercuSuspendu());
        EXPECT_EQ(p.vue.etat(), EtatApercu::Arrete);
        EXPECT_EQ(descripteursSur(chemin), 0);
        int64_t pos = 0;
        EXPECT_FALSE(p.vue.position(pos));
        p.vue.ReprendreApercu();
        EXPECT_FALSE(p.vue.apercuSuspendu());
        ASSERT_TRUE(p.vue.OuvrirApercu(entree, &p.rendu));
        EXPECT_GE(descripteursSur(chemin), 1);
        p.vue.Arreter();
        EXPECT_EQ(descripteursSur(chemin), 0);
        EXPECT_EQ(p.rendu.effacements, 1);
    }
}

TEST(ApercuIncrustation, OverlayDrawnInTheSuperposersZoneOnlyAndRedrawnOnRefresh)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString chemin = QString::fromStdString(fixture("pal_t2_43.avi"));
    const auto trames = tramesFixture("pal_t2_43.avi");
    prefIncrustOn = true;
    Apercu simple, incruste;
    ASSERT_TRUE(simple.vue.GrapheDVSimple(chemin, &simple.rendu));
    EXPECT_EQ(simple.vue.superposer(), nullptr);
    EXPECT_EQ(simple.vue.datecoder(), nullptr);
    ASSERT_TRUE(incruste.vue.GrapheDVIncrust(chemin, &incruste.rendu));
    ASSERT_NE(incruste.vue.superposer(), nullptr);
    ASSERT_NE(incruste.vue.datecoder(), nullptr);
    for (Apercu* a : {&simple, &incruste}) {
        a->vue.definirCaptureActive(true);
        a->vue.AllerA(4);
        ASSERT_TRUE(a->attendreImage(4));
    }
    // The text the preview's datecoder makes of that frame, and where it goes.
    Datecoder temoin;
    Superposer zone;
    ReglerIncrustationApercu(zone, temoin);
    const QString texte = temoin.traiter(trames[4]);
    ASSERT_EQ(texte, QStringLiteral("14/07/2004 10:31:05"));
    const QImage a = simple.rendu.images.back();
    const QImage b = incruste.rendu.images.back();
    const QRect r = static_cast<Superposer*>(incruste.vue.superposer())->zoneTexte(b.size(), texte);
    ASSERT_FALSE(r.isEmpty());
    int dedans = 0, dehors = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                ++(r.contains(x, y) ? dedans : dehors);
    EXPECT_GT(dedans, 100);
    EXPECT_EQ(dehors, 0);

    // A new setting shows on the still picture at the refresh.
    const size_t avant = incruste.rendu.images.size();
    incruste.vue.superposer()->SetVisible(false);
    incruste.vue.RafraichirApercu();
    ASSERT_EQ(incruste.rendu.images.size(), avant + 1);
    EXPECT_EQ(incruste.rendu.images.back(), a);
    simple.vue.RafraichirApercu();
    EXPECT_EQ(simple.rendu.images.back(), a);
}

TEST(ApercuIncrustation, BuildSettingsFollowTheFixedOrder)
{
    prefAutoIncrust = true;
    prefDureeIncrust = 7;
    prefDecalageHoraire = -3;
    prefFormatAfficher = QStringLiteral("dd/mm/yyyy hh:nn");
    prefAutoFontSize = false;
    prefIncrustFont = PoliceIncrust{18, 0x0000FF, QStringLiteral("DejaVu Sans"), false, true, false, true};
    prefIncrustOn = false;
    prefIncrustX = 500;
    prefIncrustY = 250;
    AppelsIncrustation f;
    ReglerIncrustationApercu(f, f);
    EXPECT_EQ(f.appels, (QStringList{"D3(0)", "D5(1)", "D4(7)", "D1(-3)", "D2(dd/mm/yyyy hh:nn)", "S1(%D)", "S3(0)",
                                     "S4(18)", "S5(DejaVu Sans)", "S6(ff)", "S7(0)", "S8(1)", "S9(0)", "S10(1)",
                                     "S11(20)", "S2(0)", "S14(500,250,0)"}));
    // The real components end with those settings.
    Tviewdm vue;
    RenduEnregistre rendu;
    KORVAN_REQUIRE_FIXTURES();
    ASSERT_TRUE(vue.GrapheDVIncrust(QString::fromStdString(fixture("pal_t2_43.avi")), &rendu));
    int x = 0, y = 0;
    vue.superposer()->GetPosition(x, y);
    EXPECT_EQ(x, 500);
    EXPECT_EQ(y, 250);
    EXPECT_EQ(vue.superposer()->GetText(), "%D");
    prefAutoIncrust = false;
    prefDureeIncrust = prefDefaut::dureeIncrust;
    prefDecalageHoraire = 0;
    prefFormatAfficher = QString::fromLatin1(prefDefaut::formatAfficher);
    prefAutoFontSize = true;
    prefIncrustFont = PoliceIncrust{};
    prefIncrustOn = true;
    prefIncrustX = prefDefaut::incrustX;
    prefIncrustY = prefDefaut::incrustY;
}

namespace {

// The first bytes of a DV frame with only a time code and a recording date,
// both made from k so that a reader can tell them apart from another frame's.
std::vector<uint8_t> trameCodes(int k)
{
    std::vector<uint8_t> t(kOctetsPacksDV, 0xFF);
    const auto bcd = [](int v) { return uint8_t(((v / 10) << 4) | (v % 10)); };
    t[86] = 0x13;
    t[87] = bcd(k % 25);
    t[88] = bcd((k / 25) % 60);
    t[89] = bcd((k / 1500) % 60);
    t[90] = bcd(0);
    t[458] = 0x62;
    t[460] = bcd(1 + k % 28);
    t[461] = bcd(1 + (k / 28) % 12);
    t[462] = bcd(4);
    t[463] = 0x63;
    t[465] = bcd(k % 60);
    t[466] = bcd((k / 60) % 60);
    t[467] = bcd(0);
    return t;
}

} // namespace

TEST(ApercuAnneau, ShownSlotWrapsAroundTheTwentySlots)
{
    EXPECT_EQ(Tviewdm::SlotAffiche(1, 2), 19);
    EXPECT_EQ(Tviewdm::SlotAffiche(1, 3), 18);
    EXPECT_EQ(Tviewdm::SlotAffiche(5, 1), 4);
    EXPECT_EQ(Tviewdm::SlotAffiche(0, 0), 0);
    EXPECT_EQ(Tviewdm::SlotAffiche(0, 21), 19);

    Tviewdm vue;
    vue.sgBuffer(trameCodes(1));
    EXPECT_EQ(vue.nbEchantillons(), 0); // capture off
    vue.definirCaptureActive(true);
    for (int k = 0; k < 23; ++k)
        vue.sgBuffer(trameCodes(k));
    EXPECT_EQ(vue.nbEchantillons(), 23);
    EXPECT_EQ(vue.posAnneau(), 3);
    EXPECT_EQ(vue.slotAnneau(2).timecode.images, 22);
    EXPECT_EQ(vue.slotAnneau(3).timecode.images, 3);
    vue.marquerAttenteDatecode();
    EXPECT_EQ(vue.datecodeSlot(3).annee, -2);
    vue.effacerTimecodeCourant();
    EXPECT_FALSE(vue.timecodeSlot(3).present());
    EXPECT_TRUE(vue.timecodeSlot(2).present());
}

TEST(ApercuAnneau, AReaderNeverSeesAHalfWrittenSlot)
{
    Tviewdm vue;
    vue.definirCaptureActive(true);
    std::vector<std::vector<uint8_t>> trames;
    for (int k = 0; k < 1000; ++k)
        trames.push_back(trameCodes(k));
    std::atomic<bool> fini{false};
    std::thread ecrivain([&] {
        for (int tour = 0; tour < 200; ++tour)
            for (const auto& t : trames)
                vue.sgBuffer(t);
        fini = true;
    });
    int lectures = 0, melanges = 0;
    while (!fini) {
        for (int s = 0; s < Tviewdm::kTailleAnneau; ++s) {
            const SlotAnneau slot = vue.slotAnneau(s);
            if (slot.datecode.annee < 0)
                continue;
            ++lectures;
            // Both codes come from the same k.
            const int k = slot.timecode.images + 25 * (slot.timecode.secondes + 60 * slot.timecode.minutes);
            const TDatecodeDV attendu = DecoderDatecode(trames[size_t(k % 1000)].data(), kOctetsPacksDV);
            if (!(slot.datecode == attendu))
                ++melanges;
        }
    }
    ecrivain.join();
    EXPECT_GT(lectures, 0);
    EXPECT_EQ(melanges, 0);
}

TEST(ApercuOuverture, AnInterruptedCaptureShowsTheFramesItHolds)
{
    KORVAN_REQUIRE_FIXTURES();
    // Its headers claim 20 frames, 12 whole ones remain; the entry is not DV (no codec), so FFmpeg decodes it.
    const TAfficherFichier entree(QString::fromStdString(fixture("pal_truncated.avi")));
    ASSERT_FALSE(entree.estDV);
    Apercu p;
    ASSERT_TRUE(p.vue.OuvrirApercu(entree, &p.rendu)) << p.vue.etapeApercu();
    int64_t d = 0;
    ASSERT_TRUE(p.vue.duree(d));
    EXPECT_EQ(d, 12);
    p.vue.AllerA(d);
    ASSERT_TRUE(p.attendreImage(11));
    EXPECT_LT(ecartMoyen(p.rendu.images.back(), imageFFmpeg(fixture("pal_truncated.avi"), 11)), 2.0);
    QSignalSpy fin(&p.vue, &Tviewdm::termine);
    p.vue.AllerA(8);
    p.vue.Lire();
    ASSERT_TRUE(fin.wait(5000));
    EXPECT_EQ(p.vue.imageAffichee(), 11);
}
