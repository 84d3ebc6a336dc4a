// A clip over 4 GiB converted both ways: each output is a valid OpenDML
// file that ffprobe reads whole, whose duration MediaInfo gives and whose
// every frame our demuxer finds from its indexes. The source (a fixture
// looped by ffmpeg's own AVI writer, past 4 GiB) and the outputs take about
// 13 GB on disk at most and a minute or more, so the test runs only when
// KORVAN_TESTS_LONGS=1 is set.
#include "analysis/avi_demuxer.h"
#include "analysis/riff_reader.h"
#include "conversion_aide.h"
#include "support/oracles.h"

#include <QFile>
#include <QProcess>

using namespace korvan;
using namespace korvan::test;

namespace {

bool testsLongs()
{
    return qgetenv("KORVAN_TESTS_LONGS") == "1";
}

struct Structure {
    int riffs = 0;
    int64_t plusGrandRiff = 0;
    int64_t taille = 0;
};

Structure structure(const std::string& chemin)
{
    const BinaryFile f(chemin);
    const RiffReader r(f);
    Structure s;
    s.taille = f.size();
    for (int64_t pos = 0; auto h = r.headerAt(pos);) {
        if (!(h->id == FourCC("RIFF")))
            break;
        ++s.riffs;
        s.plusGrandRiff = std::max(s.plusGrandRiff, int64_t(h->size) + 8);
        pos = h->paddedEnd();
    }
    return s;
}

// The checks every output over 4 GiB must pass.
void verifierGrandFichier(const std::string& chemin, size_t images, int flux)
{
    SCOPED_TRACE(chemin);
    const Structure s = structure(chemin);
    EXPECT_GT(s.taille, int64_t(4) << 30);
    EXPECT_GE(s.riffs, 5);
    EXPECT_LE(s.plusGrandRiff, int64_t(1) << 30);
    const AviDemuxer avi = AviDemuxer::ouvrir(chemin);
    EXPECT_FALSE(avi.interrupted());
    AviIndexOrigin origine;
    EXPECT_EQ(avi.frameIndex(0, &origine).size(), images);
    EXPECT_EQ(origine.source, AviIndexSource::OpenDml);
    EXPECT_EQ(origine.recovered, 0u);
    const QJsonArray lus = fluxFfprobe(ffprobe(chemin));
    ASSERT_EQ(lus.size(), flux);
    EXPECT_EQ(lus[0].toObject().value("nb_read_packets").toString().toLongLong(), qlonglong(images));
    EXPECT_NEAR(pisteMediaInfo(chemin, "General").value("Duration").toString().toDouble(), double(images) * 0.04, 0.0011);
}

} // namespace

TEST(GrandFichier, Over4GiBBothWaysIsValidOpenDml)
{
    if (!testsLongs())
        GTEST_SKIP() << "set KORVAN_TESTS_LONGS=1 to convert a clip over 4 GiB";
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir d;
    const std::string source = d.path("grand.avi");
    // 1,021 times the 30 frames of pal_t2_43: 4.64 GB of DV type 2, whose
    // frames alone (the type 1 output) still take 4.41 GB.
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-stream_loop", "1020", "-i", QString::fromStdString(fixture("pal_t2_43.avi")),
                            "-c", "copy", QString::fromStdString(source)});
    ASSERT_TRUE(ffmpeg.waitForFinished(600000));
    ASSERT_EQ(ffmpeg.exitCode(), 0);
    const size_t images = 30 * 1021;
    ASSERT_GT(structure(source).taille, int64_t(4) << 30);

    TCdm cdm;
    const std::string t1 = d.path("grand_type1.avi");
    Resultat r = convertir(cdm, &TCdm::GrapheVersType1, source, t1);
    ASSERT_EQ(r.issue, IssueConversion::Terminee) << r.echec.toStdString();
    verifierGrandFichier(t1, images, 2);
    // The frames of the last RIFF are the source's, but for the samples.
    const auto dernieres = [&](const std::string& c, int flux) {
        const AviDemuxer avi = AviDemuxer::ouvrir(c);
        const std::vector<AviFrame> index = avi.frameIndex(flux);
        std::vector<TrameDV> t;
        for (size_t i = index.size() - 3; i < index.size(); ++i) {
            TrameDV o(index[i].size);
            EXPECT_TRUE(avi.source().readExactAt(index[i].offset, o.data(), o.size()));
            t.push_back(std::move(o));
        }
        return t;
    };
    verifierImagesGardees(dernieres(source, 0), dernieres(t1, 0));
    QFile::remove(QString::fromStdString(source));

    const std::string t2 = d.path("grand_type2.avi");
    r = convertir(cdm, &TCdm::GrapheVersType2, t1, t2);
    ASSERT_EQ(r.issue, IssueConversion::Terminee) << r.echec.toStdString();
    verifierGrandFichier(t2, images, 2);
    EXPECT_TRUE(dernieres(t1, 0) == dernieres(t2, 0));
    // All the sound: 1,920 samples a frame.
    const AviDemuxer avi = AviDemuxer::ouvrir(t2);
    EXPECT_EQ(avi.streams()[1].header.dwLength, uint32_t(images * 1920));
}
