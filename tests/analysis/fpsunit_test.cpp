#include "analysis/aviinfo.h"
#include "analysis/bytes.h"
#include "analysis/fpsunit.h"
#include "support/acces_ordinaire.h"
#include "support/fixtures.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace korvan;
using korvan::test::AccesOrdinaire;
using korvan::test::fixture;
using korvan::test::readWholeFile;
using korvan::test::ScratchDir;
using korvan::test::writeWholeFile;

namespace {

// --- Small RIFF builder for layouts the fixtures do not have ---

std::string u32(uint32_t v)
{
    std::string s(4, '\0');
    ecrireU32(reinterpret_cast<uint8_t*>(s.data()), v);
    return s;
}

std::string morceau(std::string_view id, const std::string& donnees)
{
    std::string s(id);
    s += u32(uint32_t(donnees.size()));
    s += donnees;
    if (donnees.size() & 1)
        s += '\0';
    return s;
}

std::string liste(std::string_view id, std::string_view type, const std::string& contenu)
{
    return morceau(id, std::string(type) + contenu);
}

std::string strh(std::string_view type, std::string_view handler, uint32_t scale = 1, uint32_t rate = 25)
{
    std::string d(56, '\0');
    d.replace(0, 4, type);
    std::string h(handler); // shorter codes (an audio format tag) are zero-padded
    h.resize(4, '\0');
    d.replace(4, 4, h);
    d.replace(20, 4, u32(scale));
    d.replace(24, 4, u32(rate));
    return morceau("strh", d);
}

std::string strl(std::string_view type, std::string_view handler)
{
    return liste("LIST", "strl", strh(type, handler) + morceau("strf", std::string(40, '\0')));
}

std::string hdrl(const std::string& flux)
{
    return liste("LIST", "hdrl", morceau("avih", std::string(56, '\0')) + flux);
}

// Offset of the data of the n-th (0-based) strh chunk in the bytes, found by
// a plain search independent of the walker.
int64_t donneesStrh(const std::string& octets, int n = 0)
{
    size_t pos = 0;
    for (int i = 0; i <= n; ++i) {
        pos = octets.find("strh", i == 0 ? 0 : pos + 4);
        if (pos == std::string::npos)
            return -1;
    }
    return int64_t(pos) + 8;
}

uint32_t u32Dans(const std::string& octets, int64_t pos)
{
    return lireU32(reinterpret_cast<const uint8_t*>(octets.data()) + pos);
}

PositionsEntetes localiser(const std::string& octets)
{
    const MemorySource source(octets.data(), octets.size());
    return LocaliserEntetes(source);
}

std::vector<size_t> octetsDifferents(const std::string& avant, const std::string& apres)
{
    std::vector<size_t> diff;
    for (size_t i = 0; i < std::min(avant.size(), apres.size()); ++i)
        if (avant[i] != apres[i])
            diff.push_back(i);
    return diff;
}

std::vector<size_t> plage(size_t debut, size_t n)
{
    std::vector<size_t> v;
    for (size_t i = 0; i < n; ++i)
        v.push_back(debut + i);
    return v;
}

} // namespace

// --- Locating the headers ---

TEST(LocaliserEntetes, AgreesWithTheContainerReaderOnEveryFixture)
{
    KORVAN_REQUIRE_FIXTURES();
    const QJsonObject files = korvan::test::expectedFiles();
    ASSERT_FALSE(files.isEmpty());
    for (auto it = files.begin(); it != files.end(); ++it) {
        const std::string nom = it.key().toStdString();
        SCOPED_TRACE(nom);
        const QJsonObject e = it.value().toObject();
        const std::string attendu = e.value("codecVideoReader").toString().toStdString();
        const auto code = LireCodec(fixture(nom));
        if (!e.value("valid").toBool() || attendu == "####") {
            // An interrupted capture is not a valid AVI file, yet its video
            // header is there and can be patched.
            EXPECT_EQ(code.has_value(), nom == "pal_truncated.avi");
            continue;
        }
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(FourCC::fromValue(*code).str(), attendu);
    }
}

