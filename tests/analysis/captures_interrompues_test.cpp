// Interrupted captures: an idx1 or an OpenDML index that stops short of the
// data in 'movi'. Every whole frame still in the file counts, as ffprobe
// reads them, in the frame index and in the entry's durations; a complete
// index is trusted without walking the data it names.
#include "analysis/aviFichier.h"
#include "analysis/avi_demuxer.h"
#include "support/avi_odml.h"
#include "support/fixtures.h"

#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <set>

using namespace korvan;
using namespace korvan::test;

namespace {

constexpr uint32_t kImagePal = 144000;
constexpr int64_t kTempsImagePal = 400000;

// The sizes of the packets ffprobe reads from one stream ("v:0", "a:0").
std::vector<int64_t> paquetsFfprobe(const std::string& chemin, const char* flux)
{
    QProcess p;
    p.start(QStandardPaths::findExecutable("ffprobe"), {"-v", "error", "-select_streams", flux, "-show_entries",
                                                        "packet=size", "-of", "csv=p=0", QString::fromStdString(chemin)});
    EXPECT_TRUE(p.waitForFinished(60000));
    std::vector<int64_t> tailles;
    for (const QString& ligne : QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
        tailles.push_back(ligne.trimmed().toLongLong());
    return tailles;
}

// ffprobe hands over a frame cut by the end of the file as a short packet:
// the whole ones are those of the full size.
size_t imagesEntieres(const std::vector<int64_t>& paquets)
{
    return size_t(std::count(paquets.begin(), paquets.end(), int64_t(kImagePal)));
}

int64_t somme(const std::vector<int64_t>& v)
{
    return std::accumulate(v.begin(), v.end(), int64_t(0));
}

int64_t octets(const std::vector<AviFrame>& frames)
{
    int64_t n = 0;
    for (const AviFrame& f : frames)
        n += f.size;
    return n;
}

void ecrireU32A(std::string& octets, size_t position, uint32_t valeur)
{
    ecrireU32(reinterpret_cast<uint8_t*>(octets.data()) + position, valeur);
}

// pal_scenes_two (two recordings of 16 frames, type 2) laid out again as an
// OpenDML clip: 12 frames in the first RIFF, 20 in its extension.
std::string odmlDeuxScenes()
{
    return buildOdml(streamsOf(AviDemuxer::ouvrir(fixture("pal_scenes_two.avi"))), {12, 20}, true).contiguous();
}

// Where frame i of the first stream starts in a clip's bytes.
int64_t debutImage(const std::string& octets, size_t i)
{
    const AviDemuxer avi(std::make_shared<MemorySource>(octets.data(), octets.size()));
    const auto frames = avi.frameIndex(0);
    return i < frames.size() ? frames[i].offset : -1;
}

std::string sansFin(const std::string& octets, int64_t garder)
{
    return octets.substr(0, size_t(garder));
}

struct Cas {
    const char* nom;
    std::function<std::string()> fichier;
    // The fixture it was made from when every frame of it is still whole in the file.
    const char* memeImagesQue;
};

} // namespace

TEST(CapturesInterrompues, EveryWholeFrameCountsAsFfprobeReadsIt)
{
    KORVAN_REQUIRE_FIXTURES();
    if (QStandardPaths::findExecutable("ffprobe").isEmpty())
        GTEST_SKIP() << "ffprobe not installed";
    const auto fixtureCopie = [](const char* nom) { return readWholeFile(fixture(nom)); };
    const std::vector<Cas> cas = {
        {"idx1 coupé de 100 octets (type 2)",
         [&] {
             const std::string o = fixtureCopie("pal_t2_43.avi");
             return sansFin(o, int64_t(o.size()) - 100);
         },
         "pal_t2_43.avi"},
        {"idx1 coupé de 100 octets (type 1)",
         [&] {
             const std::string o = fixtureCopie("pal_t1_43.avi");
             return sansFin(o, int64_t(o.size()) - 100);
         },
         "pal_t1_43.avi"},
        // A complete file whose idx1 names only its first 40 chunks.
        {"idx1 plus court que movi",
         [&] {
             std::string o = fixtureCopie("pal_t2_43.avi");
             const size_t idx1 = o.rfind("idx1");
             const uint32_t retires = lireU32(reinterpret_cast<const uint8_t*>(o.data()) + idx1 + 4) - 40 * 16;
             o.resize(o.size() - retires);
             ecrireU32A(o, idx1 + 4, 40 * 16);
             ecrireU32A(o, 4, uint32_t(o.size() - 8));
             return o;
         },
         "pal_t2_43.avi"},
        // Cut inside frame 25: the extension's ix## chunks lie past the end
        // of the file, where the super index still points.
        {"OpenDML coupé dans l'AVIX",
         [] {
             const std::string o = odmlDeuxScenes();
             return sansFin(o, debutImage(o, 25) + kImagePal / 2);
         },
         nullptr},
        {"OpenDML coupé dans l'ix## de l'AVIX",
         [] {
             const std::string o = odmlDeuxScenes();
             return sansFin(o, int64_t(o.rfind("ix00")) + 40);
         },
         "pal_scenes_two.avi"},
        // The super indexes name the first RIFF's standard indexes only.
        {"super index plus court que les AVIX",
         [] {
             std::string o = odmlDeuxScenes();
             for (size_t at = o.find("indx"); at != std::string::npos && at < 12000; at = o.find("indx", at + 4))
                 ecrireU32A(o, at + 8 + 4, 1);
             return o;
         },
         "pal_scenes_two.avi"},
        // An extension chunk never closed: RIFF and 'movi' sizes left at 0.
        {"AVIX jamais fermé",
         [] {
             std::string o = odmlDeuxScenes();
             const size_t avix = o.find("AVIX") - 8;
             ecrireU32A(o, avix + 4, 0);
             ecrireU32A(o, avix + 16, 0);
             return sansFin(o, debutImage(o, 30) + 100);
         },
         nullptr},
    };

    ScratchDir dir;
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const std::string chemin = dir.path(std::string(c.nom) + ".avi");
        writeWholeFile(chemin, c.fichier());
        const AviDemuxer avi = AviDemuxer::ouvrir(chemin);
        AviIndexOrigin origine;
        const auto images = avi.frameIndex(0, &origine);
        EXPECT_NE(origine.source, AviIndexSource::MoviWalk) << "the index is used as far as it goes";
        EXPECT_GT(origine.recovered, 0u);

        const auto video = paquetsFfprobe(chemin, "v:0");
        ASSERT_FALSE(video.empty());
        EXPECT_EQ(images.size(), imagesEntieres(video));
        if (c.memeImagesQue) {
            EXPECT_EQ(images.size(), paquetsFfprobe(fixture(c.memeImagesQue), "v:0").size()) << "every frame of the intact clip";
        }
        const bool type1 = avi.streams().size() == 1;

        const TAfficherFichier entree(QString::fromStdString(chemin));
        EXPECT_EQ(entree.dureeVideo, int64_t(images.size()) * kTempsImagePal);
        if (!type1) {
            // The sound as bytes: ffprobe splits PCM chunks into packets of its own.
            const auto son = avi.frameIndex(1);
            EXPECT_EQ(octets(son), somme(paquetsFfprobe(chemin, "a:0")));
            EXPECT_NEAR(double(entree.dureeAudio) / 1e7, double(octets(son)) / 4 / 48000, 1e-6);
        }
    }
}

