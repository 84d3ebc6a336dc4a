// Sound written into DV frames, read back by ffmpeg's DV demuxer: every rate
// and both systems, counts at the edges of what a frame holds, frames without
// AAUX packs and frames that held 12-bit sound; only the audio data and the
// AAUX source packs may change.
#include "analysis/disposition_son_dv.h"
#include "analysis/dvcodes.h"
#include "analysis/ecriture_son_dv.h"
#include "analysis/son_dv.h"
#include "analysis/systeme_dv.h"
#include "support/fixtures.h"
#include "support/oracles.h"
#include "support/trames_douze_bits.h"

#include <gtest/gtest.h>

#include <random>

using namespace korvan;
using namespace korvan::test;

namespace {

using Trame = std::vector<uint8_t>;

std::vector<Trame> trames(const std::string& nom)
{
    return tramesFixture(nom);
}

std::string ecrireDV(const ScratchDir& d, const std::vector<Trame>& t)
{
    return ecrireDVBrut(d.path("son.dv"), t);
}

// Random stereo samples, the lowest value included.
std::vector<int16_t> pcmAuHasard(size_t paires, unsigned graine)
{
    std::mt19937 h(graine);
    std::vector<int16_t> v(2 * paires);
    for (auto& x : v)
        x = int16_t(h());
    if (!v.empty())
        v[0] = INT16_MIN;
    return v;
}

// What a decoder must give back: the lowest sample is written one step above (0x8000 is the error code).
QByteArray attendu(std::vector<int16_t> v)
{
    for (auto& x : v)
        if (x == INT16_MIN)
            x = INT16_MIN + 1;
    return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size() * 2));
}

bool estBlocSon(size_t bloc)
{
    for (int j = 0; j < kZoneAaux.nombre; ++j)
        if (kZoneAaux.bloc(j) == bloc)
            return true;
    return false;
}

// Bytes of the frame that may change when sound is written: the audio data
// and the source packs of the audio blocks.
void verifierSeulSonChange(const Trame& avant, const Trame& apres)
{
    ASSERT_EQ(avant.size(), apres.size());
    for (size_t o = 0; o < avant.size(); ++o) {
        if (avant[o] == apres[o])
            continue;
        const size_t bloc = (o % kOctetsSequenceDIF) / kOctetsBlocDIF;
        const size_t dansBloc = o % kOctetsBlocDIF;
        const size_t debutBloc = o - dansBloc;
        ASSERT_TRUE(estBlocSon(bloc)) << "byte " << o << " outside the audio blocks";
        const bool donnees = dansBloc >= kDebutDonneesSon;
        const bool packSource = dansBloc >= 3 && dansBloc < 8 && apres[debutBloc + 3] == 0x50;
        ASSERT_TRUE(donnees || packSource) << "byte " << o << " of an audio block's ID or another pack";
    }
}

} // namespace

TEST(EcritureSonDV, EveryRateAndSystemDecodesAsWrittenByFfmpeg)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* fixture;
        int frequence;
        bool verrouille;
    };
    const Cas cas[] = {
        {"pal_t1_43.avi", 48000, true},   {"pal_t1_43.avi", 44100, false},  {"pal_t1_43.avi", 32000, false},
        {"ntsc_t1_32k.avi", 48000, true}, {"ntsc_t1_32k.avi", 44100, false}, {"ntsc_t1_32k.avi", 32000, true},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(std::string(c.fixture) + " " + std::to_string(c.frequence));
        std::vector<Trame> t = trames(c.fixture);
        ASSERT_FALSE(t.empty());
        const bool pal = EstSysteme625(t[0].data(), t[0].size());
        std::vector<int16_t> tout;
        std::vector<int16_t> decode;
        for (size_t n = 0; n < t.size(); ++n) {
            const int paires = EchantillonsNominauxDV(pal, c.frequence, int64_t(n));
            const std::vector<int16_t> pcm = pcmAuHasard(size_t(paires), unsigned(n + 1));
            const Trame avant = t[n];
            ASSERT_TRUE(EcrireSonDV(t[n].data(), t[n].size(), pcm.data(), size_t(paires), c.frequence, c.verrouille));
            verifierSeulSonChange(avant, t[n]);
            tout.insert(tout.end(), pcm.begin(), pcm.end());
            // Every source pack of the frame says what was written.
            const int code = CodeFrequenceSonDV(c.frequence);
            for (size_t s = 0; s < t[n].size() / kOctetsSequenceDIF; ++s)
                for (int j = 0; j < kZoneAaux.nombre; ++j) {
                    const uint8_t* p = t[n].data() + s * kOctetsSequenceDIF + kZoneAaux.position(j);
                    if (p[0] != 0x50)
                        continue;
                    EXPECT_EQ(p[1] & 0x3F, paires - MinimumEchantillonsDV(pal, code));
                    EXPECT_EQ((p[1] & 0x80) == 0, c.verrouille);
                    EXPECT_EQ((p[4] >> 3) & 7, code);
                    EXPECT_EQ(p[4] & 7, 0);
                }
            EXPECT_EQ(DecoderSonDV(t[n].data(), t[n].size(), decode), size_t(paires));
        }
        const QByteArray voulu = attendu(tout);
        EXPECT_TRUE(QByteArray(reinterpret_cast<const char*>(decode.data()), qsizetype(decode.size() * 2)) == voulu);
        ScratchDir d;
        const QByteArray eux = sonFFmpeg({"-f", "dv", "-i", QString::fromStdString(ecrireDV(d, t))});
        ASSERT_EQ(eux.size(), voulu.size());
        EXPECT_TRUE(eux == voulu);
    }
}

