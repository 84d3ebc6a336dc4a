#include "analysis/avi_demuxer.h"
#include "analysis/aviinfo.h"
#include "support/avi_odml.h"
#include "support/fixtures.h"
#include "support/riff_builder.h"

#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <random>
#include <numeric>
#include <unistd.h>

using namespace korvan;
using namespace korvan::test;

namespace {

constexpr uint32_t kFrameBytes = 480;

std::string frameData(uint32_t n)
{
    std::string d(kFrameBytes, 'D');
    ecrireU32(reinterpret_cast<uint8_t*>(d.data()), n);
    return d;
}

std::string bitmapHeader()
{
    BitmapInfoHeader b;
    b.biSize = 40;
    b.biWidth = 720;
    b.biHeight = 576;
    b.biPlanes = 1;
    b.biBitCount = 24;
    b.biCompression = FourCC("dvsd");
    b.biSizeImage = 144000;
    std::string s(40, '\0');
    b.encode(reinterpret_cast<uint8_t*>(s.data()));
    return chunk("strf", s);
}

// An OpenDML clip with one video stream of numbered frames, its delta
// frames flagged in the standard indexes.
OdmlClip buildOdml(int first, int extension, int64_t gap, bool withIdx1)
{
    const int total = first + extension;
    OdmlStream video{strh("vids", "dvsd", 1, 25, uint32_t(total)), bitmapHeader(), "dc", {}, true};
    for (int i = 0; i < total; ++i)
        video.chunks.push_back(frameData(uint32_t(i)));
    return korvan::test::buildOdml({video}, {size_t(first), size_t(extension)}, withIdx1, gap);
}

std::vector<uint32_t> frameNumbers(const AviDemuxer& avi, const std::vector<AviFrame>& frames)
{
    std::vector<uint32_t> n;
    for (const auto& f : frames) {
        uint8_t b[4];
        EXPECT_TRUE(avi.source().readExactAt(f.offset, b, 4));
        n.push_back(lireU32(b));
    }
    return n;
}

std::vector<uint32_t> iota(uint32_t count)
{
    std::vector<uint32_t> v(count);
    for (uint32_t i = 0; i < count; ++i)
        v[i] = i;
    return v;
}

AviDemuxer inMemory(const std::string& bytes)
{
    return AviDemuxer(std::make_shared<MemorySource>(bytes.data(), bytes.size()));
}

} // namespace

TEST(AviDemuxer, FixtureStreamsFramesAndIndexSources)
{
    KORVAN_REQUIRE_FIXTURES();
    const QJsonObject files = expectedFiles();
    for (const char* name : {"pal_t2_43.avi", "ntsc_t2_43.avi", "pal_t1_43.avi", "pal_t1_plus_auds.avi", "pal_scenes_merge.avi"}) {
        SCOPED_TRACE(name);
        const AviDemuxer avi = AviDemuxer::ouvrir(fixture(name));
        ASSERT_TRUE(avi.isAvi());
        EXPECT_FALSE(avi.interrupted());
        AviIndexOrigin origin;
        const auto frames = avi.frameIndex(0, &origin);
        EXPECT_EQ(origin.source, AviIndexSource::Idx1);
        EXPECT_EQ(origin.recovered, 0u);
        EXPECT_EQ(int(frames.size()), files.value(name).toObject().value("frames").toInt());
        for (const auto& f : frames)
            EXPECT_TRUE(f.size == 144000 || f.size == 120000);
        // The first frame found from the start of movi is the index's first.
        ASSERT_TRUE(avi.firstFrame(0));
        EXPECT_EQ(avi.firstFrame(0)->offset, frames.front().offset);
    }
}

TEST(AviDemuxer, InterruptedCaptureKeepsOnlyWholeFrames)
{
    KORVAN_REQUIRE_FIXTURES();
    const AviDemuxer avi = AviDemuxer::ouvrir(fixture("pal_truncated.avi"));
    ASSERT_TRUE(avi.isAvi());
    EXPECT_TRUE(avi.interrupted());
    AviIndexOrigin origin;
    const auto video = avi.frameIndex(0, &origin);
    EXPECT_EQ(origin.source, AviIndexSource::MoviWalk);
    EXPECT_EQ(video.size(), 12u);
    EXPECT_EQ(avi.streams().size(), 2u);
    EXPECT_EQ(avi.streams()[0].header.dwLength, 20u); // what the headers still claim
}

TEST(AviDemuxer, DamagedIdx1FallsBackToWalkingMovi)
{
    KORVAN_REQUIRE_FIXTURES();
    std::string bytes = readWholeFile(fixture("pal_t2_43.avi"));
    const size_t idx1 = bytes.rfind("idx1");
    ASSERT_NE(idx1, std::string::npos);
    // Offsets that point nowhere.
    for (size_t e = idx1 + 8; e + 16 <= bytes.size(); e += 16)
        ecrireU32(reinterpret_cast<uint8_t*>(bytes.data()) + e + 8, 0x7FFFFF00u);
    const AviDemuxer avi = inMemory(bytes);
    AviIndexOrigin origin;
    EXPECT_EQ(avi.frameIndex(0).size(), 30u);
    avi.frameIndex(1, &origin);
    EXPECT_EQ(origin.source, AviIndexSource::MoviWalk);
    EXPECT_EQ(avi.frameIndex(1).size(), 30u);
}

