// The datecoder on real frames: the text it delivers per frame, the hour
// offset and format, and the automatic inlay after each recording-date break.
#include "pipelines/datecoder.h"

#include "analysis/rupture_datecode.h"
#include "support/trames_dv.h"

#include <gtest/gtest.h>

using namespace korvan;
using korvan::test::TrameDV;
using korvan::test::tramesFixture;

namespace {

std::vector<QString> textes(Datecoder& d, const std::vector<TrameDV>& trames)
{
    std::vector<QString> t;
    for (const TrameDV& f : trames)
        t.push_back(d.traiter(f));
    return t;
}

// Indexes of the frames whose text is not empty.
std::vector<size_t> affichees(const std::vector<QString>& t)
{
    std::vector<size_t> i;
    for (size_t n = 0; n < t.size(); ++n)
        if (!t[n].isEmpty())
            i.push_back(n);
    return i;
}

std::vector<size_t> plage(size_t debut, size_t fin)
{
    std::vector<size_t> i;
    for (size_t n = debut; n < fin; ++n)
        i.push_back(n);
    return i;
}

} // namespace

TEST(RuptureDatecode, MoreThanTwoWholeSecondsEitherWay)
{
    const auto sec = [](int a, int mo, int j, int h, int mi, int s) {
        TDatecodeDV d;
        d.annee = a;
        d.mois = uint8_t(mo);
        d.jour = uint8_t(j);
        d.heure = uint8_t(h);
        d.minute = uint8_t(mi);
        d.seconde = uint8_t(s);
        return DateDeDatecode(d).secondes;
    };
    const int64_t t = sec(2004, 7, 14, 10, 31, 5);
    EXPECT_FALSE(EstRuptureDatecode(t, t));
    EXPECT_FALSE(EstRuptureDatecode(t, sec(2004, 7, 14, 10, 31, 7)));
    EXPECT_TRUE(EstRuptureDatecode(t, sec(2004, 7, 14, 10, 31, 8)));
    EXPECT_TRUE(EstRuptureDatecode(t, sec(2004, 7, 14, 10, 31, 2)));
    EXPECT_FALSE(EstRuptureDatecode(t, sec(2004, 7, 14, 10, 31, 3)));
    // Far from 1899 two seconds are still two, across a year end too.
    EXPECT_FALSE(EstRuptureDatecode(sec(9999, 12, 31, 23, 59, 57), sec(9999, 12, 31, 23, 59, 59)));
    EXPECT_FALSE(EstRuptureDatecode(sec(2004, 12, 31, 23, 59, 59), sec(2005, 1, 1, 0, 0, 1)));
    // No date counts as 0.
    EXPECT_TRUE(EstRuptureDatecode(0, t));
    EXPECT_TRUE(EstRuptureDatecode(t, 0));
    EXPECT_FALSE(EstRuptureDatecode(0, 0));
}

TEST(Datecoder, FormatsEachFramesRecordingClock)
{
    KORVAN_REQUIRE_FIXTURES();
    const std::vector<TrameDV> trames = tramesFixture("pal_t2_43.avi");
    Datecoder d(ReglagesFormat::francais());
    EXPECT_EQ(d.traiter(trames[0]), QStringLiteral("14/07/2004 10:31:05"));
    EXPECT_EQ(d.traiter(trames[25]), QStringLiteral("14/07/2004 10:31:06"));
    d.SetFormat(QStringLiteral("yyyymmdd_hh.nn.ss"));
    EXPECT_EQ(d.traiter(trames[25]), QStringLiteral("20040714_10.31.06"));
    d.SetFormat(QStringLiteral("dddd d mmmm yyyy"));
    EXPECT_EQ(d.traiter(trames[0]), QStringLiteral("mercredi 14 juillet 2004"));
    // Every frame gets its text while the automatic inlay is off.
    d.SetFormat(QStringLiteral("hh:nn:ss"));
    EXPECT_EQ(affichees(textes(d, trames)), plage(0, trames.size()));
}