TEST(EcritureSonDV, CountsOutsideWhatAFrameHoldsAreRefused)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* fixture;
        int frequence;
        size_t paires;
        bool accepte;
    };
    // PAL 48 kHz holds 1896 to 1944 (its blocks' room), NTSC 48 kHz 1580 to
    // 1620; 44.1 kHz up to the pack's count (minimum + 63).
    const Cas cas[] = {
        {"pal_t1_43.avi", 48000, 1895, false},  {"pal_t1_43.avi", 48000, 1896, true},
        {"pal_t1_43.avi", 48000, 1944, true},   {"pal_t1_43.avi", 48000, 1945, false},
        {"ntsc_t1_32k.avi", 48000, 1620, true}, {"ntsc_t1_32k.avi", 48000, 1621, false},
        {"ntsc_t1_32k.avi", 44100, 1515, true}, {"ntsc_t1_32k.avi", 44100, 1516, false},
        {"pal_t1_43.avi", 22050, 1000, false},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(std::string(c.fixture) + " " + std::to_string(c.frequence) + " " + std::to_string(c.paires));
        Trame f = trames(c.fixture).at(0);
        const Trame avant = f;
        const std::vector<int16_t> pcm = pcmAuHasard(c.paires, 3);
        EXPECT_EQ(EcrireSonDV(f.data(), f.size(), pcm.data(), c.paires, c.frequence, false), c.accepte);
        if (!c.accepte)
            EXPECT_TRUE(f == avant);
        else {
            std::vector<int16_t> d;
            EXPECT_EQ(DecoderSonDV(f.data(), f.size(), d), c.paires);
        }
    }
    // A frame cut short is not written.
    Trame f = trames("pal_t1_43.avi").at(0);
    f.resize(f.size() - 1);
    const std::vector<int16_t> pcm = pcmAuHasard(1920, 3);
    EXPECT_FALSE(EcrireSonDV(f.data(), f.size(), pcm.data(), 1920, 48000, false));
}

TEST(EcritureSonDV, FramesWithoutPacksOrWith12BitSoundTakeTheNewSound)
{
    KORVAN_REQUIRE_FIXTURES();
    // No AAUX pack at all (a frame fresh from an encoder), and frames that
    // held 12-bit 32 kHz sound with two channels a block.
    std::vector<Trame> sansPacks = trames("pal_t1_43.avi");
    for (Trame& f : sansPacks)
        for (size_t s = 0; s < f.size() / kOctetsSequenceDIF; ++s)
            for (int j = 0; j < kZoneAaux.nombre; ++j)
                std::fill_n(f.data() + s * kOctetsSequenceDIF + kZoneAaux.position(j), 5, 0xFF);
    std::vector<Trame> douze = trames("ntsc_t1_32k.avi");
    for (Trame& f : douze)
        for (size_t s = 0; s < f.size() / kOctetsSequenceDIF; ++s)
            for (int j = 0; j < kZoneAaux.nombre; ++j) {
                uint8_t* p = f.data() + s * kOctetsSequenceDIF + kZoneAaux.position(j);
                if (p[0] == 0x50) {
                    p[2] = 0x30;
                    p[4] = uint8_t((p[4] & 0xC0) | (2 << 3) | 1);
                }
            }
    ASSERT_EQ(PairesSonDV(douze[0].data(), douze[0].size()), 2);
    for (auto* t : {&sansPacks, &douze}) {
        SCOPED_TRACE(t == &douze ? "12 bits" : "sans packs");
        ASSERT_FALSE(t->empty());
        const bool pal = EstSysteme625((*t)[0].data(), (*t)[0].size());
        std::vector<int16_t> tout;
        for (size_t n = 0; n < t->size(); ++n) {
            Trame& f = (*t)[n];
            const int paires = EchantillonsNominauxDV(pal, 48000, int64_t(n));
            const std::vector<int16_t> pcm = pcmAuHasard(size_t(paires), unsigned(100 + n));
            ASSERT_TRUE(EcrireSonDV(f.data(), f.size(), pcm.data(), size_t(paires), 48000, false));
            tout.insert(tout.end(), pcm.begin(), pcm.end());
            EXPECT_EQ(PairesSonDV(f.data(), f.size()), 1);
            // Each sequence has its source and source-control packs in the main area.
            for (size_t s = 0; s < f.size() / kOctetsSequenceDIF; ++s) {
                EXPECT_EQ(f[s * kOctetsSequenceDIF + kZoneAaux.position(kPrincipalAaux.slot(s, rangSource))], 0x50);
                EXPECT_EQ(f[s * kOctetsSequenceDIF + kZoneAaux.position(kPrincipalAaux.slot(s, rangControle))], 0x51);
            }
        }
        ScratchDir d;
        const QByteArray eux = sonFFmpeg({"-f", "dv", "-i", QString::fromStdString(ecrireDV(d, *t))});
        EXPECT_TRUE(eux == attendu(tout)) << eux.size();
    }
}