TEST(LocaliserEntetes, PositionsPointAtHandlerScaleAndRate)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* nom;
        const char* type;
        uint32_t scale, rate;
    };
    for (const Cas& c : {Cas{"pal_t2_43.avi", "vids", 1, 25}, Cas{"ntsc_t2_43.avi", "vids", 1001, 30000},
                         Cas{"pal_t1_43.avi", "iavs", 1, 25}, Cas{"ntsc_t1_32k.avi", "iavs", 1001, 30000},
                         Cas{"pal_long_strh.avi", "vids", 1, 25}}) {
        SCOPED_TRACE(c.nom);
        const std::string octets = readWholeFile(fixture(c.nom));
        const PositionsEntetes p = LocaliserEntetes(fixture(c.nom));
        ASSERT_TRUE(p);
        const int64_t donnees = donneesStrh(octets);
        EXPECT_EQ(octets.substr(size_t(donnees), 4), c.type);
        EXPECT_EQ(p.positionCodec, donnees + 4);
        EXPECT_EQ(p.positionEchelle, donnees + 20);
        EXPECT_EQ(u32Dans(octets, p.positionEchelle), c.scale);
        EXPECT_EQ(u32Dans(octets, p.positionEchelle + 4), c.rate);
    }
}

TEST(LocaliserEntetes, OddJunkChunkPadByteIsAccountedFor)
{
    KORVAN_REQUIRE_FIXTURES();
    // Same layout as the other 6-frame clips with a 13-byte JUNK (+1 pad)
    // before the first strl: every header moves by 8 + 13 + 1 bytes.
    const PositionsEntetes simple = LocaliserEntetes(fixture("pal_handler_dsvd.avi"));
    const PositionsEntetes junk = LocaliserEntetes(fixture("pal_junk_odd.avi"));
    ASSERT_TRUE(simple);
    ASSERT_TRUE(junk);
    EXPECT_EQ(junk.positionCodec, simple.positionCodec + 22);
    EXPECT_EQ(junk.positionEchelle, simple.positionEchelle + 22);
    const std::string octets = readWholeFile(fixture("pal_junk_odd.avi"));
    EXPECT_EQ(octets.substr(size_t(junk.positionCodec - 12), 4), "strh");
    EXPECT_EQ(octets.substr(size_t(junk.positionCodec), 4), "dvsd");
}

TEST(LocaliserEntetes, NothingFoundWithoutVideoStreamHeader)
{
    KORVAN_REQUIRE_FIXTURES();
    for (const char* nom : {"pcm_audio_only.avi", "not_riff.avi", "empty.avi", "seven_bytes.avi"}) {
        SCOPED_TRACE(nom);
        const PositionsEntetes p = LocaliserEntetes(fixture(nom));
        EXPECT_FALSE(p);
        EXPECT_EQ(p.positionCodec, 0);
        EXPECT_EQ(p.positionEchelle, 0);
    }
    EXPECT_FALSE(LocaliserEntetes(fixture("does_not_exist.avi")));
    EXPECT_FALSE(LocaliserEntetes(std::string(KORVAN_FIXTURES_DIR))); // a folder
}

TEST(LocaliserEntetes, LastVideoStreamHeaderWins)
{
    const std::string avi = liste("RIFF", "AVI ",
        hdrl(strl("vids", "dvsd") + strl("auds", "\1\0\0\0") + strl("vids", "MJPG") + strl("auds", "\1\0\0\0"))
            + liste("LIST", "movi", morceau("00dc", "frame")));
    const PositionsEntetes p = localiser(avi);
    ASSERT_TRUE(p);
    const int64_t deuxiemeVideo = donneesStrh(avi, 2);
    EXPECT_EQ(p.positionCodec, deuxiemeVideo + 4);
    EXPECT_EQ(avi.substr(size_t(p.positionCodec), 4), "MJPG");
    // The container reader, by contrast, names the first one.
    EXPECT_EQ(TAviParam(MemorySource(avi.data(), avi.size())).CodecVideo(), FourCC("dvsd"));
}