TEST(Datecoder, HourOffsetShiftsAcrossDaysAndStaysInRange)
{
    KORVAN_REQUIRE_FIXTURES();
    const TrameDV fevrier = tramesFixture("pal_t1_43.avi").at(0); // 28/02/2002 23:59:58
    Datecoder d(ReglagesFormat::francais());
    d.SetHourOffset(1);
    EXPECT_EQ(d.traiter(fevrier), QStringLiteral("01/03/2002 00:59:58"));
    d.SetHourOffset(-23);
    EXPECT_EQ(d.traiter(fevrier), QStringLiteral("28/02/2002 00:59:58"));
    d.SetHourOffset(40); // taken as 23
    EXPECT_EQ(d.traiter(fevrier), QStringLiteral("01/03/2002 22:59:58"));
}

TEST(Datecoder, FramesWithoutAReadableDateDeliverNothing)
{
    KORVAN_REQUIRE_FIXTURES();
    Datecoder d(ReglagesFormat::francais());
    for (const char* clip : {"pal_no_date.avi", "pal_ff_date.avi"})
        EXPECT_TRUE(affichees(textes(d, tramesFixture(clip))).empty()) << clip;
    EXPECT_TRUE(d.traiter({}).isEmpty());
    const std::vector<uint8_t> court(100, 0x62);
    EXPECT_TRUE(d.traiter(court).isEmpty());
}

TEST(Datecoder, BurnInShowsTheDateForSoManyFramesAfterEachSceneChange)
{
    KORVAN_REQUIRE_FIXTURES();
    // Two recordings: 10:31:05 for frames 0-15, 11:02:00 from frame 16.
    const std::vector<TrameDV> trames = tramesFixture("pal_scenes_two.avi");
    ASSERT_EQ(trames.size(), 32u);
    Datecoder d(ReglagesFormat::francais());
    d.SetBurnIn(true);
    d.SetAutoInlay(true);
    d.SetAutoDuration(5);
    const std::vector<QString> t = textes(d, trames);
    std::vector<size_t> attendues = plage(0, 5);
    for (size_t n : plage(16, 21))
        attendues.push_back(n);
    EXPECT_EQ(affichees(t), attendues);
    EXPECT_EQ(t[16], QStringLiteral("14/07/2004 11:02:00"));

    // Without a restart the same clock goes on: no new scene.
    EXPECT_TRUE(d.traiter(trames[20]).isEmpty());
    // The next stream starts a scene with its first frame.
    d.reinitialiser();
    EXPECT_FALSE(d.traiter(trames[20]).isEmpty());
    EXPECT_FALSE(d.traiter(trames[21]).isEmpty());
    // A duration of 0 shows nothing.
    d.reinitialiser();
    d.SetAutoDuration(0);
    EXPECT_TRUE(affichees(textes(d, trames)).empty());
}

TEST(Datecoder, PreviewMeasuresTheInlayInSecondsOfTheRecording)
{
    KORVAN_REQUIRE_FIXTURES();
    // 10:31:05 on frames 0-24, 10:31:06 on 25-29.
    const std::vector<TrameDV> trames = tramesFixture("pal_t2_43.avi");
    Datecoder d(ReglagesFormat::francais());
    d.SetBurnIn(false);
    d.SetAutoInlay(true);
    d.SetAutoDuration(1);
    EXPECT_EQ(affichees(textes(d, trames)), plage(0, 25));
    // A frame shown again (a redraw) or a step back stays within its scene.
    EXPECT_TRUE(d.traiter(trames[29]).isEmpty());
    EXPECT_FALSE(d.traiter(trames[3]).isEmpty());
    d.SetAutoDuration(2);
    EXPECT_FALSE(d.traiter(trames[29]).isEmpty());
}

TEST(Datecoder, DateGapsEndAndRestartTheInlay)
{
    KORVAN_REQUIRE_FIXTURES();
    // Dated frames 0-13, undated 14-27, dated again from 28 (clock still running).
    const std::vector<TrameDV> trames = tramesFixture("pal_date_gap.avi");
    ASSERT_EQ(trames.size(), 42u);
    Datecoder d(ReglagesFormat::francais());
    std::vector<size_t> datees = plage(0, 14);
    for (size_t n : plage(28, 42))
        datees.push_back(n);
    EXPECT_EQ(affichees(textes(d, trames)), datees);

    d.reinitialiser();
    d.SetBurnIn(true);
    d.SetAutoInlay(true);
    d.SetAutoDuration(3);
    EXPECT_EQ(affichees(textes(d, trames)), (std::vector<size_t>{0, 1, 2, 28, 29, 30}));
}
