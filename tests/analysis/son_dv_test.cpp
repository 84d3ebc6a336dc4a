// The sound of DV frames against ffmpeg's DV demuxer on the same frames:
// 16-bit at 48 and 32 kHz from the fixtures, and 12-bit non-linear sound with
// its two stereo pairs written into fixture frames here.
#include "analysis/avi_demuxer.h"
#include "analysis/dvcodes.h"
#include "analysis/positions_packs_dv.h"
#include "analysis/son_dv.h"
#include "support/fixtures.h"
#include "support/oracles.h"
#include "support/trames_douze_bits.h"

#include <gtest/gtest.h>


using namespace korvan;
using namespace korvan::test;

namespace {

std::vector<std::vector<uint8_t>> trames(const std::string& chemin)
{
    return tramesDe(chemin);
}

QByteArray sonKorvan(const std::vector<std::vector<uint8_t>>& t, size_t* paires = nullptr, int paire = 0)
{
    std::vector<int16_t> s;
    size_t n = 0;
    for (const auto& f : t)
        n += DecoderSonDV(f.data(), f.size(), s, paire);
    if (paires)
        *paires = n;
    return QByteArray(reinterpret_cast<const char*>(s.data()), qsizetype(s.size() * 2));
}

} // namespace

TEST(SonDV, SixteenBitSoundIsFfmpegsSampleForSample)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* nom;
        size_t paires;
    };
    // 25 PAL frames at 48 kHz; 30 NTSC frames at 32 kHz (1,067 or 1,068 a frame).
    for (const Cas c : {Cas{"pal_t1_43.avi", 48000}, Cas{"ntsc_t1_32k.avi", 32032}}) {
        SCOPED_TRACE(c.nom);
        size_t paires = 0;
        const QByteArray nous = sonKorvan(trames(fixture(c.nom)), &paires);
        const QByteArray eux = sonFFmpeg({"-i", QString::fromStdString(fixture(c.nom))});
        EXPECT_EQ(paires, c.paires);
        ASSERT_EQ(nous.size(), eux.size());
        EXPECT_TRUE(nous == eux);
    }
}

TEST(SonDV, TwelveBitSoundIsFfmpegsSampleForSample)
{
    KORVAN_REQUIRE_FIXTURES();
    const auto t = tramesDouzeBits(true);
    ASSERT_FALSE(t.empty());
    ScratchDir dossier;
    const QString chemin = QString::fromStdString(ecrireDVBrut(dossier.path("douze.dv"), t));
    // Both pairs, each against ffmpeg's stream of the same rank.
    for (int paire = 0; paire < 2; ++paire) {
        SCOPED_TRACE(paire);
        size_t paires = 0;
        const QByteArray nous = sonKorvan(t, &paires, paire);
        EXPECT_EQ(paires, 6 * (1264 + 1280 + 1300 + 1327) + 1264);
        const QByteArray eux = sonFFmpeg({"-f", "dv", "-i", chemin}, paire);
        ASSERT_EQ(nous.size(), eux.size());
        EXPECT_TRUE(nous == eux);
    }
}

TEST(SonDV, PairsAreCountedFromTheSourcePacks)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* nom;
        std::vector<std::vector<uint8_t>> trames;
        int paires;
    };
    auto sansSource = trames(fixture("pal_t1_43.avi"));
    for (auto& f : sansSource)
        f[kZoneAaux.position(kPrincipalAaux.slot(0, rangSource))] = 0xFF;
    auto coupee = trames(fixture("ntsc_t1_32k.avi"));
    for (auto& f : coupee)
        f.resize(f.size() - 1);
    const Cas cas[] = {
        {"16 bits 48 kHz", trames(fixture("pal_t1_43.avi")), 1},
        {"16 bits 32 kHz", trames(fixture("ntsc_t1_32k.avi")), 1},
        {"12 bits, deux paires", tramesDouzeBits(true), 2},
        {"12 bits, seconde moitie muette", tramesDouzeBits(false), 1},
        {"sans pack source", std::move(sansSource), 0},
        {"trame coupee", std::move(coupee), 0},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        ASSERT_FALSE(c.trames.empty());
        EXPECT_EQ(PairesSonDV(c.trames[0].data(), c.trames[0].size()), c.paires);
        // The second pair decodes exactly where it is counted.
        std::vector<int16_t> s;
        EXPECT_EQ(DecoderSonDV(c.trames[0].data(), c.trames[0].size(), s, 1) > 0, c.paires == 2);
    }
}

TEST(SonDV, TwelveBitCodesExpandByTheirSegments)
{
    struct Cas {
        int douze;
        int seize;
    };
    for (const Cas c : {Cas{0, 0}, Cas{255, 255}, Cas{511, 511}, Cas{512, 512}, Cas{767, 1022}, Cas{768, 1024},
                        Cas{1792, 16384}, Cas{2047, 32704}, Cas{-1, -1}, Cas{-512, -512}, Cas{-513, -513},
                        Cas{-2047, -32641}}) {
        EXPECT_EQ(Son12Vers16(c.douze), c.seize) << c.douze;
    }
}

TEST(SonDV, FramesWithoutSoundOrCutShortGiveNothing)
{
    KORVAN_REQUIRE_FIXTURES();
    auto t = trames(fixture("pal_t1_43.avi"));
    ASSERT_FALSE(t.empty());
    std::vector<int16_t> s;
    EXPECT_EQ(DecoderSonDV(t[0].data(), t[0].size() - 1, s), 0u);
    EXPECT_EQ(DecoderSonDV(t[0].data(), 100, s), 0u);
    EXPECT_TRUE(s.empty());
    // No AAUX source pack: no sound.
    auto f = t[0];
    f[kZoneAaux.position(kPrincipalAaux.slot(0, rangSource))] = 0xFF;
    EXPECT_EQ(DecoderSonDV(f.data(), f.size(), s), 0u);
    EXPECT_TRUE(s.empty());
}
