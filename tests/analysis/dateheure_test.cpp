#include "analysis/dateheure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace korvan;

namespace {

struct Champs {
    int a, mo, j, h, mi, s, ms;
    friend bool operator==(const Champs&, const Champs&) = default;
};

std::ostream& operator<<(std::ostream& os, const Champs& c)
{
    return os << c.a << '-' << c.mo << '-' << c.j << ' ' << c.h << ':' << c.mi << ':' << c.s << '.' << c.ms;
}

TDateTime encoder(const Champs& c)
{
    TDateTime v = -12345;
    EXPECT_TRUE(EncodeDateTime(c.a, c.mo, c.j, c.h, c.mi, c.s, c.ms, v)) << c;
    return v;
}

Champs decoder(TDateTime v)
{
    Champs c{};
    EXPECT_TRUE(DecodeDateTime(v, c.a, c.mo, c.j, c.h, c.mi, c.s, c.ms)) << v;
    return c;
}

} // namespace

TEST(DateHeure, DayCountsMatchTheFixedOrigin)
{
    EXPECT_EQ(encoder({1899, 12, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_EQ(encoder({1900, 1, 1, 0, 0, 0, 0}), 2.0);
    EXPECT_EQ(encoder({2000, 1, 1, 0, 0, 0, 0}), 36526.0);
    EXPECT_EQ(encoder({2000, 1, 1, 18, 0, 0, 0}), 36526.75);
    EXPECT_EQ(encoder({1, 1, 1, 0, 0, 0, 0}), -693593.0);
    EXPECT_EQ(encoder({9999, 12, 31, 0, 0, 0, 0}), 2958465.0);
}

TEST(DateHeure, BeforeTheOriginTheFractionIsStillTheTimeOfDay)
{
    EXPECT_EQ(encoder({1899, 12, 29, 6, 0, 0, 0}), -1.25);
    EXPECT_EQ(decoder(-1.25), (Champs{1899, 12, 29, 6, 0, 0, 0}));
    // -0.25 has day 0 like 0.25: the same moment.
    EXPECT_EQ(decoder(-0.25), (Champs{1899, 12, 30, 6, 0, 0, 0}));
    EXPECT_EQ(decoder(-693592.5), (Champs{1, 1, 2, 12, 0, 0, 0}));
}

TEST(DateHeure, EveryMillisecondRoundTripsAcrossTheWholeRange)
{
    const Champs jours[] = {{1, 1, 1},       {1582, 10, 4},  {1899, 12, 29}, {1899, 12, 30},
                            {1900, 2, 28},   {1900, 3, 1},   {2000, 2, 29},  {2024, 5, 15},
                            {2038, 1, 19},   {9999, 12, 31}};
    for (const Champs& jour : jours) {
        // A stride prime to every unit visits all hours, minutes, seconds and ms.
        for (int64_t t = 0; t < 86'400'000; t += 86'399) {
            const Champs c{jour.a, jour.mo, jour.j, int(t / 3'600'000), int(t / 60'000 % 60),
                           int(t / 1000 % 60), int(t % 1000)};
            ASSERT_EQ(decoder(encoder(c)), c);
        }
        for (int ms = 0; ms < 1000; ++ms) {
            const Champs fin{jour.a, jour.mo, jour.j, 23, 59, 59, ms};
            ASSERT_EQ(decoder(encoder(fin)), fin);
        }
    }
}

TEST(DateHeure, InvalidFieldsAreRefusedAndLeaveTheOutputAlone)
{
    const Champs invalides[] = {
        {2023, 2, 29, 0, 0, 0, 0},  {1900, 2, 29, 0, 0, 0, 0}, {2024, 13, 1, 0, 0, 0, 0},
        {2024, 0, 1, 0, 0, 0, 0},   {2024, 5, 0, 0, 0, 0, 0},  {2024, 4, 31, 0, 0, 0, 0},
        {2024, 1, 32, 0, 0, 0, 0},  {2024, 5, 15, 24, 0, 0, 0}, {2024, 5, 15, -1, 0, 0, 0},
        {2024, 5, 15, 0, 60, 0, 0}, {2024, 5, 15, 0, 0, 60, 0}, {2024, 5, 15, 0, 0, 0, 1000},
        {0, 1, 1, 0, 0, 0, 0},      {10000, 1, 1, 0, 0, 0, 0},
    };
    for (const Champs& c : invalides) {
        TDateTime v = 42.5;
        EXPECT_FALSE(EncodeDateTime(c.a, c.mo, c.j, c.h, c.mi, c.s, c.ms, v)) << c;
        EXPECT_EQ(v, 42.5) << c;
    }
    TDateTime v = 0;
    EXPECT_TRUE(EncodeDateTime(2000, 2, 29, 0, 0, 0, 0, v));
    EXPECT_TRUE(EncodeDateTime(2024, 2, 29, 0, 0, 0, 0, v));
    EXPECT_TRUE(EstBissextile(2000));
    EXPECT_FALSE(EstBissextile(2100));
}

TEST(DateHeure, UndecodableValuesReportFailure)
{
    const double hors[] = {std::nan(""), std::numeric_limits<double>::infinity(), -693594.0, 2958466.0,
                           1e300};
    for (double v : hors) {
        Champs c{9, 9, 9, 9, 9, 9, 9};
        EXPECT_FALSE(DecodeDateTime(v, c.a, c.mo, c.j, c.h, c.mi, c.s, c.ms)) << v;
        EXPECT_EQ(c, (Champs{0, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(DayOfWeek(v), 0);
        EXPECT_FALSE(QDateTimeDepuisDateTime(v).isValid());
    }
}

TEST(DateHeure, DecodingRoundsToTheNearestMillisecond)
{
    const TDateTime base = encoder({2024, 5, 15, 12, 0, 0, 0});
    EXPECT_EQ(decoder(base + 0.4 / 86'400'000), (Champs{2024, 5, 15, 12, 0, 0, 0}));
    EXPECT_EQ(decoder(base + 0.6 / 86'400'000), (Champs{2024, 5, 15, 12, 0, 0, 1}));
    // Just short of midnight rounds into the next day, not to 24:00.
    EXPECT_EQ(decoder(encoder({2024, 12, 31, 0, 0, 0, 0}) + 1 - 0.1 / 86'400'000),
              (Champs{2025, 1, 1, 0, 0, 0, 0}));
}

TEST(DateHeure, DayOfWeekCountsFromSunday)
{
    EXPECT_EQ(DayOfWeek(0), 7);                                   // 1899-12-30, a Saturday
    EXPECT_EQ(DayOfWeek(encoder({2024, 5, 15, 23, 0, 0, 0})), 4); // Wednesday
    EXPECT_EQ(DayOfWeek(encoder({2024, 5, 19, 0, 0, 0, 0})), 1);  // Sunday
    EXPECT_EQ(DayOfWeek(-1.25), 6);                               // Friday 1899-12-29
}

TEST(DateHeure, QDateTimeConversionsUseLocalTime)
{
    const QDateTime local(QDate(2024, 5, 15), QTime(13, 45, 30, 250), Qt::LocalTime);
    const TDateTime v = DateTimeDepuisQDateTime(local);
    EXPECT_EQ(decoder(v), (Champs{2024, 5, 15, 13, 45, 30, 250}));
    EXPECT_EQ(DateTimeDepuisQDateTime(local.toUTC()), v);
    EXPECT_EQ(QDateTimeDepuisDateTime(v), local);

    EXPECT_EQ(DateTimeDepuisQDateTime(QDateTime()), 0.0);
    const TDateTime maintenant = Maintenant();
    EXPECT_NEAR(maintenant, DateTimeDepuisQDateTime(QDateTime::currentDateTime()), 1.0 / 24);
}
