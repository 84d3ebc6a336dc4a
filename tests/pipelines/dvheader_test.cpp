// The DV header writer on real frames: a clock shift changes the date and
// time packs and nothing else, dates roll over days, months and years, the
// 16:9 flag changes only when asked, and converted frames get their source's clock.
#include "pipelines/dvheader.h"

#include "analysis/dvcodes.h"
#include "horloge_dv.h"
#include "support/trames_dv.h"

#include <QDateTime>
#include <gtest/gtest.h>

#include <set>

using namespace korvan;
using korvan::test::TrameDV;
using korvan::test::tramesFixture;
using namespace korvan::test;

namespace {

void decalageHoraire(DVHeader& h, int heures)
{
    h.Reset(1);
    h.SetHourOffset(heures);
    h.SetCopySubcode(false);
    h.SetCreateDatePacks(false);
    h.SetSingleInput(true);
}

} // namespace

TEST(DVHeader, ClockShiftChangesOnlyTheDateAndTimePackBytesOfEveryFrame)
{
    KORVAN_REQUIRE_FIXTURES();
    for (const char* clip : {"pal_t1_43.avi", "pal_t2_43.avi", "ntsc_t2_43.avi"}) {
        SCOPED_TRACE(clip);
        const std::vector<TrameDV> trames = tramesFixture(clip);
        ASSERT_GE(trames.size(), 25u);
        DVHeader h;
        decalageHoraire(h, 2);
        for (size_t i = 0; i < trames.size(); ++i) {
            SCOPED_TRACE(i);
            TrameDV sortie = trames[i];
            h.traiter(sortie);
            const std::set<size_t> permis = octetsHorloge(trames[i]);
            size_t differents = 0;
            for (size_t o = 0; o < sortie.size(); ++o) {
                if (sortie[o] == trames[i][o])
                    continue;
                ++differents;
                ASSERT_TRUE(permis.count(o)) << "byte " << o << " changed outside the clock packs";
            }
            EXPECT_GT(differents, 0u);
            int packs = 0;
            const QDateTime avant = horloge(DecoderDatecode(trames[i].data(), trames[i].size()));
            EXPECT_EQ(horlogeCommune(sortie, &packs), avant.addSecs(2 * 3600));
            // Every copy was rewritten: VAUX in each sequence, plus the subcode and AAUX ones.
            EXPECT_GE(packs, int(sortie.size() / kSequence) * 8);
        }
        EXPECT_EQ(h.GetFrameCount(), int(trames.size()));
    }
}

TEST(DVHeader, ShiftCrossesMidnightMonthAndYearEnds)
{
    KORVAN_REQUIRE_FIXTURES();
    // Recorded on 28 February 2002 at 23:59:58.
    TrameDV fevrier = tramesFixture("pal_t1_43.avi").at(0);
    DVHeader h;
    decalageHoraire(h, 2);
    h.traiter(fevrier);
    EXPECT_EQ(DecoderDatecode(fevrier.data(), fevrier.size()), (TDatecodeDV{2002, 3, 1, 1, 59, 58}));

    // The same frames re-dated to 31 December 2004 23:30 read 1 January 2005 00:30.
    TrameDV decembre = tramesFixture("pal_t2_43.avi").at(0);
    ASSERT_GT(EcrireDatecodeDV(decembre.data(), decembre.size(), {2004, 12, 31, 23, 30, 0}, false), 0);
    const TrameDV reDatee = decembre;
    decalageHoraire(h, 1);
    h.traiter(decembre);
    EXPECT_EQ(DecoderDatecode(decembre.data(), decembre.size()), (TDatecodeDV{2005, 1, 1, 0, 30, 0}));
    EXPECT_EQ(horlogeCommune(decembre), QDateTime(QDate(2005, 1, 1), QTime(0, 30)));

    // And back by -1 hour.
    decalageHoraire(h, -1);
    h.traiter(decembre);
    EXPECT_EQ(horlogeCommune(decembre), QDateTime(QDate(2004, 12, 31), QTime(23, 30)));

    // A leap year's 28 February runs into the 29th.
    TrameDV bissextile = reDatee;
    EcrireDatecodeDV(bissextile.data(), bissextile.size(), {2004, 2, 28, 23, 10, 0}, false);
    decalageHoraire(h, 23);
    h.traiter(bissextile);
    EXPECT_EQ(DecoderDatecode(bissextile.data(), bissextile.size()), (TDatecodeDV{2004, 2, 29, 22, 10, 0}));
}

