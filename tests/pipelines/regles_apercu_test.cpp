// The preview panel's rules, on the cases users meet: DV 4:3 and 16:9,
// portrait phone clips, frame and millisecond positions, ring slots.
#include "pipelines/regles_apercu.h"

#include <gtest/gtest.h>

using namespace korvan;

TEST(ReglesApercu, VideoGeometry)
{
    const struct {
        int largeur, hauteur;
        QRect attendu;
    } cas[] = {
        {720, 405, {24, 0, 240, 135}}, // 16:9 display height
        {720, 540, {24, 0, 240, 180}}, // 4:3 square pixels: exactly 240 x 180
        {480, 640, {76, 0, 135, 180}}, // portrait
        {720, 576, {(288 - 225) / 2, 0, 225, 180}}, // PAL stored size: narrower than 4:3
        {0, 576, {}},
        {720, 0, {}},
    };
    for (const auto& c : cas)
        EXPECT_EQ(GeometrieVideo(c.largeur, c.hauteur), c.attendu) << c.largeur << "x" << c.hauteur;
}

TEST(ReglesApercu, PositionLabel)
{
    const struct {
        int64_t position;
        double fps;
        const char* attendu;
    } cas[] = {
        {1501, 25, "0:01:00:01"},
        {0, 25, "0:00:00:00"},
        {90000 + 24, 25, "1:00:00:24"},
        {1798, 30000.0 / 1001, "0:00:59:29"},
        {612'340'000, 0, "0:01:01:234"}, // sound only, 100 ns units
        {36'000'000'000 + 10'000, 0, "1:00:00:001"},
    };
    for (const auto& c : cas)
        EXPECT_EQ(TexteTimeStamp(c.position, c.fps), c.attendu) << c.position;
}

TEST(ReglesApercu, RingLabels)
{
    const QString format = "dd/mm/yyyy hh:nn:ss";
    EXPECT_EQ(TexteDatecodeSlot({2004, 7, 14, 10, 31, 5}, format), QString("14/07/2004 10:31:05"));
    EXPECT_EQ(TexteDatecodeSlot({-1, 0, 0, 0, 0, 0}, format), QString("N/A")); // nothing known
    EXPECT_EQ(TexteDatecodeSlot({0, 1, 1, 0, 0, 0}, format), QString("N/A"));
    EXPECT_EQ(TexteDatecodeSlot({2004, 2, 30, 0, 0, 0}, format), QString("N/A")); // no such day
    EXPECT_EQ(TexteDatecodeSlot({-2, 0, 0, 0, 0, 0}, format), std::nullopt);    // waiting: labels stay
    EXPECT_EQ(TexteTimecodeSlot({10, 20, 30, 12}), "10.20.30.12");
    EXPECT_EQ(TexteTimecodeSlot({}), "N/A");
    EXPECT_EQ(TexteTimecodeSlot({0x80, 0, 0, 0}), "N/A"); // negative as a signed byte
}

TEST(ReglesApercu, StepsAndTrackBar)
{
    EXPECT_EQ(PasImage(25), 400000);
    EXPECT_EQ(PasImage(29.97), 333667);
    EXPECT_EQ(PasImage(0), 0);
    EXPECT_EQ(CurseurDepuis(750, 1500), 500);
    EXPECT_EQ(CurseurDepuis(1499, 1500), 999);
    EXPECT_EQ(CurseurDepuis(5, 0), std::nullopt);
    // 13 GB an hour: positions in 100 ns of a long clip do not overflow.
    EXPECT_EQ(CurseurDepuis(int64_t(1) << 60, int64_t(1) << 61), 500);
    EXPECT_EQ(PositionDepuisCurseur(500, 1501), 750);
    EXPECT_EQ(PositionDepuisCurseur(1000, 1501), 1501);
}
