// The player's sources on their own: the sound they hand on for a whole clip
// is ffmpeg's decoding of the same file, sample for sample; frame times.
#include "analysis/avi_demuxer.h"
#include "pipelines/source_dv.h"
#include "pipelines/source_ffmpeg.h"
#include "support/fixtures.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

QByteArray sonFFmpeg(const std::string& chemin)
{
    QProcess p;
    p.start("ffmpeg", {"-hide_banner", "-loglevel", "error", "-i", QString::fromStdString(chemin), "-map", "0:a:0",
                       "-f", "s16le", "-acodec", "pcm_s16le", "-"});
    p.waitForFinished(60000);
    return p.readAllStandardOutput();
}

QByteArray enOctets(const std::vector<int16_t>& s)
{
    return QByteArray(reinterpret_cast<const char*>(s.data()), qsizetype(s.size() * 2));
}

std::vector<int16_t> sonDesImages(SourceLecture& source, int64_t depuis = 0)
{
    std::vector<int16_t> son;
    source.positionner(depuis);
    ImageLue image;
    while (source.lireImage(image, false, &son)) {
    }
    return son;
}

} // namespace

TEST(SourceDV, SoundOfEveryFrameIsTheFilesSound)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* nom;
        int fluxSon;     // -1: the DV frames' own sound
        int frequence;
    };
    for (const Cas c : {Cas{"pal_t2_43.avi", 1, 48000}, Cas{"ntsc_t2_43.avi", 1, 48000}, Cas{"pal_t1_43.avi", -1, 48000},
                        Cas{"ntsc_t1_32k.avi", -1, 32000}, Cas{"pal_t1_plus_auds.avi", 1, 48000}}) {
        SCOPED_TRACE(c.nom);
        auto avi = std::make_shared<AviDemuxer>(AviDemuxer::ouvrir(fixture(c.nom)));
        const bool type1 = avi->streams()[0].header.fccType == FourCC("iavs");
        SourceDV source(avi, 0, c.fluxSon, type1);
        EXPECT_EQ(source.formatSon().frequence, c.frequence);
        EXPECT_EQ(source.formatSon().canaux, 2);
        const QByteArray eux = sonFFmpeg(fixture(c.nom));
        const QByteArray nous = enOctets(sonDesImages(source));
        ASSERT_EQ(nous.size(), eux.size());
        EXPECT_TRUE(nous == eux);
        // From a frame in the middle: the rest of the same sound.
        if (c.fluxSon >= 0) {
            const int64_t n = source.nombreImages() / 2;
            const int64_t avant = (n * c.frequence * source.base().scale / source.base().rate) * 4;
            EXPECT_TRUE(enOctets(sonDesImages(source, n)) == eux.mid(avant));
        }
    }
}

TEST(SourceFFmpeg, SoundOfAClipWithVideoAndOfASoundOnlyClipIsFfmpegs)
{
    KORVAN_REQUIRE_FIXTURES();
    SourceFFmpeg::Issue issue;
    auto video = SourceFFmpeg::ouvrir(QString::fromStdString(fixture("mjpeg_pcm.avi")), true, 0, issue);
    ASSERT_TRUE(video);
    EXPECT_EQ(issue, SourceFFmpeg::Issue::Ouverte);
    EXPECT_EQ(video->nombreImages(), 25);
    EXPECT_EQ(video->formatSon().frequence, 44100);
    EXPECT_TRUE(enOctets(sonDesImages(*video)) == sonFFmpeg(fixture("mjpeg_pcm.avi")));

    auto son = SourceFFmpeg::ouvrir(QString::fromStdString(fixture("pcm_audio_only.avi")), false, 15000000, issue);
    ASSERT_TRUE(son);
    EXPECT_FALSE(son->aVideo());
    EXPECT_EQ(son->duree(), 15000000);
    std::vector<int16_t> tout;
    son->positionner(0);
    while (son->lireSon(tout)) {
    }
    const QByteArray eux = sonFFmpeg(fixture("pcm_audio_only.avi"));
    EXPECT_TRUE(enOctets(tout) == eux);
    // From 1 s: the samples from 44,100 on.
    std::vector<int16_t> reste;
    son->positionner(10000000);
    while (son->lireSon(reste)) {
    }
    EXPECT_TRUE(enOctets(reste) == eux.mid(44100 * 2));
}

TEST(BaseTemps, FramesStartAtTheirFirstWholeUnitAndRoundedStepsReachTheNext)
{
    const BaseTemps pal{25, 1};
    EXPECT_EQ(pal.debutImage(1), 400000);
    EXPECT_EQ(pal.imageAuTemps(399999), 1); // one unit of slack
    EXPECT_EQ(pal.imageAuTemps(399998), 0);
    const BaseTemps ntsc{30000, 1001};
    EXPECT_EQ(ntsc.debutImage(1), 333667);
    EXPECT_EQ(ntsc.debutImage(3), 1001000);
    // Steps of 333,667 and 417,083 (23.976 fps) from every frame land on the next one, and back.
    for (const BaseTemps b : {ntsc, BaseTemps{24000, 1001}, BaseTemps{25, 1}, BaseTemps{15, 1}}) {
        const int64_t pas = int64_t(std::llround(1e7 * double(b.scale) / double(b.rate)));
        for (int64_t n = 0; n < 100000; n += 7) {
            ASSERT_EQ(b.imageAuTemps(b.debutImage(n)), n);
            ASSERT_EQ(b.imageAuTemps(b.debutImage(n) + pas), n + 1) << b.rate << " " << n;
            if (n > 0)
                ASSERT_EQ(b.imageAuTemps(b.debutImage(n) - pas), n - 1) << b.rate << " " << n;
        }
    }
}
