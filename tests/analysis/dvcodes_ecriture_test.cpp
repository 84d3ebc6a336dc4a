// Writing the recording clock, the picture format and the subcode back into
// DV frames: which slots of which DIF sequences change, and which bits stay.
#include "analysis/dvcodes.h"

#include <gtest/gtest.h>

#include <vector>

using namespace korvan;

namespace {

constexpr size_t kSequence = 12000;

// Slots of one DIF sequence, from the DV block layout: block 1-2 subcode
// (six 8-byte sync blocks after 3 ID bytes, pack after their 3 ID bytes),
// blocks 3-5 VAUX (fifteen 5-byte packs after 3 ID bytes), audio blocks
// 6 + 16k (one pack after 3 ID bytes).
size_t vaux(int bloc, int pack) { return (3 + bloc) * 80 + 3 + 5 * pack; }
size_t subcode(int bloc, int ssyb) { return (1 + bloc) * 80 + 6 + 8 * ssyb; }
size_t aaux(int bloc) { return (6 + 16 * bloc) * 80 + 3; }

void pack(std::vector<uint8_t>& f, size_t o, uint8_t t, uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    f[o] = t;
    f[o + 1] = a;
    f[o + 2] = b;
    f[o + 3] = c;
    f[o + 4] = d;
}

const TDatecodeDV k14Juillet2004{2004, 7, 14, 10, 31, 5};

} // namespace

TEST(DvEcritureDate, CreatesMainAreaPacksInEveryDifSequenceOfAnEmptyFrame)
{
    std::vector<uint8_t> f(12 * kSequence, 0xFF);
    // Two VAUX packs a sequence, and in the second half of the sequences
    // (6 to 11) two subcode packs after each of the four time code slots.
    EXPECT_EQ(EcrireDatecodeDV(f.data(), f.size(), k14Juillet2004, true), 12 * 2 + 6 * 4 * 2);
    EXPECT_EQ(DecoderDatecode(f.data(), f.size()), k14Juillet2004);
    for (size_t s = 0; s < 12; ++s) {
        SCOPED_TRACE(s);
        // Even sequences: VAUX packs 41-42 (block 2, packs 11-12); odd: packs 2-3.
        const size_t date = s * kSequence + (s % 2 == 0 ? vaux(2, 11) : vaux(0, 2));
        EXPECT_EQ(f[date], 0x62);
        EXPECT_EQ(f[date + 5], 0x63);
        EXPECT_EQ(f[date + 1], 0xFF); // no time zone
        EXPECT_EQ(f[date + 2], 0xD4); // reserved bits set, day 14
        EXPECT_EQ(f[date + 3], 0xE7); // no day of the week, July
        EXPECT_EQ(f[date + 4], 0x04);
        EXPECT_EQ(f[date + 7], 0x85); // seconds
        EXPECT_EQ(f[date + 8], 0xB1); // minutes
        EXPECT_EQ(f[date + 9], 0xD0); // hours
        for (int bloc = 0; bloc < 2; ++bloc)
            for (int ssyb : {1, 2, 4, 5}) {
                const uint8_t attendu = s < 6 ? 0xFF : (ssyb % 3 == 1 ? 0x62 : 0x63);
                EXPECT_EQ(f[s * kSequence + subcode(bloc, ssyb)], attendu) << bloc << ' ' << ssyb;
            }
    }
    // Nothing else in the frame changed.
    size_t changes = 0;
    for (uint8_t b : f)
        changes += b != 0xFF;
    // 5-byte packs whose time-zone and frame bytes stay 0xFF: 4 bytes each.
    EXPECT_EQ(changes, (12u * 2 + 6 * 4 * 2) * 4);
}

TEST(DvEcritureDate, RewritesEveryExistingCopyAndKeepsTheirOtherBits)
{
    std::vector<uint8_t> f(10 * kSequence, 0xFF); // NTSC: 10 sequences
    for (size_t s = 0; s < 10; ++s) {
        const size_t b = s * kSequence;
        pack(f, b + vaux(1, 2), 0x62, 0x12, 0x01, 0x01, 0x99);   // time zone 0x12, reserved bits clear, Sunday
        pack(f, b + vaux(1, 3), 0x63, 0x3F, 0x00, 0x00, 0x00);   // reserved bits clear
        pack(f, b + subcode(1, 4), 0x62, 0xFF, 0xC1, 0xE1, 0x99); // no day of the week
        pack(f, b + subcode(1, 5), 0x63, 0xFF, 0x80, 0x80, 0xC0);
        pack(f, b + aaux(5), 0x52, 0xFF, 0xC1, 0x01, 0x99);
        pack(f, b + aaux(6), 0x53, 0xFF, 0x80, 0x80, 0xC0);
    }
    const TDatecodeDV d{2005, 1, 1, 0, 30, 59}; // a Saturday
    EXPECT_EQ(EcrireDatecodeDV(f.data(), f.size(), d, false), 60);
    for (size_t s = 0; s < 10; ++s) {
        SCOPED_TRACE(s);
        const uint8_t* p = f.data() + s * kSequence;
        const uint8_t* v = p + vaux(1, 2);
        EXPECT_EQ(v[1], 0x12);
        EXPECT_EQ(v[2], 0x01);
        EXPECT_EQ(v[3], (6 << 5) | 0x01); // the day of the week follows the date
        EXPECT_EQ(v[4], 0x05);
        EXPECT_EQ(v[6], 0x3F);
        EXPECT_EQ(v[7], 0x59);
        EXPECT_EQ(v[8], 0x30);
        EXPECT_EQ(v[9], 0x00);
        EXPECT_EQ(p[subcode(1, 4) + 3], 0xE1); // "no day of the week" stays
        const uint8_t* sc = p + subcode(1, 5);
        EXPECT_EQ(sc[2], 0xD9);
        EXPECT_EQ(sc[3], 0xB0);
        EXPECT_EQ(sc[4], 0xC0);
        EXPECT_EQ(p[aaux(5) + 2], 0xC1);
        EXPECT_EQ(p[aaux(5) + 4], 0x05);
        EXPECT_EQ(p[aaux(6) + 3], 0xB0);
        // No pack was created in the empty main-area slots.
        EXPECT_EQ(p[s % 2 == 0 ? vaux(2, 11) : vaux(0, 2)], 0xFF);
    }
}

