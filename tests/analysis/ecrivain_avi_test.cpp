// The AVI writer, checked by the program's demuxer and by ffprobe and
// MediaInfo: one RIFF, and RIFF extensions made small here so that a few
// megabytes already give an OpenDML file of several parts; the indexes, the
// header counts, the bytes of every chunk and a golden hash of each output.
#include "analysis/avi_demuxer.h"
#include "analysis/ecrivain_avi.h"
#include "analysis/riff_reader.h"
#include "support/fixtures.h"
#include "support/oracles.h"

#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

struct Chunks {
    std::vector<AviStreamInfo> flux;
    std::vector<std::vector<std::vector<uint8_t>>> donnees; // per stream
};

// The streams of a fixture clip, their chunks repeated `fois` times.
Chunks chunksDe(const std::string& nom, int fois)
{
    const AviDemuxer avi = AviDemuxer::ouvrir(fixture(nom));
    Chunks c;
    c.flux = avi.streams();
    c.donnees.resize(c.flux.size());
    for (int k = 0; k < fois; ++k)
        for (const AviStreamInfo& s : c.flux)
            for (const AviFrame& f : avi.frameIndex(s.number)) {
                std::vector<uint8_t> o(f.size);
                EXPECT_TRUE(avi.source().readExactAt(f.offset, o.data(), o.size()));
                c.donnees[size_t(s.number)].push_back(std::move(o));
            }
    return c;
}

// The clip written through the writer, the streams interleaved chunk by chunk.
void ecrire(SortieOctets& sortie, const Chunks& c, int64_t tailleRiff)
{
    std::vector<FluxEcrit> flux;
    for (const AviStreamInfo& s : c.flux) {
        char id[5];
        std::snprintf(id, sizeof id, "%02d%s", s.number, s.header.fccType == FourCC("auds") ? "wb" : "dc");
        flux.push_back({s.header, s.format, FourCC::fromBytes(reinterpret_cast<const uint8_t*>(id))});
    }
    EcrivainAvi avi(sortie, flux, {40000, 720, 576}, tailleRiff);
    for (size_t i = 0; i < c.donnees[0].size(); ++i)
        for (size_t n = 0; n < c.donnees.size(); ++n)
            if (i < c.donnees[n].size())
                avi.ecrire(n, c.donnees[n][i].data(), uint32_t(c.donnees[n][i].size()));
    avi.terminer();
}

struct PartieRiff {
    FourCC forme;
    int64_t taille;
    bool idx1 = false;
};

std::vector<PartieRiff> partiesRiff(const ByteSource& source)
{
    const RiffReader r(source);
    std::vector<PartieRiff> parties;
    for (int64_t pos = 0; auto h = r.headerAt(pos);) {
        if (!(h->id == FourCC("RIFF")))
            break;
        PartieRiff p{*r.fourccAt(h->dataPosition()), int64_t(h->size) + 8};
        for (int64_t q = h->dataPosition() + 4; q < h->paddedEnd();) {
            const auto c = r.headerAt(q);
            if (!c)
                break;
            p.idx1 = p.idx1 || c->id == FourCC("idx1");
            q = c->paddedEnd();
        }
        parties.push_back(p);
        pos = h->paddedEnd();
    }
    return parties;
}

} // namespace

