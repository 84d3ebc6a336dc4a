// The scene rules frame by frame: which date steps are breaks, which breaks
// close a scene, and what the next scene starts with.
#include "scenes/detecteur_scenes.h"

#include <gtest/gtest.h>

#include <vector>

using namespace korvan;

namespace {

TDatecodeDV date(int a, int mo, int j, int h, int mi, int s)
{
    return TDatecodeDV{a, uint8_t(mo), uint8_t(j), uint8_t(h), uint8_t(mi), uint8_t(s)};
}

TTimecodeDV tc(int h, int m, int s, int f)
{
    return TTimecodeDV{uint8_t(h), uint8_t(m), uint8_t(s), uint8_t(f)};
}

const TDatecodeDV kSansDate{};
const TTimecodeDV kSansTimecode{};

TDateTime valeur(int a, int mo, int j, int h, int mi, int s)
{
    TDateTime v = 0;
    EXPECT_TRUE(EncodeDateTime(a, mo, j, h, mi, s, 0, v));
    return v;
}

// Feeds frames and keeps what the detector reported.
struct Essai {
    DetecteurScenes d;
    std::vector<int32_t> ruptures;
    std::vector<SceneBrute> scenes;
    int32_t image = 0;

    Essai(TDateTime datecodeEntree = 0, const QString& timecodeEntree = QStringLiteral("00.00.00.00"))
    {
        d.commencer(datecodeEntree, timecodeEntree);
    }
    void images(int n, TDatecodeDV dc, TTimecodeDV t = tc(0, 0, 0, 0))
    {
        for (int i = 0; i < n; ++i) {
            const auto r = d.traiterImage(image, t, dc);
            if (r.rupture)
                ruptures.push_back(image);
            if (r.fermee)
                scenes.push_back(*r.fermee);
            ++image;
        }
    }
};

} // namespace

TEST(DateDeDatecode, SecondsAreExactAndInvalidDatesAreSkipped)
{
    EXPECT_EQ(DateDeDatecode(kSansDate).secondes, 0);
    EXPECT_TRUE(DateDeDatecode(kSansDate).valide);
    EXPECT_EQ(DateDeDatecode(kSansDate).valeur, 0);

    const DateImage a = DateDeDatecode(date(2004, 7, 14, 10, 31, 5));
    const DateImage b = DateDeDatecode(date(2004, 7, 14, 10, 31, 7));
    EXPECT_EQ(b.secondes - a.secondes, 2);
    EXPECT_DOUBLE_EQ(a.valeur, valeur(2004, 7, 14, 10, 31, 5));
    // Across midnight and the end of a year the count goes on by one.
    EXPECT_EQ(DateDeDatecode(date(2005, 1, 1, 0, 0, 0)).secondes - DateDeDatecode(date(2004, 12, 31, 23, 59, 59)).secondes, 1);

    for (const TDatecodeDV& faux : {date(2065, 25, 45, 7, 8, 9), date(2004, 2, 30, 10, 0, 0), date(2004, 7, 14, 24, 0, 0),
                                    date(2004, 7, 14, 10, 60, 0), date(0, 1, 1, 0, 0, 0)})
        EXPECT_FALSE(DateDeDatecode(faux).valide) << faux.annee << "-" << int(faux.mois) << "-" << int(faux.jour);
}

TEST(DetecteurScenes, StepsOfOneAndTwoSecondsAreNotBreaksThreeIs)
{
    Essai e(valeur(2004, 7, 14, 23, 59, 58));
    e.images(13, date(2004, 7, 14, 23, 59, 58));
    e.images(13, date(2004, 7, 14, 23, 59, 59)); // +1 s
    e.images(13, date(2004, 7, 15, 0, 0, 1));    // +2 s across midnight
    e.images(13, date(2004, 7, 15, 0, 0, 4));    // +3 s
    // Frame 0 is a break from the undated "previous frame" of a fresh detector, closing nothing.
    EXPECT_EQ(e.ruptures, (std::vector<int32_t>{0, 39}));
    ASSERT_EQ(e.scenes.size(), 1u);
    EXPECT_EQ(e.scenes[0].debut, 0);
    EXPECT_EQ(e.scenes[0].fin, 38);
    EXPECT_EQ(e.d.debutScene(), 39);
}

