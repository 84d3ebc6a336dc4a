// The RIFF structure report, line by line. The expected lines are written
// from the report's rules and from the fixtures' bytes as an independent
// chunk dump shows them, never from the program's own output.
#include "analysis/avi_demuxer.h"
#include "analysis/dateheure.h"
#include "analysis/file_io.h"
#include "analysis/reglages_format.h"
#include "analysis/riffunit.h"
#include "support/avi_odml.h"
#include "support/fixtures.h"
#include "support/riff_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korvan;
using namespace korvan::test;
using namespace std::string_literals;

namespace {

// The centring rule: prefix, p copies of fill, the title, p copies again,
// p = (50 - prefix - title) div 2, none when p <= 0.
QString centre(const QString& prefixe, QChar remplissage, const QString& titre)
{
    const int p = (50 - int(prefixe.size()) - int(titre.size())) / 2;
    return prefixe + QString(std::max(p, 0), remplissage) + titre + QString(std::max(p, 0), remplissage);
}

// Expected lines in a short notation: the leading blanks are the indent;
// "--[t]", "~~[t]" and "**[t]" stand for t centred after that indent with
// dashes, blanks or stars; anything else is the line as it is, where a final
// "|" only marks a trailing blank.
QStringList lignes(const std::vector<std::string>& notation)
{
    QStringList l;
    for (const std::string& n : notation) {
        const QString s = QString::fromUtf8(n.data(), qsizetype(n.size()));
        qsizetype k = 0;
        while (k < s.size() && s[k] == u' ')
            ++k;
        const QString prefixe = s.left(k);
        const QString reste = s.mid(k);
        const bool centree = reste.size() >= 4 && reste[2] == u'[' && reste.endsWith(u']')
            && (reste.startsWith(u"--") || reste.startsWith(u"~~") || reste.startsWith(u"**"));
        if (centree) {
            const QChar remplissage = reste[0] == u'-' ? u'-' : reste[0] == u'~' ? u' ' : u'*';
            l << centre(prefixe, remplissage, reste.mid(3, reste.size() - 4));
        } else {
            l << (s.endsWith(u'|') ? s.chopped(1) : s);
        }
    }
    return l;
}

TDateTime moment()
{
    TDateTime t = 0;
    EncodeDateTime(2005, 2, 3, 9, 5, 7, 0, t);
    return t;
}

const EnteteRapportRiff kEntete{QStringLiteral("5.3.6"), QStringLiteral("https://example.org/korvan"), moment()};

struct Fin {
    bool annule = false;
    bool inattendue = false;
};

// The whole report: its frame around the walk's lines.
QStringList rapportAttendu(const QString& nom, const QString& chemin, const QStringList& parcours, Fin fin = {})
{
    QStringList l = lignes({"--------------------------------------------------", "",
                            "**[  En-tête du fichier " + nom.toStdString() + "  ]", "",
                            "~~[analysée le 3/02/2005 à 9:05:07]", "~~[par Korvan de Brannoc version 5.3.6]", "",
                            "~~[Visitez mon site web:]", "~~[https://example.org/korvan]", "",
                            "--[Début du RIFF Avi]"});
    l += parcours;
    l << QString();
    if (fin.annule)
        l += lignes({"--[Annulé par l'utilisateur]", ""});
    if (fin.inattendue)
        l += lignes({"~~[Fin du fichier inattendue]", ""});
    l += lignes({"--[ Fin de l'en-tête ]", "~~[" + chemin.toStdString() + "]", "",
                 "--------------------------------------------------"});
    return l;
}

QStringList rapportDe(const std::string& octets, const QString& chemin = QStringLiteral("/v/essai.avi"))
{
    const MemorySource source(octets.data(), octets.size());
    return RapportRiff(source, chemin, kEntete);
}

// The walk's lines alone, between the frame's opening and closing blocks.
QStringList parcoursDe(const QStringList& rapport)
{
    const qsizetype debut = 11;
    qsizetype fin = rapport.size() - 5;
    while (fin > debut && rapport[fin - 1].isEmpty())
        --fin;
    const auto ferme = [&](const char* t) {
        return fin > debut && rapport[fin - 1].trimmed() == QString::fromUtf8(t);
    };
    while (ferme("Fin du fichier inattendue") || rapport[fin - 1].contains(QStringLiteral("Annulé par l'utilisateur"))) {
        --fin;
        while (fin > debut && rapport[fin - 1].isEmpty())
            --fin;
    }
    return rapport.mid(debut, fin - debut);
}

class RapportRiffTest : public ::testing::Test {
protected:
    void SetUp() override { definirReglagesFormat(ReglagesFormat::francais()); }
    void TearDown() override { definirReglagesFormat(ReglagesFormat::utilisateur()); }

