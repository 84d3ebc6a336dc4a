#include "analysis/DSFunctions.h"

#include <gtest/gtest.h>

#include <limits>

using namespace korvan;

// Readable failure messages.
static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {
constexpr int64_t kSeconde = 10'000'000;
constexpr int64_t kImagePal = 400'000;   // 40 ms
constexpr int64_t kImageNtsc = 333'667;  // 1001/30000 s
} // namespace

TEST(TexteDuree, FramesWithinTheLastStartedSecond)
{
    EXPECT_EQ(TexteDuree(754 * kSeconde + 4'800'000, kImagePal), "12mn 34s 12fr");
    EXPECT_EQ(TexteDuree(3723 * kSeconde + 1'600'000, kImagePal), "1h 02mn 03s 04fr");
    EXPECT_EQ(TexteDuree(4'800'000, kImagePal), "12fr");
    EXPECT_EQ(TexteDuree(5 * kSeconde, kImagePal), "5s 00fr");
    EXPECT_EQ(TexteDuree(0, kImagePal), "0fr");
    EXPECT_EQ(TexteDuree(60 * kSeconde, kImagePal), "1mn 00s 00fr");
    EXPECT_EQ(TexteDuree(15 * kSeconde / 10, kImageNtsc), "1s 14fr");
    // Hours run past a day.
    EXPECT_EQ(TexteDuree(25 * 3600 * kSeconde + 24 * kImagePal, kImagePal), "25h 00mn 00s 24fr");
}

TEST(TexteDuree, UnknownFrameDurationCountsNoFrames)
{
    EXPECT_EQ(TexteDuree(754 * kSeconde + 4'800'000, 0), "12mn 34s 00fr");
    EXPECT_EQ(TexteDuree(4'800'000, -1), "0fr");
    EXPECT_EQ(TexteDuree(std::numeric_limits<int64_t>::min(), -1), TexteDuree(std::numeric_limits<int64_t>::min(), 0));
    EXPECT_EQ(TexteDuree(std::numeric_limits<int64_t>::max(), 1), "256204778h 48mn 05s 4775807fr");
}

TEST(TexteDureeMs, MillisecondsWithinTheLastStartedSecond)
{
    EXPECT_EQ(TexteDureeMs(12'345'000), "1s 234ms");
    EXPECT_EQ(TexteDureeMs(5'000'000), "500millièmes");
    EXPECT_EQ(TexteDureeMs(9'999), "0millièmes");
    EXPECT_EQ(TexteDureeMs(61 * kSeconde + 500'000), "1mn 01s 050ms");
    EXPECT_EQ(TexteDureeMs(3723 * kSeconde + 40'000), "1h 02mn 03s 004ms");
}

TEST(NomFormatAudio, TableRowsAndUnknownTags)
{
    const std::pair<uint16_t, const char*> lignes[] = {
        {1, "PCM"},           {2, "ADPCM"},        {3, "IEEE_FLOAT"},   {5, "IBM_CVSD"},
        {7, "MULAW"},         {16, "OKI_ADPCM"},   {24, "MEDIAVISION_ADPCM"}, {32, "YAMAHA_ADPCM"},
        {38, "AUDIOFILE_AF10"}, {48, "DOLBY_AC2"}, {61, "XEBEC"},       {64, "G721_ADPCM"},
        {80, "MPEG"},         {85, "MP3"},         {98, "VOXWARE"},     {103, "DSAT_DISPLAY"},
        {117, "VOXWARE"},     {128, "SOFTSOUND"},  {256, "RHETOREX_ADPCM"}, {515, "CREATIVE_FASTSPEECH10"},
        {544, "QUARTERDECK"}, {1024, "BTV_DIGITAL"}, {4096, "OLIGSM"}, {4100, "OLIOPR"},
        {4352, "LH_CODEC"},   {5120, "NORRIS"},
    };
    for (const auto& [tag, nom] : lignes)
        EXPECT_EQ(NomFormatAudio(tag), nom) << tag;
    for (uint16_t tag : {0, 4, 8, 15, 39, 62, 81, 104, 116, 118, 513, 4101, 5119, 5121, 0xFFFE, 0xFFFF})
        EXPECT_EQ(NomFormatAudio(tag), "Inconnu") << tag;

    int connus = 0;
    for (uint32_t tag = 0; tag <= 0xFFFF; ++tag)
        connus += NomFormatAudio(uint16_t(tag)) != "Inconnu";
    EXPECT_EQ(connus, 64);
}

TEST(VersionDirectX, RevisionDigitBecomesALetter)
{
    const struct {
        const char* registre;
        const char* affiche;
    } cas[] = {
        {"4.09.00.0904", "9.0c"}, {"4.09.00.0902", "9.0b"}, {"4.09.00.0901", "9.0a"},
        {"4.08.01.0810", "8.1 "}, {"4.07.00.0700", "7.0 "}, {"4.09.00.0909", "9.0i"},
        {"4.10.12.1", "10.12a"},  {"4.09.00.0903", "9.0c"}, {" 4.09.00.0904\n", "9.0c"},
    };
    for (const auto& c : cas)
        EXPECT_EQ(VersionDirectXDepuisTexte(c.registre), c.affiche) << c.registre;
}

TEST(VersionDirectX, MissingOrMalformedTextIsAnError)
{
    for (const char* texte : {"", "   ", "4", "4.09", "4.09.00", "4..00.0904", "4.09..0904", "4.x9.00.0904",
                              "4.09.-1.0904", "4.09.00.090x", "4.09.00.", "4.9999999999.00.1", "abc"})
        EXPECT_EQ(VersionDirectXDepuisTexte(texte), "Erreur") << texte;
}
