#include "analysis/avi_demuxer.h"
#include "analysis/dvcodes.h"
#include "support/fixtures.h"

#include <QJsonArray>
#include <gtest/gtest.h>
#include <vector>

using namespace korvan;

namespace {

// A frame of the given size whose bytes are all 0xFF except those set by the test.
std::vector<uint8_t> trame(size_t taille = 144000)
{
    return std::vector<uint8_t>(taille, 0xFF);
}

void packTimecode(std::vector<uint8_t>& f, uint8_t f1, uint8_t f2, uint8_t f3, uint8_t f4)
{
    f[86] = 0x13;
    f[87] = f1;
    f[88] = f2;
    f[89] = f3;
    f[90] = f4;
}

void packsDate(std::vector<uint8_t>& f, uint8_t jour, uint8_t mois, uint8_t an, uint8_t s, uint8_t mn, uint8_t h)
{
    f[458] = 0x62;
    f[460] = jour;
    f[461] = mois;
    f[462] = an;
    f[463] = 0x63;
    f[465] = s;
    f[466] = mn;
    f[467] = h;
}

} // namespace

TEST(DvTimecode, DecodesBcdFieldsAndIgnoresFlagBits)
{
    auto f = trame();
    packTimecode(f, 0x24, 0x59, 0x59, 0x23);
    const TTimecodeDV tc = DecoderTimecode(f.data(), f.size());
    EXPECT_EQ(tc.heures, 23);
    EXPECT_EQ(tc.minutes, 59);
    EXPECT_EQ(tc.secondes, 59);
    EXPECT_EQ(tc.images, 24);

    // Drop-frame / colour-frame / binary-group flags sit above the masked tens.
    packTimecode(f, 0x80 | 0x40 | 0x12, 0x80 | 0x34, 0x80 | 0x56, 0xC0 | 0x12);
    const TTimecodeDV flags = DecoderTimecode(f.data(), f.size());
    EXPECT_EQ(flags.images, 12);
    EXPECT_EQ(flags.secondes, 34);
    EXPECT_EQ(flags.minutes, 56);
    EXPECT_EQ(flags.heures, 12);
}

TEST(DvTimecode, MissingWhenPackAbsentOrSecondsUnrecorded)
{
    auto f = trame();
    packTimecode(f, 0x01, 0xFF, 0x02, 0x03);
    EXPECT_FALSE(DecoderTimecode(f.data(), f.size()).present());
    f[88] = 0x10;
    f[86] = 0x14; // another pack type at the time-code position
    EXPECT_FALSE(DecoderTimecode(f.data(), f.size()).present());
    f[86] = 0x13;
    EXPECT_TRUE(DecoderTimecode(f.data(), f.size()).present());
}

TEST(DvDatecode, CenturyWindowAndFieldMasks)
{
    auto f = trame();
    packsDate(f, 0x31, 0x12, 0x39, 0x58, 0x59, 0x23);
    TDatecodeDV d = DecoderDatecode(f.data(), f.size());
    EXPECT_EQ(d.annee, 2039);
    EXPECT_EQ(d.mois, 12);
    EXPECT_EQ(d.jour, 31);
    EXPECT_EQ(d.heure, 23);
    EXPECT_EQ(d.minute, 59);
    EXPECT_EQ(d.seconde, 58);

    f[462] = 0x40;
    EXPECT_EQ(DecoderDatecode(f.data(), f.size()).annee, 1940);
    f[462] = 0x05;
    EXPECT_EQ(DecoderDatecode(f.data(), f.size()).annee, 2005);
    // High flag bits of day, month and hour are not part of the values.
    f[460] = 0xC0 | 0x14;
    f[461] = 0xE0 | 0x07;
    f[467] = 0xC0 | 0x08;
    d = DecoderDatecode(f.data(), f.size());
    EXPECT_EQ(d.jour, 14);
    EXPECT_EQ(d.mois, 7);
    EXPECT_EQ(d.heure, 8);
}

TEST(DvDatecode, NeedsBothPacksButNotPlausibleValues)
{
    auto f = trame();
    packsDate(f, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06);
    f[463] = 0xFF; // no recording-time pack
    EXPECT_EQ(DecoderDatecode(f.data(), f.size()).annee, -1);

    // A date pack whose data bytes are all 0xFF is present, with impossible values.
    auto g = trame();
    g[458] = 0x62;
    g[463] = 0x63;
    const TDatecodeDV d = DecoderDatecode(g.data(), g.size());
    EXPECT_EQ(d.annee, 1900 + 15 + 150); // both nibbles 15
    EXPECT_EQ(d.jour, 15 + 30);
    EXPECT_EQ(d.mois, 15 + 10);
}

