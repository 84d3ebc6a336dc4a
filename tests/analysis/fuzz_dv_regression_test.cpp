// The bodies of the DV frame and AVI writer fuzz targets in the ordinary
// build: the first frames of every DV fixture, whole, cut and with bytes
// flipped, through the pack decoders, the sound extractor and their writers;
// recipes drawn from a fixed seed through the AVI writer and back.
#include "fuzz_dv.h"
#include "support/trames_dv.h"

#include <gtest/gtest.h>

#include <random>

using namespace korvan;
using namespace korvan::test;
using korvan::fuzz::fuzzEcrivainAvi;
using korvan::fuzz::fuzzPacksDV;
using korvan::fuzz::fuzzSonDV;

TEST(FuzzDVRegression, FramesOfEveryDVFixtureAndTheirDamagedCopies)
{
    KORVAN_REQUIRE_FIXTURES();
    std::mt19937 alea(20);
    int entrees = 0;
    for (const char* nom : {"pal_t2_43.avi", "pal_t2_169.avi", "pal_t1_43.avi", "ntsc_t1_32k.avi", "ntsc_t2_43.avi",
                            "pal_disp7_ap3_1.avi", "pal_ff_date.avi", "pal_no_tc.avi"}) {
        SCOPED_TRACE(nom);
        const std::vector<TrameDV> trames = tramesFixture(nom);
        ASSERT_FALSE(trames.empty());
        const TrameDV& t = trames.front();
        std::vector<TrameDV> essais{t};
        // Cut at the pack bytes, inside the first sequence, just short of a whole frame.
        for (const size_t n : {size_t(0), size_t(467), size_t(468), size_t(4328), size_t(12000), t.size() - 1})
            essais.emplace_back(t.begin(), t.begin() + ptrdiff_t(std::min(n, t.size())));
        for (int k = 0; k < 40; ++k) {
            TrameDV b = t;
            for (int j = 0; j < 16; ++j)
                b[alea() % b.size()] ^= uint8_t(1u << (alea() % 8));
            essais.push_back(std::move(b));
        }
        for (const TrameDV& e : essais) {
            ++entrees;
            EXPECT_TRUE(fuzzPacksDV(e.data(), e.size())) << e.size() << " bytes";
            EXPECT_TRUE(fuzzSonDV(e.data(), e.size())) << e.size() << " bytes";
        }
    }
    EXPECT_GT(entrees, 300);
}

TEST(FuzzDVRegression, TheAviWriterReadsBackWhatItWroteForDrawnRecipes)
{
    std::mt19937 alea(21);
    for (int k = 0; k < 200; ++k) {
        std::vector<uint8_t> recette(alea() % 3000);
        for (uint8_t& o : recette)
            o = uint8_t(alea());
        ASSERT_TRUE(fuzzEcrivainAvi(recette.data(), recette.size())) << "recipe " << k;
    }
}
