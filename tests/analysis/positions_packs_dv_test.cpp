// The DV pack slot table and the two systems, against offsets worked out by
// hand from the DIF block layout: header block 0, subcode blocks 1-2 (six
// sync blocks of 3 ID bytes and a pack after the block's own 3 ID bytes),
// VAUX blocks 3-5 (fifteen packs after 3 ID bytes), audio blocks 6 + 16k.
#include "analysis/codec_dv.h"
#include "analysis/dvcodes.h"
#include "analysis/positions_packs_dv.h"
#include "analysis/systeme_dv.h"

#include <gtest/gtest.h>

using namespace korvan;

TEST(PositionsPacksDV, SlotsOfEveryArea)
{
    const struct {
        const char* zone;
        const ZonePacksDV& table;
        int slot;
        size_t octet;
    } cas[] = {
        {"subcode", kZoneSubcode, 0, 86},    // block 1, sync block 0
        {"subcode", kZoneSubcode, 5, 126},   // block 1, sync block 5
        {"subcode", kZoneSubcode, 6, 166},   // block 2, sync block 0
        {"subcode", kZoneSubcode, 11, 206},  // block 2, sync block 5
        {"VAUX", kZoneVaux, 0, 243},         // block 3, pack 0
        {"VAUX", kZoneVaux, 14, 313},        // block 3, pack 14
        {"VAUX", kZoneVaux, 15, 323},        // block 4, pack 0
        {"VAUX", kZoneVaux, 44, 473},        // block 5, pack 14
        {"AAUX", kZoneAaux, 0, 483},         // block 6
        {"AAUX", kZoneAaux, 3, 4323},        // block 54
        {"AAUX", kZoneAaux, 8, 10723},       // block 134
    };
    for (const auto& c : cas)
        EXPECT_EQ(c.table.position(c.slot), c.octet) << c.zone << " " << c.slot;
    EXPECT_EQ(kZoneSubcode.nombre, 12);
    EXPECT_EQ(kZoneVaux.nombre, 45);
    EXPECT_EQ(kZoneAaux.nombre, 9);
    EXPECT_EQ(kOctetsSequenceDIF, 12000u);
}

TEST(PositionsPacksDV, MainAreasOfEvenAndOddSequences)
{
    const struct {
        const ZonePrincipaleDV& zone;
        size_t sequence;
        RangPackPrincipal rang;
        int slot;
    } cas[] = {
        {kPrincipalVaux, 0, rangSource, 39}, {kPrincipalVaux, 0, rangControle, 40},
        {kPrincipalVaux, 0, rangDate, 41},   {kPrincipalVaux, 0, rangHeure, 42},
        {kPrincipalVaux, 1, rangSource, 0},  {kPrincipalVaux, 1, rangDate, 2},
        {kPrincipalVaux, 10, rangHeure, 42}, {kPrincipalVaux, 11, rangHeure, 3},
        {kPrincipalAaux, 0, rangSource, 3},  {kPrincipalAaux, 1, rangSource, 0},
    };
    for (const auto& c : cas)
        EXPECT_EQ(c.zone.slot(c.sequence, c.rang), c.slot) << c.sequence << " " << c.rang;
    // What the readers need of a frame: up to the recording time pack of the
    // first VAUX main area, and up to the first AAUX source pack.
    EXPECT_EQ(kOctetsPacksDV, 468u);
    EXPECT_EQ(kOctetsSourceAudioDV, 4328u);
}

TEST(SystemeDV, FrameSizesHeightsAndTheRulesThatPickThem)
{
    EXPECT_EQ(kSystemePal.octetsImage(), 144000u);
    EXPECT_EQ(kSystemeNtsc.octetsImage(), 120000u);
    EXPECT_EQ(SystemeSelon625(true).hauteur, 576);
    EXPECT_EQ(SystemeSelon625(false).hauteur, 480);
    EXPECT_EQ(SystemeSelonHauteur(480).standard, kStandardNtsc);
    EXPECT_EQ(SystemeSelonHauteur(576).standard, kStandardPal);
    EXPECT_EQ(SystemeSelonHauteur(-480).standard, kStandardNtsc); // a top-down bitmap
    EXPECT_EQ(SystemeSelonHauteur(240).standard, kStandardNtsc);
    EXPECT_EQ(SystemeSelonHauteur(288).standard, kStandardPal);
    EXPECT_TRUE(SourceVauxEstPal(0x00200000u));
    EXPECT_FALSE(SourceVauxEstPal(0xFFDFFFFFu));
}

TEST(CodecDV, TheCodesTakenAsDV)
{
    for (const char* code : {"dvsd", "DVSD", "dsvd", "cdvc", "CDVC", "DvSd"})
        EXPECT_TRUE(EstCodecDV(std::string_view(code))) << code;
    for (const char* code : {"dvcp", "csvd", "dvs", "dvsdx", "", "####"})
        EXPECT_FALSE(EstCodecDV(std::string_view(code))) << code;
    EXPECT_TRUE(EstCodecDVSysteme(FourCC("DVSD")));
    EXPECT_FALSE(EstCodecDVSysteme(FourCC("dsvd")));
}