namespace {

// Bytes in memory that note where each read starts.
class SourceEcoutee : public ByteSource {
public:
    explicit SourceEcoutee(std::string octets) : octets_(std::move(octets)), memoire_(octets_.data(), octets_.size()) {}
    int64_t size() const override { return memoire_.size(); }
    size_t readAt(int64_t offset, void* buffer, size_t n) const override
    {
        lectures.push_back(offset);
        return memoire_.readAt(offset, buffer, n);
    }
    mutable std::vector<int64_t> lectures;

private:
    std::string octets_;
    MemorySource memoire_;
};

} // namespace

// A complete index is not checked by walking the data it names: of the
// chunks it lists, only the last one of each 'movi' list has its header read
// (to see that the index names real chunks) and the first (from which idx1
// tells where its offsets count from); the data past the last one is read up
// to the end of its list.
TEST(CapturesInterrompues, ACompleteIndexIsTrustedWithoutWalkingTheData)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Clip {
        const char* nom;
        std::string octets;
        AviIndexSource source;
        size_t listesMovi;
    };
    const std::string odml = odmlDeuxScenes();
    std::string odmlSansIndx = odml;
    for (size_t at = odmlSansIndx.find("indx"); at != std::string::npos && at < 12000; at = odmlSansIndx.find("indx", at + 4))
        odmlSansIndx.replace(at, 4, "JUNK");
    const std::vector<Clip> clips = {
        {"pal_t2_43.avi", readWholeFile(fixture("pal_t2_43.avi")), AviIndexSource::Idx1, 1},
        {"pal_t1_43.avi", readWholeFile(fixture("pal_t1_43.avi")), AviIndexSource::Idx1, 1},
        {"pal_scenes_merge.avi", readWholeFile(fixture("pal_scenes_merge.avi")), AviIndexSource::Idx1, 1},
        {"OpenDML", odml, AviIndexSource::OpenDml, 2},
    };
    for (const Clip& c : clips) {
        SCOPED_TRACE(c.nom);
        auto source = std::make_shared<SourceEcoutee>(c.octets);
        const AviDemuxer avi(source);
        for (const AviStreamInfo& s : avi.streams()) {
            SCOPED_TRACE(s.number);
            source->lectures.clear();
            AviIndexOrigin origine;
            const auto frames = avi.frameIndex(s.number, &origine);
            EXPECT_EQ(origine.source, c.source);
            EXPECT_EQ(origine.recovered, 0u);
            ASSERT_GT(frames.size(), 2u);
            const std::set<int64_t> lues(source->lectures.begin(), source->lectures.end());
            size_t entetesLues = 0;
            for (const AviFrame& f : frames)
                entetesLues += lues.count(f.offset - 8);
            EXPECT_LE(entetesLues, c.listesMovi + 1);
            EXPECT_LT(source->lectures.size(), frames.size()) << "fewer reads than chunks";
        }
    }
    // Read through idx1 and a walk of the extension, which no index covers.
    const AviDemuxer sansIndx(std::make_shared<SourceEcoutee>(odmlSansIndx));
    AviIndexOrigin origine;
    EXPECT_EQ(sansIndx.frameIndex(0, &origine).size(), 32u);
    EXPECT_EQ(origine.source, AviIndexSource::Idx1);
    EXPECT_EQ(origine.recovered, 20u);
}