TEST(EcrivainAvi, OneRiffAndExtensionsReadBackByUsFfprobeAndMediaInfo)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* nom;
        int fois;
        int64_t tailleRiff;
        size_t riffs;
        const char* sha256;
    };
    // 30 frames of DV type 2 (video + PCM), once in a single RIFF and eight
    // times over in RIFFs of 2 MiB.
    const Cas cas[] = {
        {"un RIFF", 1, EcrivainAvi::kTailleRiff, 1, "690caaa8c8e463d39d93a677477def2b7cc78f36d314ef0c7c42d0ecc5492ceb"},
        {"extensions", 8, 2 << 20, 19, "6ee71440abfbd4f52cc38fea4c394c95221e8de08927d43164186e83cff127e9"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const Chunks entree = chunksDe("pal_t2_43.avi", c.fois);
        ScratchDir d;
        const std::string chemin = d.path("sortie.avi");
        {
            SortieFichier fichier(chemin);
            ecrire(fichier, entree, c.tailleRiff);
        }
        // The same bytes through memory.
        SortieMemoire memoire;
        ecrire(memoire, entree, c.tailleRiff);
        EXPECT_EQ(readWholeFile(chemin), std::string(memoire.octets().begin(), memoire.octets().end()));

        // RIFF parts: each under the size asked, idx1 in the first only.
        const auto source = std::make_shared<BinaryFile>(chemin);
        const auto parties = partiesRiff(*source);
        ASSERT_EQ(parties.size(), c.riffs);
        for (size_t i = 0; i < parties.size(); ++i) {
            EXPECT_EQ(parties[i].forme, FourCC(i == 0 ? "AVI " : "AVIX"));
            EXPECT_LE(parties[i].taille, c.tailleRiff);
            EXPECT_EQ(parties[i].idx1, i == 0);
        }
        int64_t total = 0;
        for (const auto& p : parties)
            total += p.taille;
        EXPECT_EQ(total, source->size());

        // Our demuxer: the headers, and every chunk from the OpenDML indexes.
        const AviDemuxer avi(source);
        ASSERT_TRUE(avi.isAvi());
        EXPECT_FALSE(avi.interrupted());
        ASSERT_EQ(avi.streams().size(), entree.flux.size());
        for (const AviStreamInfo& s : avi.streams()) {
            SCOPED_TRACE(s.number);
            const auto& attendus = entree.donnees[size_t(s.number)];
            AviIndexOrigin origine;
            const std::vector<AviFrame> index = avi.frameIndex(s.number, &origine);
            EXPECT_EQ(origine.source, AviIndexSource::OpenDml);
            EXPECT_EQ(origine.recovered, 0u);
            ASSERT_EQ(index.size(), attendus.size());
            uint64_t octets = 0;
            uint32_t plusGrand = 0;
            for (size_t i = 0; i < index.size(); ++i) {
                std::vector<uint8_t> o(index[i].size);
                ASSERT_TRUE(avi.source().readExactAt(index[i].offset, o.data(), o.size()));
                ASSERT_TRUE(o == attendus[i]) << "chunk " << i;
                octets += o.size();
                plusGrand = std::max(plusGrand, uint32_t(o.size()));
            }
            EXPECT_EQ(s.header.fccType, entree.flux[size_t(s.number)].header.fccType);
            EXPECT_EQ(s.format, entree.flux[size_t(s.number)].format);
            EXPECT_EQ(s.header.dwLength, s.header.dwSampleSize ? octets / s.header.dwSampleSize : index.size());
            EXPECT_EQ(s.header.dwSuggestedBufferSize, plusGrand);
        }
        // avih counts the first RIFF's frames for AVI 1.0 readers, dmlh all of them.
        const RiffReader r(*source);
        uint8_t b[AviMainHeader::kSize];
        ASSERT_TRUE(r.readAt(12 + 12 + 8, b, sizeof b));
        const AviMainHeader avih = AviMainHeader::decode(b, sizeof b);
        EXPECT_EQ(avih.dwStreams, 2u);
        EXPECT_EQ(avih.dwMicroSecPerFrame, 40000u);
        if (c.riffs == 1)
            EXPECT_EQ(avih.dwTotalFrames, entree.donnees[0].size());
        else
            EXPECT_LT(avih.dwTotalFrames, entree.donnees[0].size());

        // ffprobe sees every frame and all the sound; MediaInfo the duration.
        const QJsonArray flux = fluxFfprobe(ffprobe(chemin));
        ASSERT_EQ(flux.size(), 2);
        EXPECT_EQ(flux[0].toObject().value("codec_name").toString(), "dvvideo");
        EXPECT_EQ(flux[0].toObject().value("nb_read_packets").toString().toInt(), int(entree.donnees[0].size()));
        QByteArray son;
        for (const auto& m : entree.donnees[1])
            son.append(reinterpret_cast<const char*>(m.data()), qsizetype(m.size()));
        EXPECT_TRUE(sonFFmpeg(chemin) == son);
        const QJsonObject general = pisteMediaInfo(chemin, "General");
        EXPECT_NEAR(general.value("Duration").toString().toDouble(), 1.2 * c.fois, 0.0011);
        EXPECT_EQ(pisteMediaInfo(chemin, "Video").value("FrameCount").toString().toInt(), int(entree.donnees[0].size()));

        EXPECT_EQ(sha256(chemin), QString::fromLatin1(c.sha256));
    }
}