TEST(DvEcritureDate, InvalidDatesAndShortFramesWriteNothing)
{
    std::vector<uint8_t> f(12 * kSequence, 0xFF);
    const std::vector<uint8_t> avant = f;
    EXPECT_EQ(EcrireDatecodeDV(f.data(), f.size(), TDatecodeDV{}, true), 0);
    EXPECT_EQ(EcrireDatecodeDV(f.data(), f.size(), TDatecodeDV{2004, 13, 1, 0, 0, 0}, true), 0);
    EXPECT_EQ(EcrireDatecodeDV(f.data(), f.size(), TDatecodeDV{2003, 2, 29, 0, 0, 0}, true), 0);
    EXPECT_EQ(EcrireDatecodeDV(f.data(), f.size(), TDatecodeDV{2004, 1, 1, 24, 0, 0}, true), 0);
    EXPECT_EQ(f, avant);
    // Less than one DIF sequence: no sequence to write into.
    std::vector<uint8_t> court(kSequence - 1, 0xFF);
    EXPECT_EQ(EcrireDatecodeDV(court.data(), court.size(), k14Juillet2004, true), 0);
    // A cut last sequence is left alone.
    std::vector<uint8_t> coupe(2 * kSequence + 500, 0xFF);
    // (Its second whole sequence is the second half: subcode packs too.)
    EXPECT_EQ(EcrireDatecodeDV(coupe.data(), coupe.size(), k14Juillet2004, true), 2 * 2 + 4 * 2);
}

TEST(DvEcritureDate, YearsAreStoredAsTwoDigitsReadBackFrom1940To2039)
{
    std::vector<uint8_t> f(12 * kSequence, 0xFF);
    for (int annee : {1940, 1999, 2000, 2039}) {
        EcrireDatecodeDV(f.data(), f.size(), TDatecodeDV{annee, 12, 31, 23, 59, 59}, true);
        EXPECT_EQ(DecoderDatecode(f.data(), f.size()).annee, annee);
    }
}

TEST(DvFormat16x9, SetsTheDisplayModeOfEverySourceControlPack)
{
    std::vector<uint8_t> f(12 * kSequence, 0xFF);
    for (size_t s = 0; s < 12; ++s) {
        pack(f, s * kSequence + vaux(0, 1), 0x61, 0x3F, 0xC8, 0xFC, 0xFF);
        pack(f, s * kSequence + vaux(2, 10), 0x61, 0x3F, 0xCF, 0xFC, 0xFF); // display mode 7
    }
    EXPECT_EQ(EcrireFormat16x9DV(f.data(), f.size(), true), 24);
    EXPECT_TRUE(Est16x9(f.data(), f.size()));
    EXPECT_EQ(f[vaux(0, 1) + 2], 0xCA);
    EXPECT_EQ(f[11 * kSequence + vaux(2, 10) + 2], 0xCA);
    EXPECT_EQ(EcrireFormat16x9DV(f.data(), f.size(), false), 24);
    EXPECT_FALSE(Est16x9(f.data(), f.size()));
    EXPECT_EQ(f[vaux(2, 10) + 2], 0xC8);
    EXPECT_EQ(f[vaux(2, 10) + 3], 0xFC);
    // No source-control pack: nothing to set.
    std::vector<uint8_t> vide(12 * kSequence, 0xFF);
    EXPECT_EQ(EcrireFormat16x9DV(vide.data(), vide.size(), true), 0);
    EXPECT_EQ(vide, std::vector<uint8_t>(12 * kSequence, 0xFF));
}

TEST(DvCopieSubcode, CopiesThePacksOfFramesOfTheSameStandardOnly)
{
    std::vector<uint8_t> source(12 * kSequence, 0x00);
    for (size_t s = 0; s < 12; ++s)
        for (int b = 0; b < 2; ++b)
            for (int k = 0; k < 6; ++k)
                pack(source, s * kSequence + subcode(b, k), 0x13, 0x24, 0x59, 0x59, 0x23);
    std::vector<uint8_t> f(12 * kSequence, 0xFF);
    ASSERT_TRUE(CopierSubcodeDV(f.data(), f.size(), source.data(), source.size()));
    const TTimecodeDV tc = DecoderTimecode(f.data(), f.size());
    EXPECT_EQ(tc.heures, 23);
    EXPECT_EQ(tc.images, 24);
    // Only the 5-byte packs moved; their sync block IDs did not.
    EXPECT_EQ(f[subcode(0, 0) - 3], 0xFF);
    EXPECT_EQ(f[11 * kSequence + subcode(1, 5) + 4], 0x23);
    size_t copies = 0;
    for (uint8_t b : f)
        copies += b != 0xFF;
    EXPECT_EQ(copies, 12u * 12 * 5);

    std::vector<uint8_t> ntsc(10 * kSequence, 0xFF);
    EXPECT_FALSE(CopierSubcodeDV(ntsc.data(), ntsc.size(), source.data(), source.size()));
    EXPECT_EQ(ntsc, std::vector<uint8_t>(10 * kSequence, 0xFF));
}