TEST(EcritureSonDV, NominalSharesAddUpToTheRate)
{
    struct Cas {
        bool pal;
        int frequence;
        int64_t trames;
        int64_t echantillons; // over those frames
        int plusPetit, plusGrand;
    };
    const Cas cas[] = {
        {true, 48000, 25, 48000, 1920, 1920},  {true, 44100, 25, 44100, 1764, 1764},
        {true, 32000, 25, 32000, 1280, 1280},  {false, 48000, 5, 8008, 1601, 1602},
        {false, 32000, 15, 16016, 1067, 1068}, {false, 44100, 100, 147147, 1471, 1472},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(std::to_string(c.frequence) + (c.pal ? " PAL" : " NTSC"));
        // Over any stretch of the clip, not only from its start.
        for (const int64_t debut : {int64_t(0), int64_t(1234567)}) {
            int64_t somme = 0;
            int mini = INT32_MAX, maxi = 0;
            for (int64_t n = debut; n < debut + c.trames; ++n) {
                const int e = EchantillonsNominauxDV(c.pal, c.frequence, n);
                somme += e;
                mini = std::min(mini, e);
                maxi = std::max(maxi, e);
            }
            EXPECT_EQ(somme, c.echantillons);
            EXPECT_EQ(mini, c.plusPetit);
            EXPECT_EQ(maxi, c.plusGrand);
        }
    }
    EXPECT_EQ(EchantillonsNominauxDV(true, 22050, 0), 0);
}

TEST(EcritureSonDV, FramesKeepTheirOwnCountAtTheSameRate)
{
    KORVAN_REQUIRE_FIXTURES();
    // The NTSC fixture's frames hold 32 kHz sound (1067 or 1068 samples),
    // written unlocked; one frame made locked with 1066 samples keeps both.
    std::vector<Trame> t = trames("ntsc_t1_32k.avi");
    ASSERT_GE(t.size(), 3u);
    for (size_t s = 0; s < t[1].size() / kOctetsSequenceDIF; ++s)
        for (int j = 0; j < kZoneAaux.nombre; ++j) {
            uint8_t* p = t[1].data() + s * kOctetsSequenceDIF + kZoneAaux.position(j);
            if (p[0] == 0x50)
                p[1] = uint8_t(0x40 | (1066 - 1053));
        }
    RepartitionSonDV memeRate(32000);
    RepartitionSonDV autreRate(48000);
    for (size_t n = 0; n < 3; ++n) {
        SourceAudioDV source;
        ASSERT_TRUE(LireSourceAudioDV(t[n].data(), t[n].size(), source));
        bool verrouille = true;
        EXPECT_EQ(memeRate.echantillons(t[n].data(), t[n].size(), verrouille), source.echantillons);
        EXPECT_EQ(verrouille, n == 1);
        verrouille = true;
        EXPECT_EQ(autreRate.echantillons(t[n].data(), t[n].size(), verrouille), EchantillonsNominauxDV(false, 48000, int64_t(n)));
        EXPECT_FALSE(verrouille);
    }
    bool v = false;
    Trame coupee = t[0];
    coupee.resize(1000);
    EXPECT_EQ(memeRate.echantillons(coupee.data(), coupee.size(), v), 0);
}