TEST(EcrivainAvi, Idx1NamesTheFirstRiffsChunksForOldReaders)
{
    KORVAN_REQUIRE_FIXTURES();
    const Chunks entree = chunksDe("pal_t2_43.avi", 4);
    SortieMemoire m;
    ecrire(m, entree, 2 << 20);
    const MemorySource source(m.octets().data(), m.octets().size());
    const RiffReader r(source);
    // The 'movi' list of the first RIFF and its idx1.
    int64_t movi = -1;
    std::optional<ChunkHeader> idx1;
    const auto riff = r.headerAt(0);
    ASSERT_TRUE(riff);
    for (int64_t q = 12; q < riff->paddedEnd();) {
        const auto c = r.headerAt(q);
        ASSERT_TRUE(c);
        if (c->id == FourCC("LIST") && r.fourccAt(c->dataPosition()) == FourCC("movi"))
            movi = c->dataPosition();
        if (c->id == FourCC("idx1"))
            idx1 = c;
        q = c->paddedEnd();
    }
    ASSERT_GE(movi, 0);
    ASSERT_TRUE(idx1);
    ASSERT_EQ(idx1->size % 16, 0u);
    std::vector<size_t> vus(2, 0);
    for (uint32_t e = 0; e < idx1->size / 16; ++e) {
        uint8_t b[16];
        ASSERT_TRUE(r.readAt(idx1->dataPosition() + 16 * e, b, 16));
        const FourCC id = FourCC::fromBytes(b);
        const int n = AviDemuxer::streamOfChunk(id);
        ASSERT_TRUE(n == 0 || n == 1);
        // Offsets from the 'movi' code to the chunk header, every chunk a key frame.
        const auto h = r.headerAt(movi + lireU32(b + 8));
        ASSERT_TRUE(h);
        EXPECT_EQ(h->id, id);
        EXPECT_EQ(h->size, lireU32(b + 12));
        EXPECT_EQ(lireU32(b + 4), 0x10u);
        std::vector<uint8_t> o(h->size);
        ASSERT_TRUE(r.readAt(h->dataPosition(), o.data(), o.size()));
        EXPECT_TRUE(o == entree.donnees[size_t(n)][vus[size_t(n)]++]);
        EXPECT_LE(h->paddedEnd(), riff->paddedEnd());
    }
    EXPECT_GT(vus[0], 0u);
    EXPECT_LT(vus[0], entree.donnees[0].size());
}

TEST(EcrivainAvi, AFormatOfAnotherSizeIsRefusedAndAnEmptyClipIsStillAFile)
{
    KORVAN_REQUIRE_FIXTURES();
    const Chunks entree = chunksDe("pal_t2_43.avi", 1);
    std::vector<FluxEcrit> flux{{entree.flux[0].header, entree.flux[0].format, FourCC("00dc")}};
    SortieMemoire m;
    EcrivainAvi avi(m, flux, {40000, 720, 576});
    EXPECT_THROW(avi.remplacerFormat(0, std::vector<uint8_t>(3)), FileError);
    std::vector<uint8_t> autre = entree.flux[0].format;
    autre[0] ^= 1;
    avi.remplacerFormat(0, autre);
    avi.terminer();
    const MemorySource source(m.octets().data(), m.octets().size());
    const AviDemuxer lu(std::shared_ptr<const ByteSource>(&source, [](const ByteSource*) {}));
    ASSERT_TRUE(lu.isAvi());
    ASSERT_EQ(lu.streams().size(), 1u);
    EXPECT_EQ(lu.streams()[0].format, autre);
    EXPECT_TRUE(lu.frameIndex(0).empty());
    EXPECT_EQ(lu.streams()[0].header.dwLength, 0u);
}