TEST(AviDemuxer, OpenDmlIndexesAndExtensionChunks)
{
    const std::string bytes = buildOdml(5, 4, 0, true).contiguous();
    const AviDemuxer avi = inMemory(bytes);
    ASSERT_TRUE(avi.isAvi());
    AviIndexOrigin origin;
    const auto frames = avi.frameIndex(0, &origin);
    EXPECT_EQ(origin.source, AviIndexSource::OpenDml);
    EXPECT_EQ(origin.recovered, 0u);
    EXPECT_EQ(frameNumbers(avi, frames), iota(9));
    EXPECT_FALSE(frames[0].keyframe == frames[1].keyframe); // bit 31 of the size marks delta frames
    EXPECT_EQ(frames[1].size, kFrameBytes);

    // Without its super index the file is read through idx1 plus the extension's movi.
    std::string noIndx = bytes;
    noIndx.replace(noIndx.find("indx"), 4, "JUNK");
    const AviDemuxer legacy = inMemory(noIndx);
    const auto frames2 = legacy.frameIndex(0, &origin);
    EXPECT_EQ(origin.source, AviIndexSource::Idx1);
    EXPECT_EQ(frameNumbers(legacy, frames2), iota(9));

    // The container verdict accepts the extension chunk too.
    const MemorySource src(bytes.data(), bytes.size());
    EXPECT_TRUE(TAviParam(src).valide);
}

// The cursor gives, window by window and in any order of asking, the frames
// the whole index gives: from OpenDML standard indexes, from idx1 and the
// walk past it, from the walk alone, and from captures cut short.
TEST(AviDemuxer, TheCursorGivesTheIndexWindowByWindowInAnyOrder)
{
    const int64_t w = AviFrameCursor::kWindow;
    const std::string odml = buildOdml(int(2 * w + 5), int(w + 7), 0, true).contiguous();
    std::string idx1Only = odml;
    idx1Only.replace(idx1Only.find("indx"), 4, "JUNK");
    std::string noIndex = idx1Only;
    noIndex.replace(noIndex.find("idx1"), 4, "JUNK");
    const size_t cut = odml.size() - size_t(w / 2) * (kFrameBytes + 8) - 5000;
    struct Cas {
        const char* nom;
        std::string octets;
        AviIndexSource source;
        int64_t images; // -1: fewer than the whole clip, each whole frame in order
    };
    const int64_t toutes = 3 * w + 12;
    const Cas cas[] = {
        {"OpenDML", odml, AviIndexSource::OpenDml, toutes},
        {"idx1 then the walk", idx1Only, AviIndexSource::Idx1, toutes},
        {"the walk alone", noIndex, AviIndexSource::MoviWalk, toutes},
        {"OpenDML cut short", odml.substr(0, cut), AviIndexSource::OpenDml, -1},
        {"the walk cut short", noIndex.substr(0, cut), AviIndexSource::MoviWalk, -1},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const AviDemuxer avi = inMemory(c.octets);
        AviIndexOrigin origine;
        AviFrameCursor curseur = avi.frameCursor(0, &origine);
        const std::vector<AviFrame> index = avi.frameIndex(0);
        EXPECT_EQ(origine.source, c.source);
        ASSERT_EQ(curseur.size(), int64_t(index.size()));
        const auto numeros = frameNumbers(avi, index);
        if (c.images >= 0) {
            EXPECT_EQ(numeros, iota(uint32_t(c.images)));
        } else {
            EXPECT_GT(index.size(), size_t(2 * w));
            EXPECT_LT(index.size(), size_t(toutes));
            EXPECT_EQ(numeros, iota(uint32_t(index.size())));
        }
        std::vector<int64_t> ordre(index.size());
        std::iota(ordre.begin(), ordre.end(), 0);
        std::mt19937 tirage(7);
        std::shuffle(ordre.begin(), ordre.end(), tirage);
        ordre.insert(ordre.end(), {curseur.size() - 1, 0, w - 1, w, 2 * w, -1, curseur.size()});
        int fautes = 0;
        for (const int64_t i : ordre) {
            const AviFrame a = curseur.at(i);
            const AviFrame e = i >= 0 && i < curseur.size() ? index[size_t(i)] : AviFrame{0, 0, true};
            fautes += a.offset != e.offset || a.size != e.size || a.keyframe != e.keyframe;
        }
        EXPECT_EQ(fautes, 0);
    }
}