TEST(LocaliserEntetes, OpenDmlExtensionMoviListsAreSkipped)
{
    // Decoy stream headers inside both movi lists: a walker descending into
    // stream data would take the last one.
    const std::string leurre = liste("LIST", "strl", strh("vids", "XXXX"));
    const std::string avi = liste("RIFF", "AVI ",
                                  hdrl(strl("vids", "dvsd") + strl("auds", "\1\0\0\0"))
                                      + liste("LIST", "movi", morceau("00dc", "frame") + leurre))
        + liste("RIFF", "AVIX", liste("LIST", "movi", morceau("00dc", "frame") + leurre));
    const PositionsEntetes p = localiser(avi);
    ASSERT_TRUE(p);
    EXPECT_EQ(p.positionCodec, donneesStrh(avi, 0) + 4);
    EXPECT_EQ(avi.substr(size_t(p.positionCodec), 4), "dvsd");
}

TEST(LocaliserEntetes, WalkEndsAtForeignOrEmptyTopLevelChunk)
{
    const std::string sansVideo = liste("RIFF", "AVI ", hdrl(strl("auds", "\1\0\0\0")));
    const std::string avecVideo = liste("RIFF", "AVIX", hdrl(strl("vids", "dvsd")));
    EXPECT_TRUE(localiser(sansVideo + avecVideo));
    EXPECT_FALSE(localiser(sansVideo + morceau("JUNK", "ab") + avecVideo));
    EXPECT_FALSE(localiser(sansVideo + morceau("RIFF", "") + avecVideo));
    // Inside a list an empty chunk is simply stepped over.
    EXPECT_TRUE(localiser(liste("RIFF", "AVI ", morceau("JUNK", "") + hdrl(strl("vids", "dvsd")))));
    // Fewer than 8 bytes after the last chunk are ignored.
    EXPECT_TRUE(localiser(avecVideo + "RIFF"));
}

TEST(LocaliserEntetes, OversizedChunksAreCutOrEndTheirList)
{
    // A capture cut short: the sizes claim far more than the file holds.
    std::string coupe = liste("RIFF", "AVI ", hdrl(strl("vids", "dvsd")) + liste("LIST", "movi", std::string(1000, 'x')));
    coupe.resize(coupe.size() - 900);
    EXPECT_TRUE(localiser(coupe));
    // A list that stops in the middle of its strl: the strl is still walked,
    // then the header list ends.
    std::string court = hdrl(strl("vids", "dvsd"));
    ecrireU32(reinterpret_cast<uint8_t*>(court.data()) + 4, 4 + 64 + 20);
    const std::string avi = liste("RIFF", "AVI ", court);
    const PositionsEntetes p = localiser(avi);
    ASSERT_TRUE(p);
    EXPECT_EQ(p.positionCodec, donneesStrh(avi) + 4);
}

TEST(LocaliserEntetes, StreamHeaderTooShortForTheFieldsIsIgnored)
{
    // 27 bytes cannot hold the rate: patching it would overwrite the strf.
    const std::string avi = liste("RIFF", "AVI ",
        hdrl(liste("LIST", "strl", morceau("strh", std::string("vidsdvsd") + std::string(19, '\0'))
                                      + morceau("strf", std::string(40, '\0')))));
    EXPECT_FALSE(localiser(avi));
    // A strh truncated by the end of the file is no better.
    const std::string entier = liste("RIFF", "AVI ", hdrl(strl("vids", "dvsd")));
    EXPECT_FALSE(localiser(entier.substr(0, size_t(donneesStrh(entier) + 20))));
    EXPECT_TRUE(localiser(entier.substr(0, size_t(donneesStrh(entier) + 28))));
}

