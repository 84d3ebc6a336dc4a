// The time stamper lets DV frames through untouched and handles their times by its mode.
#include "pipelines/timestamper.h"

#include "support/trames_dv.h"

#include <gtest/gtest.h>

using namespace korvan;
using korvan::test::TrameDV;

TEST(TimeStamper, PassesFramesUnchangedAndKeepsTimesByDefault)
{
    KORVAN_REQUIRE_FIXTURES();
    const std::vector<TrameDV> trames = korvan::test::tramesFixture("pal_t2_43.avi");
    TimeStamper ts;
    ts.Restart(); // what the preview build calls
    for (size_t i = 0; i < trames.size(); ++i) {
        Echantillon<TrameDV> e{trames[i], {int64_t(i) * 400000, int64_t(i + 1) * 400000}};
        ts.traiter(e);
        ASSERT_EQ(e.contenu, trames[i]);
        EXPECT_EQ(e.temps, (TempsEchantillon{int64_t(i) * 400000, int64_t(i + 1) * 400000}));
    }
    EXPECT_EQ(ts.GetSampleCount(), int(trames.size()));
}

TEST(TimeStamper, RenumbersFromEachRestartOrTakesTimesOff)
{
    TimeStamper ts;
    ts.SetMode(ITimeStamperConfig::Renumerotes);
    ts.SetFrameDuration(333667);
    TempsEchantillon t{5'000'000, 5'400'000};
    ts.traiter(t);
    EXPECT_EQ(t, (TempsEchantillon{0, 333667}));
    ts.traiter(t);
    EXPECT_EQ(t, (TempsEchantillon{333667, 667334}));
    ts.Restart();
    EXPECT_EQ(ts.GetSampleCount(), 0);
    ts.traiter(t);
    EXPECT_EQ(t.debut, 0);

    ts.SetMode(ITimeStamperConfig::SansTemps);
    ts.traiter(t);
    EXPECT_EQ(t, TempsEchantillon{});

    // Nonsense settings leave it letting times through.
    ts.SetMode(9);
    ts.SetFrameDuration(-1);
    EXPECT_EQ(ts.GetMode(), ITimeStamperConfig::Inchanges);
    EXPECT_EQ(ts.GetFrameDuration(), 333667);
    TempsEchantillon u{1, 2};
    ts.traiter(u);
    EXPECT_EQ(u, (TempsEchantillon{1, 2}));
}