    QStringList rapportFixture(const std::string& nom)
    {
        const QString chemin = QString::fromStdString(fixture(nom));
        const BinaryFile f(fixture(nom), BinaryFile::Mode::Read);
        return RapportRiff(f, chemin, kEntete);
    }
};

// The main header and the video stream of ffmpeg's type 2 files (the two
// 6-frame clips share them but for the frame count).
std::vector<std::string> hdrlType2(uint32_t images)
{
    const std::string n = std::to_string(images);
    return {
        "        avih  00000038",
        "",
        "        --[ Début du AVI Main Header ]",
        "        MicroSecPerFrame = 40000",
        "        MaxBytesPerSec = 3317000",
        "        PaddingGranularity = 0",
        "        Flags = 00000910",
        "        TotalFrames = " + n,
        "        InitialFrames = 0",
        "        Streams = 2",
        "        SuggestedBufferSize = 1048576",
        "        Width = 720",
        "        Height = 576",
        "        Reserved0 = 00000000",
        "        Reserved1 = 00000000",
        "        Reserved2 = 00000000",
        "        Reserved3 = 00000000",
        "        --[ Fin du AVI Main Header ]",
        "",
    };
}

std::vector<std::string> strlType2(uint32_t images)
{
    const std::string n = std::to_string(images);
    const std::string echantillons = std::to_string(images * 1920);
    return {
        "        LIST  000010E0",
        "        strl",
        "            strh  00000038",
        "",
        "            --[(Vidéo)]",
        "            --[Début du AVI Stream Header]",
        "            FourccType = vids",
        "            FourccHandler = dvsd",
        "            Flags = 00000000",
        "            Priority = 0",
        "            Language = 0000",
        "            InitialFrames = 0",
        "            Scale = 1",
        "            Rate = 25",
        "            Start = 0",
        "            Length = " + n,
        "            SuggestedBufferSize = 144000",
        "            Quality = FFFFFFFF",
        "            SampleSize = 0",
        "            rcFrame.Left = 0",
        "            rcFrame.Top = 0",
        "            rcFrame.Right = 720",
        "            rcFrame.Bottom = 576",
        "            --[Fin du AVI Stream Header]",
        "",
        "            strf  00000028",
        "",
        "            --[Début du Stream Format Header]",
        "            biSize = 40",
        "            biWidth = 720",
        "            biHeight = 576",
        "            biPlanes = 1",
        "            biBitCount = 24",
        "            biCompression = dvsd",
        "            biSizeImage = 1244160",
        "            biXPelsPerMeter = 0",
        "            biYPelsPerMeter = 0",
        "            biClrUsed = 0",
        "            biClrImportant = 0",
        "            --[Fin du AVI Stream Format]",
        "",
        "            JUNK  00001018",
        "            vprp  00000044",
        "        LIST  0000107C",
        "        strl",
        "            strh  00000038",
        "",
        "            --[(Audio)]",
        "            --[Début du AVI Stream Header]",
        "            FourccType = auds",
        // ffmpeg writes the audio format tag where the handler goes.
        "            FourccHandler = \x01\0\0\0"s,
        "            Flags = 00000000",
        "            Priority = 0",
        "            Language = 0000",
        "            InitialFrames = 0",
        "            Scale = 1",
        "            Rate = 48000",
        "            Start = 0",
        "            Length = " + echantillons,
        "            SuggestedBufferSize = 7680",
        "            Quality = FFFFFFFF",
        "            SampleSize = 4",
        "            rcFrame.Left = 0",
        "            rcFrame.Top = 0",
        "            rcFrame.Right = 0",
        "            rcFrame.Bottom = 0",
        "            --[Fin du AVI Stream Header]",
        "",
        "            strf  00000010",
        "",
        "            --[Début du Stream Format Header]",
        "            FormatTag = 1",
        "            Channels = 2",
        "            SamplesPerSec = 48000",
        "            AvgBytesPerSec = 192000",
        "            BlockAlign = 4",
        "            BitsPerSample = 16",
        // A 16-byte PCM format has no cbSize: the bytes after the chunk are not read as one.
        "            cbSize = 0",
        "            --[Fin du AVI Stream Format]",
        "",
        "            JUNK  00001018",
    };
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST_F(RapportRiffTest, CentringAndFrameLinesAsWritten)
{
    // A few lines spelled out, so that the notation above is held to the rule.
    const QStringList l = rapportDe("");
    ASSERT_GE(l.size(), 16);
    EXPECT_EQ(l[2], "*********  En-tête du fichier essai.avi  *********");
    EXPECT_EQ(l[4], "         analysée le 3/02/2005 à 9:05:07         ");
    EXPECT_EQ(l[10], "----------------Début du RIFF Avi----------------");
    EXPECT_EQ(l[l.size() - 4], "---------------- Fin de l'en-tête ----------------");
    EXPECT_EQ(l[l.size() - 3], "                   /v/essai.avi                   ");
    EXPECT_EQ(centre(QString(12, u' '), u'-', QStringLiteral("(Vidéo)")),
              "            ---------------(Vidéo)---------------");
    // An empty file: no walk at all.
    EXPECT_EQ(l, rapportAttendu("essai.avi", "/v/essai.avi", {}));
    // A title wider than the frame gets no fill.
    const QString large(60, u'x');
    EXPECT_EQ(centre({}, u'-', large), large);
}

TEST_F(RapportRiffTest, DvType2FileListsHeadersStreamsMoviAndIdx1)
{
    KORVAN_REQUIRE_FIXTURES();
    const QStringList parcours = lignes(std::vector<std::string>{
                                            "RIFF  00459B7C",
                                            "AVI |",
                                            "    LIST  000022BC",
                                            "    hdrl",
                                        }
                                        + hdrlType2(30) + strlType2(30)
                                        + std::vector<std::string>{
                                            "        JUNK  00000104",
                                            "    JUNK  000003F8",
                                            "    LIST  004570E4",
                                            "    movi",
                                            "    idx1  000003C0",
                                        });
    EXPECT_EQ(rapportFixture("pal_t2_43.avi"),
              rapportAttendu("pal_t2_43.avi", QString::fromStdString(fixture("pal_t2_43.avi")), parcours));
}

TEST_F(RapportRiffTest, DvType1FileShowsTheInterleavedStreamAndItsDvBlock)
{
    KORVAN_REQUIRE_FIXTURES();
    const QStringList parcours = lignes({
        "RIFF  0036F1B0",
        "AVI |",
        "    LIST  000000B8",
        "    hdrl",
        "        avih  00000038",
        "",
        "        --[ Début du AVI Main Header ]",
        "        MicroSecPerFrame = 40000",
        "        MaxBytesPerSec = 3600000",
        "        PaddingGranularity = 0",
        "        Flags = 00000110",
        "        TotalFrames = 25",
        "        InitialFrames = 0",
        "        Streams = 1",
        "        SuggestedBufferSize = 144000",
        "        Width = 720",
        "        Height = 576",
        "        Reserved0 = 00000000",
        "        Reserved1 = 00000000",
        "        Reserved2 = 00000000",
        "        Reserved3 = 00000000",
        "        --[ Fin du AVI Main Header ]",
        "",
        "        LIST  0000006C",
        "        strl",
        "            strh  00000038",
        "",
        "            --[(Entrelacé)]",
        "            --[Début du AVI Stream Header]",
        "            FourccType = iavs",
        "            FourccHandler = dvsd",
        "            Flags = 00000000",
        "            Priority = 0",
        "            Language = 0000",
        "            InitialFrames = 0",
        "            Scale = 1",
        "            Rate = 25",
        "            Start = 0",
        "            Length = 25",
        "            SuggestedBufferSize = 144000",
        "            Quality = FFFFFFFF",
        "            SampleSize = 0",
        "            rcFrame.Left = 0",
        "            rcFrame.Top = 0",
        "            rcFrame.Right = 720",
        "            rcFrame.Bottom = 576",
        "            --[Fin du AVI Stream Header]",
        "",
        "            strf  00000020",
        "",
        "            --[Début de DVInfo]",
        "            DVAAuxSrc = 80E000D8",
        "            DVAAuxCtl = FFA0CF1C",
        "            DVAAuxSrc1 = 80E001D8",
        "            DVAAuxCtl1 = FFA0CF1C",
        "            DVVAuxSrc = FFE0FFFF",
        "            DVVAuxCtl = FFFCC83F",
        "            DVReserved0 = 00000000",
        "            DVReserved1 = 00000000",
        "            --[Fin de DVINfo]",
        "",
        "    LIST  0036EF4C",
        "    movi",
        "    idx1  00000190",
    });
    EXPECT_EQ(rapportFixture("pal_t1_43.avi"),
              rapportAttendu("pal_t1_43.avi", QString::fromStdString(fixture("pal_t1_43.avi")), parcours));
}

TEST_F(RapportRiffTest, TrailingBytesEndTheWalkWithTheirCount)
{
    KORVAN_REQUIRE_FIXTURES();
    const QStringList l = rapportFixture("pal_trailing16.avi");
    const QStringList parcours = lignes(std::vector<std::string>{"RIFF  000E0AFC", "AVI |", "    LIST  000022BC", "    hdrl"}
                                        + hdrlType2(6) + strlType2(6)
                                        + std::vector<std::string>{
                                            "        JUNK  00000104",
                                            "    JUNK  000003F8",
                                            "    LIST  000DE364",
                                            "    movi",
                                            "    idx1  000000C0",
                                            ">>> Il y a 00000010 octets de déchets à la fin du fichier",
                                        });
    EXPECT_EQ(l, rapportAttendu("pal_trailing16.avi", QString::fromStdString(fixture("pal_trailing16.avi")), parcours));
}

TEST_F(RapportRiffTest, NonRiffFilesGiveOneGarbageLineAndTooShortOnesAnUnexpectedEnd)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString pasRiff = QString::fromStdString(fixture("not_riff.avi"));
    EXPECT_EQ(rapportFixture("not_riff.avi"),
              rapportAttendu("not_riff.avi", pasRiff, {">>> Il y a 0000003F octets de déchets à la fin du fichier"}));
    // Seven bytes hold no chunk header.
    EXPECT_EQ(rapportFixture("seven_bytes.avi"),
              rapportAttendu("seven_bytes.avi", QString::fromStdString(fixture("seven_bytes.avi")), {}, {false, true}));
    EXPECT_EQ(rapportFixture("empty.avi"),
              rapportAttendu("empty.avi", QString::fromStdString(fixture("empty.avi")), {}));
}

TEST_F(RapportRiffTest, SizesBeyondTheFileAreCorrectedThenTheWalkRunsOutOfData)
{
    KORVAN_REQUIRE_FIXTURES();
    // The type 2 clip cut inside its video stream header: every chunk open
    // there claims more than the file holds, and the header itself cannot
    // be read whole.
    const std::string coupe = readWholeFile(fixture("pal_t2_43.avi")).substr(0, 150);
    const QStringList attendu = rapportAttendu(
        "essai.avi", "/v/essai.avi",
        lignes(std::vector<std::string>{
                   "RIFF  00459B7C",
                   ">>> Mauvaise longueur du chunk:",
                   ">>> 00459B7C au lieu de 0000008E",
                   "AVI |",
                   "    LIST  000022BC",
                   "    >>> Mauvaise longueur du chunk:",
                   "    >>> 000022BC au lieu de 00000082",
                   "    hdrl",
               }
               + hdrlType2(30)
               + std::vector<std::string>{
                   "        LIST  000010E0",
                   "        >>> Mauvaise longueur du chunk:",
                   "        >>> 000010E0 au lieu de 00000036",
                   "        strl",
                   "            strh  00000038",
                   "            >>> Mauvaise longueur du chunk:",
                   "            >>> 00000038 au lieu de 0000002A",
               }),
        {false, true});
    EXPECT_EQ(rapportDe(coupe), attendu);

    // An interrupted capture: the RIFF and its movi list claim their planned
    // sizes; cut to the file, the walk reaches the end cleanly.
    const QStringList capture = parcoursDe(rapportFixture("pal_truncated.avi"));
    const QStringList debut = lignes({"RIFF  002E749C", ">>> Mauvaise longueur du chunk:", ">>> 002E749C au lieu de 001D06DC", "AVI |"});
    EXPECT_EQ(capture.mid(0, 4), debut);
    const QStringList fin = lignes({"    JUNK  000003F8", "    LIST  002E4B44", "    >>> Mauvaise longueur du chunk:",
                                    "    >>> 002E4B44 au lieu de 001CE00C", "    movi"});
    EXPECT_EQ(capture.mid(capture.size() - 5), fin);
    EXPECT_FALSE(rapportFixture("pal_truncated.avi").join('\n').contains("Fin du fichier inattendue"));
}

TEST_F(RapportRiffTest, OddSizedChunkShowsItsSizeAndTheWalkGoesOnAfterThePadByte)
{
    KORVAN_REQUIRE_FIXTURES();
    const QStringList parcours = parcoursDe(rapportFixture("pal_junk_odd.avi"));
    const QStringList attendu = lignes(std::vector<std::string>{"RIFF  000E0B12", "AVI |", "    LIST  000022D2", "    hdrl"}
                                       + hdrlType2(6) + std::vector<std::string>{"        JUNK  0000000D"} + strlType2(6)
                                       + std::vector<std::string>{
                                           "        JUNK  00000104",
                                           "    JUNK  000003F8",
                                           "    LIST  000DE364",
                                           "    movi",
                                           "    idx1  000000C0",
                                       });
    EXPECT_EQ(parcours, attendu);
    // An odd size at the end of a list, its pad byte missing from the file.
    const std::string impair = "RIFF"s + u32le(13) + "AVI " + "JUNK" + u32le(1) + "x";
    EXPECT_EQ(parcoursDe(rapportDe(impair)),
              lignes({"RIFF  0000000D", ">>> Mauvaise longueur du chunk:", ">>> 0000000E au lieu de 0000000D", "AVI |",
                      "    JUNK  00000001", "    >>> Mauvaise longueur du chunk:", "    >>> 00000002 au lieu de 00000001"}));
}

TEST_F(RapportRiffTest, OpenDmlFileShowsItsSuperIndexesAndExtensionRiffs)
{
    KORVAN_REQUIRE_FIXTURES();
    std::vector<OdmlStream> flux = streamsOf(AviDemuxer::ouvrir(fixture("pal_t2_43.avi")));
    keepChunks(flux, 6);
    const OdmlClip clip = buildOdml(flux, {3, 3}, false);
    const QStringList l = parcoursDe(rapportDe(clip.contiguous()));
    // Each stream list ends with its super index: two entries, one per RIFF.
    const QStringList indexVideo = lignes({
        "            indx  00000038",
        "",
        "            --[Début d'un Index]",
        "            wLongsPerEntry = 0004",
        "            bIndexSubType = 0",
        "            bIndexType = 0",
        "            nEntriesInUse = 00000002",
        "            dwChunkId = 00dc",
        "            qwBaseOffset = 0000000000000000",
        "            dwReserved_3 = 00000000",
        "            --[Fin de l'Index]",
        "",
    });
    const qsizetype video = l.indexOf(indexVideo[0]);
    ASSERT_GE(video, 0);
    EXPECT_EQ(l.mid(video, indexVideo.size()), indexVideo);
    const qsizetype audio = l.indexOf(indexVideo[0], video + 1);
    ASSERT_GT(audio, video);
    EXPECT_EQ(l[audio + 7], "            dwChunkId = 01wb");
    // After the first RIFF, its extension with its movi list, whose chunks are not listed.
    const qsizetype avix = l.indexOf("AVIX");
    ASSERT_GT(avix, audio);
    EXPECT_TRUE(l[avix - 1].startsWith("RIFF  "));
    EXPECT_EQ(l.size(), avix + 3);
    EXPECT_TRUE(l[avix + 1].startsWith("    LIST  "));
    EXPECT_EQ(l[avix + 2], "    movi");
    EXPECT_EQ(l.filter(QRegularExpression("^RIFF  ")).size(), 2);
}

TEST_F(RapportRiffTest, BlocksOfFormatsAndIndexesBuiltForTheCase)
{
    // A type 2 video format carrying the DV block (upper-case code, compared
    // in lower case), one too short for it, and a format after a stream of
    // another type; an index header outside movi; stream data chunks outside
    // movi are not listed.
    std::string bitmap(40, '\0');
    auto* b = reinterpret_cast<uint8_t*>(bitmap.data());
    ecrireU32(b, 40);
    ecrireU32(b + 4, 720);
    ecrireU32(b + 8, uint32_t(-480));
    ecrireU16(b + 12, 1);
    ecrireU16(b + 14, 24);
    bitmap.replace(16, 4, "DVSD");
    std::string dv;
    for (uint32_t v : {0x11111111u, 0x22222222u, 0x33333333u, 0x44444444u, 0x55555555u, 0x66666666u, 0x77777777u, 0x88888888u})
        dv += u32le(v);
    std::string ix = u16le(2) + '\x01' + '\x01' + u32le(3) + "01wb" + u64le(0x0123456789ABCDEFull) + u32le(7);
    const std::string octets = riff("AVI ", {list("strl", {strh("vids", "DVSD"), chunk("strf", bitmap + dv)}),
                                             list("strl", {strh("vids", "dvsd"), chunk("strf", bitmap + dv.substr(0, 24))}),
                                             list("strl", {strh("txts", "none"), chunk("strf", bitmap)}),
                                             list("rec ", {chunk("00dc", "ab"), chunk("01wb", "c"), chunk("00db", ""),
                                                           chunk("02wb", "d"), chunk("ix01", ix)})});
    const QStringList l = parcoursDe(rapportDe(octets));
    const QStringList dvAttendu = lignes({
        "        --[Début de DVInfo]",
        "        DVAAuxSrc = 11111111",
        "        DVAAuxCtl = 22222222",
        "        DVAAuxSrc1 = 33333333",
        "        DVAAuxCtl1 = 44444444",
        "        DVVAuxSrc = 55555555",
        "        DVVAuxCtl = 66666666",
        "        DVReserved0 = 77777777",
        "        DVReserved1 = 88888888",
        "        --[Fin de DVINfo]",
        "        --[Fin du AVI Stream Format]",
    });
    const qsizetype premier = l.indexOf("        biCompression = DVSD");
    ASSERT_GE(premier, 0);
    EXPECT_EQ(l[premier - 3], "        biHeight = -480");
    EXPECT_EQ(l.mid(premier + 6, dvAttendu.size()), dvAttendu);
    // 24 bytes after the bitmap header are no DV block.
    const qsizetype second = l.indexOf("        biCompression = DVSD", premier + 1);
    ASSERT_GT(second, premier);
    EXPECT_EQ(l[second + 6], dvAttendu.last());
    // The format of a text stream has no block.
    const qsizetype texte = l.indexOf("        FourccType = txts");
    ASSERT_GT(texte, second);
    EXPECT_EQ(l[texte - 2], centre(QString(8, u' '), u'-', "(Inconnu)"));
    EXPECT_EQ(l[texte + 17], centre(QString(8, u' '), u'-', "Fin du AVI Stream Header"));
    EXPECT_EQ(l[texte + 19], "        strf  00000028");
    EXPECT_TRUE(l[texte + 20].startsWith("    LIST  "));
    const QStringList rec = lignes({
        "    rec |",
        "        02wb  00000001",
        "        ix01  00000018",
        "",
        "        --[Début d'un Index]",
        "        wLongsPerEntry = 0002",
        "        bIndexSubType = 1",
        "        bIndexType = 1",
        "        nEntriesInUse = 00000003",
        "        dwChunkId = 01wb",
        "        qwBaseOffset = 0123456789ABCDEF",
        "        dwReserved_3 = 00000007",
        "        --[Fin de l'Index]",
    });
    EXPECT_EQ(l.mid(l.size() - rec.size()), rec);
}

TEST_F(RapportRiffTest, ListsAreWalkedWhileEightBytesRemainAndAnOverlongChildEndsItsList)
{
    // hdrl holds a 10-byte chunk and 2 bytes left over (with its pad byte).
    // The next list's only child claims 20 bytes where 12 remain: it is
    // listed, its list ends, and the RIFF goes on after that list.
    const std::string octets = riff("AVI ", {chunk("LIST", "hdrl" + chunk("JUNK", "ab") + "z"),
                                             chunk("LIST", "strl" + "JUNK"s + u32le(20) + std::string(4, 'x')),
                                             chunk("JUNK", std::string(40, 'y'))});
    EXPECT_EQ(parcoursDe(rapportDe(octets)), lignes({
                                                 "RIFF  00000064",
                                                 "AVI |",
                                                 "    LIST  0000000F",
                                                 "    hdrl",
                                                 "        JUNK  00000002",
                                                 "    LIST  00000010",
                                                 "    strl",
                                                 "        JUNK  00000014",
                                                 "    JUNK  00000028",
                                             }));
}

namespace {

// Gives up after a number of chunks, as a user closing the window would.
class SortieAnnulee : public SortieRapportRiff {
public:
    explicit SortieAnnulee(int apres) : reste_(apres) {}
    QStringList lignes;
    int questions = 0;
    void ajouterLigne(const QString& l) override { lignes << l; }
    bool annuleRapport() override
    {
        ++questions;
        return reste_-- <= 0;
    }

private:
    int reste_;
};

} // namespace

TEST_F(RapportRiffTest, CancellingStopsTheWalkAtTheNextChunk)
{
    KORVAN_REQUIRE_FIXTURES();
    const BinaryFile f(fixture("pal_t2_43.avi"), BinaryFile::Mode::Read);
    const QString chemin = QString::fromStdString(fixture("pal_t2_43.avi"));
    SortieAnnulee sortie(3); // RIFF, LIST hdrl, avih; then the user closes
    const IssueRapportRiff issue = EcrireRapportRiff(f, chemin, kEntete, sortie);
    EXPECT_TRUE(issue.annule);
    EXPECT_FALSE(issue.finInattendue);
    EXPECT_EQ(sortie.questions, 4);
    const QStringList parcours = lignes(std::vector<std::string>{"RIFF  00459B7C", "AVI |", "    LIST  000022BC", "    hdrl"}
                                        + hdrlType2(30));
    EXPECT_EQ(sortie.lignes, rapportAttendu("pal_t2_43.avi", chemin, parcours, {true, false}));
}

TEST_F(RapportRiffTest, CraftedNestingAndOverlapsKeepTheReportProportionalToTheFile)
{
    // 3000 lists inside each other: the walk stops descending at its depth limit.
    std::string imbrique = chunk("JUNK", "x");
    for (int i = 0; i < 3000; ++i)
        imbrique = chunk("LIST", "abcd" + imbrique);
    imbrique = "RIFF"s + u32le(uint32_t(imbrique.size() + 4)) + "AVI " + imbrique;
    const QStringList l = rapportDe(imbrique);
    EXPECT_EQ(l.filter(QStringLiteral(">>> Trop de listes imbriquées : contenu non analysé")).size(), 1);
    EXPECT_EQ(l.filter(QStringLiteral("LIST  ")).size(), kProfondeurMaxRapport);
    for (const QString& ligne : l)
        EXPECT_LE(ligne.size(), 4 * kProfondeurMaxRapport + 80);

    // A chain of lists, each holding just the header of the next: every list
    // walks the chain under it, then its parent carries on two lists further
    // and walks that chain again. The read budget ends the walk.
    std::string chevauche;
    for (int i = 0; i < 2000; ++i)
        chevauche += "LIST"s + u32le(16) + "abcd";
    chevauche = "RIFF"s + u32le(uint32_t(chevauche.size() + 4)) + "AVI " + chevauche;
    const QStringList c = rapportDe(chevauche);
    EXPECT_EQ(c.filter(QStringLiteral(">>> Trop de chunks qui se chevauchent : fin de l'analyse")).size(), 1);
    EXPECT_LE(c.size(), 30 + 27 * qsizetype(chevauche.size() / 4 + 1025));
}