TEST(DetecteurScenes, BackwardStepsAreBreaksToo)
{
    Essai e;
    e.images(20, date(2004, 7, 14, 10, 0, 10));
    e.images(20, date(2004, 7, 14, 10, 0, 7)); // 3 s back: the clock was set
    e.images(20, date(2004, 7, 14, 10, 0, 5)); // 2 s back: no break
    EXPECT_EQ(e.ruptures, (std::vector<int32_t>{0, 20}));
    ASSERT_EQ(e.scenes.size(), 1u);
    EXPECT_EQ(e.scenes[0].fin, 19);
}

TEST(DetecteurScenes, ThirteenFramesCloseAScene_TwelveAreMergedWithTheNext)
{
    Essai e(valeur(2004, 8, 1, 14, 0, 0), QStringLiteral("01.00.00.00"));
    e.images(13, date(2004, 8, 1, 14, 0, 0), tc(1, 0, 0, 0));
    e.images(12, date(2004, 8, 1, 14, 5, 10), tc(1, 0, 0, 13));
    e.images(20, date(2004, 8, 1, 14, 30, 0), tc(1, 0, 1, 0));
    e.images(5, date(2004, 8, 1, 15, 0, 0), tc(1, 0, 1, 20));
    EXPECT_EQ(e.ruptures, (std::vector<int32_t>{0, 13, 25, 45}));
    ASSERT_EQ(e.scenes.size(), 2u);
    EXPECT_EQ(e.scenes[0], (SceneBrute{0, 12, valeur(2004, 8, 1, 14, 0, 0), QStringLiteral("01.00.00.00")}));
    // The 12-frame recording starting at 13 ran into the next: the merged
    // scene keeps its start, date and time code.
    EXPECT_EQ(e.scenes[1], (SceneBrute{13, 44, valeur(2004, 8, 1, 14, 5, 10), QStringLiteral("01.00.00.13")}));
    // The last scene is whatever remains, however short.
    EXPECT_EQ(e.d.derniereScene(49), (SceneBrute{45, 49, valeur(2004, 8, 1, 15, 0, 0), QStringLiteral("01.00.01.20")}));
}

TEST(DetecteurScenes, LosingAndRegainingTheDateAreBreaks)
{
    Essai e(valeur(2004, 9, 9, 9, 9, 9));
    e.images(14, date(2004, 9, 9, 9, 9, 9));
    e.images(14, kSansDate, kSansTimecode);
    e.images(14, date(2004, 9, 9, 9, 9, 10));
    EXPECT_EQ(e.ruptures, (std::vector<int32_t>{0, 14, 28}));
    ASSERT_EQ(e.scenes.size(), 2u);
    EXPECT_EQ(e.scenes[1].debut, 14);
    EXPECT_EQ(e.scenes[1].datecode, 0);
    // A frame without time code gives a text starting with "-": none.
    EXPECT_EQ(e.scenes[1].timecode, QStringLiteral("-01.00.00.00"));
    EXPECT_EQ(e.d.derniereScene(41).datecode, valeur(2004, 9, 9, 9, 9, 10));
}

TEST(DetecteurScenes, ImpossibleDatesAreSkippedWithoutTouchingThePreviousDate)
{
    Essai e;
    e.images(14, date(2004, 7, 14, 10, 0, 0));
    e.images(14, date(2065, 25, 45, 7, 8, 9)); // skipped: no break either way
    e.images(14, date(2004, 7, 14, 10, 0, 1));
    EXPECT_EQ(e.ruptures, (std::vector<int32_t>{0}));
    EXPECT_TRUE(e.scenes.empty());
    EXPECT_EQ(e.d.secondesPrecedentes(), DateDeDatecode(date(2004, 7, 14, 10, 0, 1)).secondes);
}

TEST(DetecteurScenes, TheLastRunsFinalDateIsThePreviousDateOfTheNextRun)
{
    DetecteurScenes d;
    d.definirSecondesPrecedentes(DateDeDatecode(date(2004, 7, 14, 10, 0, 0)).secondes);
    d.commencer(0, QString());
    EXPECT_FALSE(d.traiterImage(0, tc(0, 0, 0, 0), date(2004, 7, 14, 10, 0, 1)).rupture);
    EXPECT_TRUE(d.traiterImage(1, tc(0, 0, 0, 1), date(2004, 7, 14, 11, 0, 0)).rupture);
    // A new run starts its scene at 0 again.
    d.commencer(0, QString());
    EXPECT_EQ(d.debutScene(), 0);
}