TEST(DVHeader, FramesWithoutAReadableDateAreLeftAsTheyCame)
{
    KORVAN_REQUIRE_FIXTURES();
    DVHeader h;
    decalageHoraire(h, 2);
    for (const char* clip : {"pal_no_date.avi", "pal_ff_date.avi"}) {
        SCOPED_TRACE(clip);
        for (const TrameDV& t : tramesFixture(clip)) {
            TrameDV sortie = t;
            h.traiter(sortie);
            ASSERT_EQ(sortie, t);
        }
    }
    // Without an offset a clock shift has nothing to do.
    const TrameDV t = tramesFixture("pal_t2_43.avi").at(3);
    TrameDV sortie = t;
    decalageHoraire(h, 0);
    h.traiter(sortie);
    EXPECT_EQ(sortie, t);
}

TEST(DVHeader, WideFlagChangesOnlyWhenAsked)
{
    KORVAN_REQUIRE_FIXTURES();
    const TrameDV quatreTiers = tramesFixture("pal_t2_43.avi").at(0);
    ASSERT_FALSE(Est16x9(quatreTiers.data(), quatreTiers.size()));
    DVHeader h;
    decalageHoraire(h, 0);
    h.SetWide(true);
    TrameDV large = quatreTiers;
    h.traiter(large);
    EXPECT_TRUE(Est16x9(large.data(), large.size()));
    for (size_t o = 0; o < large.size(); ++o)
        if (large[o] != quatreTiers[o]) {
            // The display select mode: low 3 bits of the second data byte of a 0x61 pack.
            ASSERT_EQ(quatreTiers[o - 2], 0x61) << o;
            ASSERT_EQ(large[o] & ~0x07, quatreTiers[o] & ~0x07) << o;
        }

    const TrameDV seize = tramesFixture("pal_t2_169.avi").at(0);
    ASSERT_TRUE(Est16x9(seize.data(), seize.size()));
    h.SetWide(false);
    TrameDV etroite = seize;
    h.traiter(etroite);
    EXPECT_FALSE(Est16x9(etroite.data(), etroite.size()));

    // A reset forgets the flag: the picture format stays as recorded.
    h.Reset(1);
    h.SetSingleInput(true);
    TrameDV inchangee = seize;
    h.traiter(inchangee);
    EXPECT_EQ(inchangee, seize);
}

TEST(DVHeader, ConvertedFramesGetTheirSourceClockAndTimeCode)
{
    KORVAN_REQUIRE_FIXTURES();
    // Frames without date packs stand for a DV encoder's output.
    const TrameDV encodee = tramesFixture("pal_no_date.avi").at(0);
    const TrameDV source = tramesFixture("pal_t2_43.avi").at(0);
    const TDatecodeDV dateSource = DecoderDatecode(source.data(), source.size());
    ASSERT_EQ(DecoderDatecode(encodee.data(), encodee.size()).annee, -1);

    DVHeader h;
    h.Reset(1); // conversions: packs created by default
    TrameDV sortie = encodee;
    h.traiter(sortie, source);
    EXPECT_EQ(DecoderDatecode(sortie.data(), sortie.size()), dateSource);
    EXPECT_EQ(horlogeCommune(sortie), horloge(dateSource));
    EXPECT_NE(DecoderTimecode(sortie.data(), sortie.size()), DecoderTimecode(source.data(), source.size()));

    // Burn-in: same standard, so the tape time code comes along; shifted clock.
    h.SetCopySubcode(true);
    h.SetHourOffset(-3);
    sortie = encodee;
    h.traiter(sortie, source);
    EXPECT_EQ(DecoderTimecode(sortie.data(), sortie.size()), DecoderTimecode(source.data(), source.size()));
    EXPECT_EQ(horlogeCommune(sortie), horloge(dateSource).addSecs(-3 * 3600));

    // Another standard (NTSC source, PAL output): the date comes, the subcode does not.
    const TrameDV ntsc = tramesFixture("ntsc_t2_43.avi").at(0);
    sortie = encodee;
    h.SetHourOffset(0);
    h.traiter(sortie, ntsc);
    EXPECT_EQ(DecoderDatecode(sortie.data(), sortie.size()), DecoderDatecode(ntsc.data(), ntsc.size()));
    EXPECT_EQ(DecoderTimecode(sortie.data(), sortie.size()), DecoderTimecode(encodee.data(), encodee.size()));

    // Packs not created: an output without them stays without a date.
    h.SetCreateDatePacks(false);
    sortie = encodee;
    h.traiter(sortie, source);
    EXPECT_EQ(DecoderDatecode(sortie.data(), sortie.size()).annee, -1);

    // Recompression: no source at all, only the picture format is set.
    h.Reset(1);
    h.SetWide(true);
    sortie = encodee;
    h.traiter(sortie);
    EXPECT_TRUE(Est16x9(sortie.data(), sortie.size()));
    EXPECT_EQ(DecoderDatecode(sortie.data(), sortie.size()).annee, -1);
    EXPECT_EQ(h.GetFrameCount(), 1);
}