TEST(DvFormat, DisplayModeSevenDependsOnApplicationId)
{
    auto f = trame();
    f[7] = 0xF8; // AP3 = 0
    f[453] = 0x61;
    f[455] = 0xF8 | 2;
    EXPECT_TRUE(Est16x9(f.data(), f.size()));
    f[7] = 0xF9; // AP3 = 1: mode 2 still counts
    EXPECT_TRUE(Est16x9(f.data(), f.size()));
    f[455] = 0xF8 | 7;
    EXPECT_FALSE(Est16x9(f.data(), f.size()));
    f[7] = 0xF8;
    EXPECT_TRUE(Est16x9(f.data(), f.size()));
    f[455] = 0xF8 | 0;
    EXPECT_FALSE(Est16x9(f.data(), f.size()));
    f[455] = 0xF8 | 2;
    f[453] = 0x60;
    EXPECT_FALSE(Est16x9(f.data(), f.size()));
}

TEST(DvPacks, ShortBuffersGiveNothingAndPalNtscReadAlike)
{
    auto f = trame(467);
    packTimecode(f, 0x01, 0x02, 0x03, 0x04);
    f[458] = 0x62;
    f[463] = 0x63;
    f[453] = 0x61;
    f[455] = 2;
    EXPECT_FALSE(DecoderTimecode(f.data(), f.size()).present());
    EXPECT_EQ(DecoderDatecode(f.data(), f.size()).annee, -1);
    EXPECT_FALSE(Est16x9(f.data(), f.size()));
    EXPECT_FALSE(DecoderTimecode(nullptr, 0).present());

    auto pal = trame(144000), ntsc = trame(120000);
    for (auto* t : {&pal, &ntsc}) {
        packTimecode(*t, 0x11, 0x22, 0x33, 0x04);
        packsDate(*t, 0x09, 0x11, 0x98, 0x01, 0x02, 0x03);
    }
    EXPECT_EQ(DecoderTimecode(pal.data(), pal.size()), DecoderTimecode(ntsc.data(), ntsc.size()));
    EXPECT_EQ(DecoderDatecode(pal.data(), pal.size()), DecoderDatecode(ntsc.data(), ntsc.size()));
    EXPECT_EQ(DecoderDatecode(pal.data(), 468).annee, 1998);
}

TEST(DvPacks, FirstFrameOfEveryDvFixture)
{
    KORVAN_REQUIRE_FIXTURES();
    const QJsonObject files = korvan::test::expectedFiles();
    int verifies = 0;
    for (auto it = files.begin(); it != files.end(); ++it) {
        const QJsonObject premiere = it.value().toObject().value("firstFrame").toObject();
        if (premiere.isEmpty())
            continue;
        SCOPED_TRACE(it.key().toStdString());
        const AviDemuxer avi = AviDemuxer::ouvrir(korvan::test::fixture(it.key().toStdString()));
        const auto frame = avi.firstFrame(0);
        ASSERT_TRUE(frame.has_value());
        std::vector<uint8_t> b(kOctetsPacksDV);
        ASSERT_TRUE(avi.source().readExactAt(frame->offset, b.data(), b.size()));

        const TTimecodeDV tc = DecoderTimecode(b.data(), b.size());
        if (premiere.value("timecode").isNull()) {
            EXPECT_FALSE(tc.present());
        } else {
            const QJsonArray a = premiere.value("timecode").toArray();
            EXPECT_EQ(tc.heures, a[0].toInt());
            EXPECT_EQ(tc.minutes, a[1].toInt());
            EXPECT_EQ(tc.secondes, a[2].toInt());
            EXPECT_EQ(tc.images, a[3].toInt());
        }
        const TDatecodeDV dc = DecoderDatecode(b.data(), b.size());
        if (premiere.value("datecode").isNull()) {
            EXPECT_EQ(dc.annee, -1);
        } else {
            const QJsonArray a = premiere.value("datecode").toArray();
            EXPECT_EQ(dc.annee, a[0].toInt());
            EXPECT_EQ(dc.mois, a[1].toInt());
            EXPECT_EQ(dc.jour, a[2].toInt());
            EXPECT_EQ(dc.heure, a[3].toInt());
            EXPECT_EQ(dc.minute, a[4].toInt());
            EXPECT_EQ(dc.seconde, a[5].toInt());
        }
        EXPECT_EQ(Est16x9(b.data(), b.size()), premiere.value("est16x9").toBool());
        ++verifies;
    }
    EXPECT_GE(verifies, 20);
}
