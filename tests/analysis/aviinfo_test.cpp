#include "analysis/aviinfo.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

using namespace korvan;
using korvan::test::fixture;

TEST(AviContainer, FixtureVerdictAndCodecMatchExpected)
{
    KORVAN_REQUIRE_FIXTURES();
    const QJsonObject files = korvan::test::expectedFiles();
    ASSERT_FALSE(files.isEmpty());
    for (auto it = files.begin(); it != files.end(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        const QJsonObject e = it.value().toObject();
        const TFriendlyAviParam avi(fixture(it.key().toStdString()));
        EXPECT_EQ(avi.valide, e.value("valid").toBool());
        EXPECT_EQ(QString::fromLatin1(avi.CodecVideo().str().c_str(), 4), e.value("codecVideoReader").toString());
    }
}

#include "support/riff_builder.h"

namespace {

using namespace korvan::test;

TAviParam lire(const std::string& bytes)
{
    const MemorySource src(bytes.data(), bytes.size());
    return TAviParam(src);
}

std::string hdrlDv() { return list("hdrl", {avih(), list("strl", {strh("vids", "dvsd")}), list("strl", {strh("auds", "\x01\0\0\0")})}); }
std::string moviVide() { return list("movi", {chunk("00dc", std::string(10, 'x'))}); }

} // namespace

TEST(AviContainer, TinyOrForeignFilesAreInvalid)
{
    EXPECT_FALSE(lire("").valide);
    EXPECT_FALSE(lire(std::string("RIFF\0\0\0", 7)).valide);
    EXPECT_FALSE(lire(chunk("RIFX", "AVI " + hdrlDv())).valide);
    EXPECT_FALSE(lire(riff("WAVE", {chunk("fmt ", std::string(16, '\0'))})).valide);
    EXPECT_EQ(lire(riff("WAVE", {})).CodecVideo(), FourCC("####"));
}

TEST(AviContainer, FirstRiffLongerThanFileIsInvalidEvenWithIntactHeaders)
{
    const std::string ok = riff("AVI ", {hdrlDv(), moviVide()});
    EXPECT_TRUE(lire(ok).valide);
    std::string claimsMore = ok;
    ecrireU32(reinterpret_cast<uint8_t*>(claimsMore.data()) + 4, uint32_t(ok.size()));
    EXPECT_FALSE(lire(claimsMore).valide);
}

TEST(AviContainer, ExtensionChunksAreWalkedAndTrailingBytesIgnored)
{
    const std::string base = riff("AVI ", {hdrlDv(), moviVide()});
    const std::string avix = riff("AVIX", {moviVide()});
    EXPECT_TRUE(lire(base + avix + avix).valide);
    // A damaged complete extension chunk (not an AVI form) makes the file invalid...
    EXPECT_FALSE(lire(base + riff("WAVE", {moviVide()})).valide);
    // ...a truncated last one, or garbage, is ignored.
    const std::string cut = avix.substr(0, avix.size() - 5);
    EXPECT_TRUE(lire(base + cut).valide);
    EXPECT_TRUE(lire(base + "GARBAGE!GARBAGE!").valide);
    EXPECT_TRUE(lire(base + "abc").valide);
}

TEST(AviContainer, OddChunkPadAndStrhLengths)
{
    // An odd-sized chunk before the stream lists is followed by its pad byte.
    const std::string odd = riff("AVI ", {list("hdrl", {avih(), chunk("JUNK", "12345"), list("strl", {strh("vids", "CDVC")})}), moviVide()});
    const TAviParam a = lire(odd);
    EXPECT_TRUE(a.valide);
    EXPECT_EQ(a.CodecVideo(), FourCC("CDVC"));

    // A longer strh is read in part; a shorter one fills only its own bytes.
    std::string longue = strh("vids", "dvsd");
    longue = chunk("strh", longue.substr(8) + "EXTRA-8B");
    const TAviParam b = lire(riff("AVI ", {list("hdrl", {avih(), list("strl", {longue})})}));
    EXPECT_EQ(b.CodecVideo(), FourCC("dvsd"));
    const TAviParam c = lire(riff("AVI ", {list("hdrl", {avih(), list("strl", {chunk("strh", "vidsab")})})}));
    ASSERT_EQ(c.flux.size(), 1u);
    EXPECT_EQ(c.indexVideo, 0);
    EXPECT_EQ(c.flux[0].fccHandler.c[0], 'a');
    EXPECT_EQ(c.flux[0].fccHandler.c[2], '\0');
}

TEST(AviContainer, VideoIndexIsFirstVidsOrIavsStream)
{
    const TAviParam t1 = lire(riff("AVI ", {list("hdrl", {avih(), list("strl", {strh("iavs", "dvsd")}), list("strl", {strh("vids", "MJPG")})})}));
    EXPECT_EQ(t1.indexVideo, 0);
    EXPECT_EQ(t1.CodecVideo(), FourCC("dvsd"));
    const TAviParam audio = lire(riff("AVI ", {list("hdrl", {avih(), list("strl", {strh("auds", "\0\0\0\0")}), list("strl", {strh("vids", "FMP4")})})}));
    EXPECT_EQ(audio.indexVideo, 1);
    EXPECT_EQ(audio.flux.size(), 2u);
    // Handler bytes are returned as stored, non-printable ones included.
    const TAviParam bin = lire(riff("AVI ", {list("hdrl", {avih(), list("strl", {strh("vids", std::string("\x01\x02\0d", 4))})})}));
    EXPECT_EQ(bin.CodecVideo().c[0], '\x01');
}

TEST(AviContainer, BrokenHeaderListFailsTheWalk)
{
    // A main header claiming more bytes than the file holds.
    std::string b = riff("AVI ", {list("hdrl", {chunk("avih", std::string(56, '\0'), 4000)})});
    EXPECT_FALSE(lire(b).valide);
    // A list whose type cannot be read.
    EXPECT_FALSE(lire(riff("AVI ", {chunk("LIST", "ab")})).valide);
}

TEST(AviContainer, UnreadablePathThrows)
{
    EXPECT_THROW(TAviParam("/nonexistent/korvan/clip.avi"), FileError);
    EXPECT_THROW(TAviParam("/tmp"), FileError);
}
