// The WAV writer: its header laid out field by field, short files decoded by
// ffmpeg sample for sample, and past 4 GiB an RF64 header that ffprobe and
// MediaInfo read the right duration from (the data a sparse hole).
#include "analysis/bytes.h"
#include "analysis/ecrivain_wav.h"
#include "support/fixtures.h"
#include "support/oracles.h"

#include <gtest/gtest.h>

#include <random>
#include <unistd.h>

using namespace korvan;
using namespace korvan::test;

namespace {

std::vector<uint8_t> formatPcm(uint16_t canaux, uint32_t frequence, uint16_t bits)
{
    std::vector<uint8_t> f(16);
    const uint16_t bloc = uint16_t(canaux * bits / 8);
    ecrireU16(f.data(), 1);
    ecrireU16(f.data() + 2, canaux);
    ecrireU32(f.data() + 4, frequence);
    ecrireU32(f.data() + 8, frequence * bloc);
    ecrireU16(f.data() + 12, bloc);
    ecrireU16(f.data() + 14, bits);
    return f;
}

std::string texte(const std::vector<uint8_t>& v, size_t a, size_t n)
{
    return std::string(reinterpret_cast<const char*>(v.data() + a), n);
}

} // namespace

TEST(EcrivainWav, HeaderFieldsBelowAndAbove4GiB)
{
    const std::vector<uint8_t> format = formatPcm(2, 48000, 16);
    struct Cas {
        uint64_t donnees;
        bool rf64;
    };
    // The last even size that still fits a 32-bit RIFF size, and the next one that does not.
    const uint64_t limite = 0xFFFFFFFEull - (4 + 36 + 24 + 8);
    for (const Cas c : {Cas{1000, false}, Cas{limite, false}, Cas{limite + 2, true}, Cas{5ull << 30, true}}) {
        SCOPED_TRACE(c.donnees);
        const std::vector<uint8_t> e = EnteteWav(format, c.donnees);
        ASSERT_EQ(e.size(), 12u + 36 + 24 + 8);
        const uint64_t riff = 4 + 36 + 24 + 8 + c.donnees + (c.donnees & 1);
        EXPECT_EQ(texte(e, 0, 4), c.rf64 ? "RF64" : "RIFF");
        EXPECT_EQ(lireU32(e.data() + 4), c.rf64 ? 0xFFFFFFFFu : uint32_t(riff));
        EXPECT_EQ(texte(e, 8, 4), "WAVE");
        EXPECT_EQ(texte(e, 12, 4), c.rf64 ? "ds64" : "JUNK");
        EXPECT_EQ(lireU32(e.data() + 16), 28u);
        EXPECT_EQ(lireU64(e.data() + 20), c.rf64 ? riff : 0);
        EXPECT_EQ(lireU64(e.data() + 28), c.rf64 ? c.donnees : 0);
        EXPECT_EQ(lireU64(e.data() + 36), c.rf64 ? c.donnees / 4 : 0);
        EXPECT_EQ(lireU32(e.data() + 44), 0u);
        EXPECT_EQ(texte(e, 48, 4), "fmt ");
        EXPECT_EQ(lireU32(e.data() + 52), 16u);
        EXPECT_TRUE(std::equal(format.begin(), format.end(), e.begin() + 56));
        EXPECT_EQ(texte(e, 72, 4), "data");
        EXPECT_EQ(lireU32(e.data() + 76), c.rf64 ? 0xFFFFFFFFu : uint32_t(c.donnees));
    }
}

TEST(EcrivainWav, ShortFilesDecodeAsWritten)
{
    struct Cas {
        uint16_t canaux;
        uint32_t frequence;
        uint16_t bits;
        size_t octets;
    };
    // Stereo 16-bit, and 8-bit mono of an odd length (a pad byte follows the data).
    for (const Cas c : {Cas{2, 48000, 16, 192000 * 3 + 8}, Cas{1, 22050, 8, 22051}}) {
        SCOPED_TRACE(c.bits);
        std::mt19937 h(c.bits);
        std::vector<uint8_t> donnees(c.octets);
        for (auto& o : donnees)
            o = uint8_t(h());
        ScratchDir d;
        const std::string chemin = d.path("son.wav");
        {
            SortieFichier f(chemin);
            EcrivainWav wav(f, formatPcm(c.canaux, c.frequence, c.bits));
            // In pieces, as a conversion hands them over.
            for (size_t a = 0; a < donnees.size(); a += 7001)
                wav.ecrire(donnees.data() + a, std::min<size_t>(7001, donnees.size() - a));
            wav.terminer();
            EXPECT_EQ(wav.octets(), c.octets);
        }
        const std::string fichier = readWholeFile(chemin);
        EXPECT_EQ(fichier.size(), 80 + c.octets + (c.octets & 1));
        const QJsonArray flux = fluxFfprobe(ffprobe(chemin, false));
        ASSERT_EQ(flux.size(), 1);
        EXPECT_EQ(flux[0].toObject().value("sample_rate").toString().toUInt(), c.frequence);
        EXPECT_EQ(flux[0].toObject().value("channels").toInt(), c.canaux);
        // ffmpeg's 16-bit view of the samples.
        QByteArray voulu;
        for (size_t i = 0; i < donnees.size(); ++i) {
            if (c.bits == 8) {
                const int16_t v = int16_t((int(donnees[i]) - 128) << 8);
                voulu.append(reinterpret_cast<const char*>(&v), 2);
            } else {
                voulu.append(char(donnees[i]));
            }
        }
        EXPECT_TRUE(sonFFmpeg(chemin) == voulu);
    }
}

TEST(EcrivainWav, PastFourGibibytesReadersSeeAnRf64File)
{
    // 4.5 GiB of 48 kHz stereo: 6 h 59 min of sound, left as a hole.
    const uint64_t donnees = (9ull << 29);
    ScratchDir d;
    const std::string chemin = d.path("long.wav");
    const std::vector<uint8_t> e = EnteteWav(formatPcm(2, 48000, 16), donnees);
    writeWholeFile(chemin, std::string(e.begin(), e.end()));
    ASSERT_EQ(::truncate(chemin.c_str(), off_t(e.size() + donnees)), 0);
    const double secondes = double(donnees) / 192000;
    const QJsonObject sonde = ffprobe(chemin, false);
    EXPECT_NEAR(sonde.value("format").toObject().value("duration").toString().toDouble(), secondes, 0.01);
    const QJsonObject general = pisteMediaInfo(chemin, "General");
    EXPECT_EQ(general.value("Format").toString(), "Wave");
    EXPECT_EQ(general.value("Format_Profile").toString(), "RF64");
    EXPECT_NEAR(general.value("Duration").toString().toDouble(), secondes, 0.01);
}
