// The libFuzzer entry points run on every fixture and on a fixed set of
// damaged copies, so that the ordinary build keeps what fuzzing found.
#include "analysis/bytes.h"
#include "fuzz_entries.h"
#include "support/fixtures.h"

#include <QDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

using korvan::fuzz::fuzzAviParam;
using korvan::fuzz::fuzzDemuxer;
using korvan::fuzz::fuzzHeaderLocator;
using korvan::fuzz::fuzzRapportRiff;

namespace {

constexpr size_t kZoneEnTetes = 64 * 1024; // headers of every fixture lie in the first 64 KB

std::vector<std::string> clipsFixtures()
{
    std::vector<std::string> noms;
    const QStringList trouves = QDir(KORVAN_FIXTURES_DIR).entryList({"*.avi"}, QDir::Files, QDir::Name);
    for (const QString& n : trouves)
        noms.push_back(n.toStdString());
    return noms;
}

// Offsets of chunk headers, found by looking for the identifiers the AVI
// files use rather than by walking (the walkers are what is under test).
std::vector<size_t> entetesProbables(const std::string& octets)
{
    static const std::array<const char*, 12> ids = {"RIFF", "LIST", "avih", "strh", "strf", "strd",
                                                    "JUNK", "vprp", "indx", "idx1", "00dc", "01wb"};
    std::vector<size_t> positions;
    const size_t zone = std::min(octets.size(), kZoneEnTetes);
    for (const char* id : ids) {
        for (size_t p = octets.find(id); p != std::string::npos && p < zone; p = octets.find(id, p + 1))
            positions.push_back(p);
    }
    const size_t idx1 = octets.rfind("idx1");
    if (idx1 != std::string::npos)
        positions.push_back(idx1);
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

class Passage {
public:
    void operator()(const std::string& octets, size_t n, const std::string& quoi)
    {
        const auto* data = reinterpret_cast<const uint8_t*>(octets.data());
        n = std::min(n, octets.size());
        if (!fuzzAviParam(data, n) && echecs_++ < 20)
            ADD_FAILURE() << "container reader: " << quoi << " (" << n << " bytes)";
        if (!fuzzHeaderLocator(data, n) && echecs_++ < 20)
            ADD_FAILURE() << "header locator: " << quoi << " (" << n << " bytes)";
        if (!fuzzDemuxer(data, n) && echecs_++ < 20)
            ADD_FAILURE() << "demuxer: " << quoi << " (" << n << " bytes)";
        if (!fuzzRapportRiff(data, n) && echecs_++ < 20)
            ADD_FAILURE() << "RIFF report: " << quoi << " (" << n << " bytes)";
        ++entrees_;
    }
    int entrees() const { return entrees_; }
    int echecs() const { return echecs_; }

private:
    int entrees_ = 0;
    int echecs_ = 0;
};

} // namespace

TEST(FuzzRegression, FixturesAndTheirMutationsWalkCleanly)
{
    KORVAN_REQUIRE_FIXTURES();
    const std::vector<std::string> noms = clipsFixtures();
    ASSERT_GE(noms.size(), 20u);
    Passage passer;
    std::mt19937 alea(20040602); // fixed: the same inputs on every run

    for (const std::string& nom : noms) {
        std::string octets = korvan::test::readWholeFile(korvan::test::fixture(nom));
        auto* b = reinterpret_cast<uint8_t*>(octets.data());
        const size_t taille = octets.size();
        passer(octets, taille, nom);

        const std::vector<size_t> entetes = entetesProbables(octets);
        // Cut at and around every header: no size field, half of one, an
        // empty chunk, a list type missing.
        for (size_t e : entetes)
            for (size_t decalage : {0, 1, 4, 7, 8, 11, 12, 20, 27, 28, 36})
                passer(octets, e + decalage, nom + " cut at header " + std::to_string(e) + "+" + std::to_string(decalage));
        for (int i = 0; i < 20 && taille > 0; ++i)
            passer(octets, alea() % std::min(taille, kZoneEnTetes), nom + " cut at random");

        // Size fields: empty, odd, off by one, and far beyond the file.
        for (size_t e : entetes) {
            if (e + 8 > taille)
                continue;
            const uint32_t origine = korvan::lireU32(b + e + 4);
            for (uint32_t v : {0u, 1u, 3u, 4u, origine + 1, origine - 1, origine + 2, 0x7FFFFFFFu, 0xFFFFFFF8u,
                               0xFFFFFFFFu}) {
                korvan::ecrireU32(b + e + 4, v);
                passer(octets, taille, nom + " size at " + std::to_string(e) + " = " + std::to_string(v));
            }
            korvan::ecrireU32(b + e + 4, origine);
        }

        // Identifiers and types swapped for ones that make walkers descend
        // or take a stream for video.
        for (size_t e : entetes) {
            for (size_t champ : {size_t(0), size_t(8)}) {
                if (e + champ + 4 > taille)
                    continue;
                const std::string origine = octets.substr(e + champ, 4);
                for (const char* id : {"RIFF", "LIST", "strh", "movi", "vids", "iavs", "hdrl", "strl"}) {
                    octets.replace(e + champ, 4, id);
                    passer(octets, taille, nom + " id at " + std::to_string(e + champ) + " = " + id);
                }
                octets.replace(e + champ, 4, origine);
            }
        }

        // Random bit flips in the header area, a few bits at a time.
        const size_t zone = std::min(taille, size_t(16 * 1024));
        for (int i = 0; i < 60 && zone > 0; ++i) {
            std::vector<std::pair<size_t, uint8_t>> sauves;
            const int bits = 1 + int(alea() % 8);
            for (int k = 0; k < bits; ++k) {
                const size_t pos = alea() % zone;
                sauves.emplace_back(pos, b[pos]);
                b[pos] ^= uint8_t(1u << (alea() % 8));
            }
            passer(octets, taille, nom + " bit flips #" + std::to_string(i));
            for (auto it = sauves.rbegin(); it != sauves.rend(); ++it)
                b[it->first] = it->second;
        }
        ASSERT_EQ(octets, korvan::test::readWholeFile(korvan::test::fixture(nom))) << "mutations not undone";
    }
    EXPECT_GE(passer.entrees(), 3000);
    EXPECT_EQ(passer.echecs(), 0);
}

// Short inputs assembled from the tokens that steer the walkers, with
// small sizes, so that nesting, odd sizes and overlaps come up often.
TEST(FuzzRegression, RandomTokenSoupsWalkCleanly)
{
    static const std::array<const char*, 16> jetons = {"RIFF", "LIST", "AVI ", "AVIX", "hdrl", "strl",
                                                       "strh", "vids", "iavs", "movi", "avih", "JUNK",
                                                       "strf", "auds", "indx", "ix00"};
    Passage passer;
    std::mt19937 alea(1999);
    for (int i = 0; i < 3000; ++i) {
        std::string octets;
        const int n = int(alea() % 40);
        for (int k = 0; k < n; ++k) {
            switch (alea() % 3) {
            case 0:
                octets += jetons[alea() % jetons.size()];
                break;
            case 1: {
                uint8_t s[4];
                korvan::ecrireU32(s, alea() % 5 == 0 ? alea() : alea() % 96);
                octets.append(reinterpret_cast<const char*>(s), 4);
                break;
            }
            default:
                octets += char(alea());
                break;
            }
        }
        passer(octets, octets.size(), "token soup #" + std::to_string(i));
    }
    EXPECT_EQ(passer.echecs(), 0);
    // Empty input, with and without a data pointer.
    EXPECT_TRUE(fuzzAviParam(nullptr, 0));
    EXPECT_TRUE(fuzzHeaderLocator(nullptr, 0));
    EXPECT_TRUE(fuzzDemuxer(nullptr, 0));
    EXPECT_TRUE(fuzzRapportRiff(nullptr, 0));
}