TEST(LocaliserEntetes, DeeplyNestedListsDoNotExhaustTheStack)
{
    constexpr int profondeur = 200000;
    std::string interieur = strl("vids", "dvsd");
    // Built from the inside out without quadratic copying: headers first,
    // then the innermost content.
    std::string octets;
    octets.reserve(size_t(profondeur) * 12 + interieur.size());
    for (int i = 0; i < profondeur; ++i) {
        const uint32_t taille = uint32_t(4 + size_t(profondeur - 1 - i) * 12 + interieur.size());
        octets += (i == 0 ? "RIFF" : "LIST");
        octets += u32(taille);
        octets += (i == 0 ? "AVI " : "hdrl");
    }
    octets += interieur;
    const PositionsEntetes p = localiser(octets);
    ASSERT_TRUE(p);
    EXPECT_EQ(p.positionCodec, donneesStrh(octets) + 4);
}

TEST(LocaliserEntetes, OverlappingListsAreNotWalkedOverAndOverAgain)
{
    // Each block is a 24-byte list holding only the header of a list that
    // claims everything to the end of the file. That inner list walks all
    // later blocks, then the outer walk resumes inside it and walks them
    // again: 2^60 walks of the tail without a bound on the reads.
    std::string blocs;
    for (int i = 0; i < 60; ++i)
        blocs += "LIST" + u32(16) + "abcd" + "LIST" + u32(0xFFFFFFF0u) + "wxyz";
    const std::string avi = liste("RIFF", "AVI ", blocs + hdrl(strl("vids", "dvsd")));
    EXPECT_FALSE(localiser(avi));
    // A single overlap, as a sloppy writer leaves it, is still walked through.
    const std::string un = liste("RIFF", "AVI ", blocs.substr(0, 24) + hdrl(strl("vids", "dvsd")));
    EXPECT_TRUE(localiser(un));
}

// --- Patching ---

TEST(EcrireCodec, ChangesOnlyTheFourHandlerBytes)
{
    KORVAN_REQUIRE_FIXTURES();
    const ScratchDir dir;
    for (const char* nom : {"pal_t2_43.avi", "pal_t1_43.avi", "pal_junk_odd.avi"}) {
        SCOPED_TRACE(nom);
        const std::string copie = dir.copyFixture(nom);
        const std::string avant = readWholeFile(copie);
        const int64_t donnees = donneesStrh(avant);
        const std::string strfAvant = avant.substr(avant.find("strf"), 48);

        ASSERT_TRUE(EcrireCodec(copie, CodeDepuisTexte("CDVC")));
        const std::string apres = readWholeFile(copie);
        ASSERT_EQ(apres.size(), avant.size());
        EXPECT_EQ(octetsDifferents(avant, apres), plage(size_t(donnees + 4), 4));
        EXPECT_EQ(apres.substr(size_t(donnees + 4), 4), "CDVC");
        EXPECT_EQ(apres.substr(apres.find("strf"), 48), strfAvant); // biCompression or DVINFO untouched
        EXPECT_EQ(LireCodec(copie), CodeDepuisTexte("CDVC"));

        // The retry under "dvsd" writes the old code back: the file ends as it was.
        ASSERT_TRUE(EcrireCodec(copie, FourCC("dvsd").value()));
        EXPECT_EQ(readWholeFile(copie), avant);
    }
}