// A standard index naming frames of two 'movi' lists is taken frame by
// frame: each frame joins the list it lies in, and each list is walked past
// the furthest frame indexed in it.
TEST(AviDemuxer, AStandardIndexSpanningTwoListsSortsItsFramesByList)
{
    const uint32_t n = 300;
    std::string bytes = buildOdml(int(n), 200, 0, false).contiguous();
    const std::vector<AviFrame> avant = inMemory(bytes).frameIndex(0);
    ASSERT_EQ(avant.size(), size_t(n + 200));
    // The first list's index names, in its last entry, the second list's first frame instead of its own.
    const size_t ix = bytes.find("ix00");
    const uint64_t base = lireU64(reinterpret_cast<const uint8_t*>(bytes.data()) + ix + 8 + 12);
    ecrireU32(reinterpret_cast<uint8_t*>(bytes.data()) + ix + 8 + 24 + (n - 1) * 8, uint32_t(avant[n].offset - int64_t(base)));
    const AviDemuxer avi = inMemory(bytes);
    AviIndexOrigin origine;
    AviFrameCursor curseur = avi.frameCursor(0, &origine);
    const std::vector<AviFrame> index = curseur.all();
    // The first list: its frames but the last, which the walk finds; the second: the frame
    // named by the first index, then its own index.
    std::vector<uint32_t> attendus = iota(n);
    attendus.push_back(n);
    for (uint32_t i = n; i < n + 200; ++i)
        attendus.push_back(i);
    EXPECT_EQ(frameNumbers(avi, index), attendus);
    EXPECT_EQ(origine.source, AviIndexSource::OpenDml);
    EXPECT_EQ(origine.recovered, 1u);
    for (int64_t i = curseur.size() - 1; i >= 0; --i)
        ASSERT_EQ(curseur.at(i).offset, index[size_t(i)].offset) << i;
}

TEST(AviDemuxer, FilesBeyondFourGigabytes)
{
    // The extension chunk starts past 4 GiB, behind a hole that costs no disk space.
    const OdmlClip clip = buildOdml(3, 3, int64_t(4) << 30, false);
    ScratchDir dir;
    const std::string path = dir.path("big.avi");
    {
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const bool ok = ::pwrite(fd, clip.head.data(), clip.head.size(), 0) == ssize_t(clip.head.size())
            && ::pwrite(fd, clip.tail.data(), clip.tail.size(), off_t(clip.head.size() + clip.gap)) == ssize_t(clip.tail.size());
        ::close(fd);
        if (!ok)
            GTEST_SKIP() << "this filesystem cannot hold a sparse 4 GiB file";
    }
    const AviDemuxer avi = AviDemuxer::ouvrir(path);
    ASSERT_GT(avi.source().size(), int64_t(4) << 30);
    const auto frames = avi.frameIndex(0);
    EXPECT_EQ(frameNumbers(avi, frames), iota(6));
    EXPECT_GT(frames.back().offset, int64_t(4) << 30);
    EXPECT_TRUE(TAviParam(path).valide);
}

TEST(AviDemuxer, SyntheticOpenDmlReadsTheSameInFfprobe)
{
    const QString ffprobe = QStandardPaths::findExecutable("ffprobe");
    if (ffprobe.isEmpty())
        GTEST_SKIP() << "ffprobe not installed";
    ScratchDir dir;
    const std::string path = dir.path("odml.avi");
    writeWholeFile(path, buildOdml(6, 5, 0, false).contiguous());
    QProcess p;
    p.start(ffprobe, {"-v", "error", "-count_packets", "-select_streams", "v:0", "-show_entries",
                      "stream=nb_read_packets", "-of", "csv=p=0", QString::fromStdString(path)});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).trimmed().toInt(), 11);
    EXPECT_EQ(AviDemuxer::ouvrir(path).frameIndex(0).size(), 11u);
}

TEST(AviDemuxer, ChunkIdsAndForeignInput)
{
    EXPECT_EQ(AviDemuxer::streamOfChunk(FourCC("00dc")), 0);
    EXPECT_EQ(AviDemuxer::streamOfChunk(FourCC("12wb")), 12);
    EXPECT_EQ(AviDemuxer::streamOfChunk(FourCC("00pc")), -1);
    EXPECT_EQ(AviDemuxer::streamOfChunk(FourCC("ix00")), -1);
    EXPECT_EQ(AviDemuxer::streamOfChunk(FourCC("JUNK")), -1);

    EXPECT_FALSE(inMemory("").isAvi());
    EXPECT_FALSE(inMemory(riff("WAVE", {})).isAvi());
    EXPECT_FALSE(inMemory(riff("AVI ", {list("movi", {})})).isAvi()); // no header list
    const AviDemuxer noData = inMemory(riff("AVI ", {list("hdrl", {avih(), list("strl", {strh("vids", "dvsd")})})}));
    EXPECT_TRUE(noData.isAvi());
    EXPECT_FALSE(noData.firstFrame(0));
    EXPECT_TRUE(noData.frameIndex(0).empty());
    EXPECT_TRUE(noData.frameIndex(7).empty());
}