TEST(EcrireFrequence, ChangesOnlyScaleAndRate)
{
    KORVAN_REQUIRE_FIXTURES();
    const ScratchDir dir;
    struct Cas {
        double fps;
        uint32_t scale;
    };
    for (const Cas c : {Cas{25.0, 40000}, Cas{29.97, 33367}, Cas{30.0, 33333}, Cas{24.0, 41667}}) {
        SCOPED_TRACE(c.fps);
        const std::string copie = dir.copyFixture("pal_t2_43.avi", "freq.avi");
        const std::string avant = readWholeFile(copie);
        const int64_t donnees = donneesStrh(avant);
        EcrireFrequence(copie, c.fps);
        const std::string apres = readWholeFile(copie);
        EXPECT_EQ(octetsDifferents(avant, apres).size() <= 8, true);
        for (size_t i : octetsDifferents(avant, apres))
            EXPECT_TRUE(i >= size_t(donnees + 20) && i < size_t(donnees + 28)) << i;
        EXPECT_EQ(u32Dans(apres, donnees + 20), c.scale);
        EXPECT_EQ(u32Dans(apres, donnees + 24), 1'000'000u);
    }
}

TEST(EcrireFrequence, ScaleRoundsHalvesToEvenAndRefusesUnusableRates)
{
    EXPECT_EQ(EchellePourFrequence(25.0), 40000u);
    EXPECT_EQ(EchellePourFrequence(29.97), 33367u);
    // Rates whose quotient is exactly a half in binary floating point.
    EXPECT_EQ(EchellePourFrequence(400000.0), 2u);            // 2.5 -> 2
    EXPECT_EQ(EchellePourFrequence(666666.6666666666), 2u);   // 1.5 -> 2
    EXPECT_EQ(EchellePourFrequence(181818.18181818182), 6u);  // 5.5 -> 6
    EXPECT_EQ(EchellePourFrequence(80000.0), 12u);            // 12.5 -> 12
    EXPECT_EQ(EchellePourFrequence(1'000'000.0), 1u);
    for (double refuse : {0.0, -25.0, std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(), 4e6 /* scale 0.25 -> 0 */,
                          1e-4 /* scale beyond 32 bits */, std::numeric_limits<double>::denorm_min()}) {
        SCOPED_TRACE(refuse);
        EXPECT_FALSE(EchellePourFrequence(refuse).has_value());
    }

    KORVAN_REQUIRE_FIXTURES();
    const ScratchDir dir;
    const std::string copie = dir.copyFixture("pal_t2_43.avi");
    const std::string avant = readWholeFile(copie);
    EXPECT_THROW(EcrireFrequence(copie, 0.0), std::invalid_argument);
    EXPECT_THROW(EcrireFrequence(copie, std::nan("")), std::invalid_argument);
    EXPECT_THROW(EcrireFrequence(copie, -1.0), std::invalid_argument);
    EXPECT_EQ(readWholeFile(copie), avant);
}

TEST(EcrireEntetes, NothingWrittenWithoutVideoStreamHeader)
{
    KORVAN_REQUIRE_FIXTURES();
    const ScratchDir dir;
    for (const char* nom : {"pcm_audio_only.avi", "not_riff.avi", "empty.avi"}) {
        SCOPED_TRACE(nom);
        const std::string copie = dir.copyFixture(nom);
        const std::string avant = readWholeFile(copie);
        EXPECT_FALSE(LireCodec(copie).has_value());
        EXPECT_FALSE(EcrireCodec(copie, FourCC("dvsd").value()));
        EXPECT_THROW(EcrireFrequence(copie, 25.0), EnteteVideoAbsente);
        EXPECT_EQ(readWholeFile(copie), avant);
    }
    const std::string absent = dir.path("absent.avi");
    EXPECT_FALSE(LireCodec(absent).has_value());
    EXPECT_FALSE(EcrireCodec(absent, FourCC("dvsd").value()));
    EXPECT_THROW(EcrireFrequence(absent, 25.0), FileError);
    EXPECT_FALSE(korvan::fileExists(absent));
}

TEST(EcrireEntetes, LastVideoStreamHeaderIsTheOnePatched)
{
    const ScratchDir dir;
    const std::string avi = liste("RIFF", "AVI ", hdrl(strl("vids", "dvsd") + strl("vids", "MJPG")));
    const std::string chemin = dir.path("deux.avi");
    writeWholeFile(chemin, avi);
    ASSERT_TRUE(EcrireCodec(chemin, CodeDepuisTexte("ab")));
    EcrireFrequence(chemin, 25.0);
    const std::string apres = readWholeFile(chemin);
    const int64_t seconde = donneesStrh(avi, 1);
    std::vector<size_t> attendu = plage(size_t(seconde + 4), 4);
    for (size_t i : plage(size_t(seconde + 20), 8))
        if (avi[i] != apres[i])
            attendu.push_back(i);
    EXPECT_EQ(octetsDifferents(avi, apres), attendu);
    EXPECT_EQ(apres.substr(size_t(seconde + 4), 4), std::string("ab\0\0", 4));
    EXPECT_EQ(u32Dans(apres, seconde + 20), 40000u);
    EXPECT_EQ(u32Dans(apres, seconde + 24), 1'000'000u);
}

TEST(EcrireEntetes, ReadOnlyFileIsLeftIntact)
{
    KORVAN_REQUIRE_FIXTURES();
    const ScratchDir dir;
    const std::string copie = dir.copyFixture("pal_t2_43.avi");
    const std::string avant = readWholeFile(copie);
    ASSERT_EQ(::chmod(dir.path("").c_str(), 0755), 0);
    ASSERT_EQ(::chmod(copie.c_str(), 0444), 0);
    {
        const AccesOrdinaire ordinaire;
        EXPECT_EQ(LireCodec(copie), FourCC("dvsd").value()); // reading still works
        EXPECT_FALSE(EcrireCodec(copie, CodeDepuisTexte("CDVC")));
        EXPECT_THROW(EcrireFrequence(copie, 29.97), FileError);
    }
    EXPECT_EQ(readWholeFile(copie), avant);
}

TEST(CodeDepuisTexte, PadsWithZeroBytesAndKeepsFourCharacters)
{
    EXPECT_EQ(CodeDepuisTexte("dvsd"), 0x64737664u);
    EXPECT_EQ(CodeDepuisTexte("ab"), 0x00006261u);
    EXPECT_EQ(CodeDepuisTexte("dvsdx"), CodeDepuisTexte("dvsd"));
    EXPECT_EQ(CodeDepuisTexte(""), 0u);
}

// An independent reader sees the patched fields: MediaInfo's structure dump
// for the handler (FFmpeg reports the strf code there) and ffprobe for the
// stream time base, which FFmpeg takes from the strh scale and rate.
TEST(EcrireEntetes, IndependentReadersSeeThePatchedFields)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString mediainfo = QStandardPaths::findExecutable("mediainfo");
    const QString ffprobe = QStandardPaths::findExecutable("ffprobe");
    if (mediainfo.isEmpty() || ffprobe.isEmpty())
        GTEST_SKIP() << "mediainfo or ffprobe not installed";
    const ScratchDir dir;
    const std::string copie = dir.copyFixture("pal_t2_43.avi");
    ASSERT_TRUE(EcrireCodec(copie, CodeDepuisTexte("CDVC")));
    EcrireFrequence(copie, 29.97);

    auto lancer = [](const QString& programme, const QStringList& args) {
        QProcess p;
        p.start(programme, args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    const QString details = lancer(mediainfo, {"--Details=1", QString::fromStdString(copie)});
    EXPECT_TRUE(details.contains(QRegularExpression("fccHandler:\\s+CDVC"))) << details.toStdString();
    const QString flux = lancer(ffprobe, {"-v", "error", "-select_streams", "v:0", "-show_entries",
                                          "stream=time_base,codec_tag_string", "-of", "default=nw=1",
                                          QString::fromStdString(copie)});
    EXPECT_TRUE(flux.contains("time_base=33367/1000000")) << flux.toStdString();
    EXPECT_TRUE(flux.contains("codec_tag_string=dvsd")) << flux.toStdString(); // strf unchanged
}
