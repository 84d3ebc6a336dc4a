#include "analysis/aviFichier.h"
#include "analysis/chemins.h"
#include "analysis/file_io.h"
#include "analysis/fpsunit.h"
#include "support/fixtures.h"
#include "support/riff_builder.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvan;
using namespace korvan::test;

namespace {

constexpr uint32_t kDvsd = 0x64737664;

QString q(const std::string& s) { return QString::fromStdString(s); }

// A probe that, like a framework without a decoder for the file's handler,
// fails unless the stored code reads "dvsd"; it records what it saw.
struct SondeExigeante {
    std::vector<uint32_t> codesVus;
    int echecsForces = 0; // fail this many calls whatever the code
    bool lever = false;   // throw on the second call

    bool operator()(const QString& chemin, TResultatSonde& r)
    {
        const auto code = LireCodec(CheminLocal(chemin));
        codesVus.push_back(code.value_or(0));
        if (lever && codesVus.size() == 2)
            throw std::runtime_error("probe crashed");
        if (echecsForces > 0) {
            --echecsForces;
            return false;
        }
        return code == kDvsd && ContexteEntree::SondeParDefaut(chemin, r);
    }
};

struct Dates {
    timespec acces, modif;
};
Dates dates(const std::string& chemin)
{
    struct stat st {};
    ::stat(chemin.c_str(), &st);
    return {st.st_atim, st.st_mtim};
}

} // namespace

TEST(FichierEntree, DvsdRetryRestoresHandlerBytesAndDates)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir dir;
    const std::string clip = dir.copyFixture("pal_handler_CDVC.avi");
    const std::string avant = readWholeFile(clip);
    const Dates datesAvant = dates(clip);

    auto sonde = std::make_shared<SondeExigeante>();
    ContexteEntree ctx;
    ctx.sonde = [sonde](const QString& c, TResultatSonde& r) { return (*sonde)(c, r); };
    const TAfficherFichier e(q(clip), ctx);

    // First try under CDVC fails, the second under dvsd succeeds.
    ASSERT_EQ(sonde->codesVus.size(), 2u);
    EXPECT_EQ(sonde->codesVus[1], kDvsd);
    EXPECT_TRUE(e.sondeReussie);
    EXPECT_EQ(e.texteCodec(), "CDVC");
    EXPECT_EQ(e.texteDatecode, "01/06/2004 12:01:00");
    EXPECT_EQ(readWholeFile(clip), avant);
    EXPECT_EQ(dates(clip).modif.tv_sec, datesAvant.modif.tv_sec);
    EXPECT_EQ(dates(clip).modif.tv_nsec, datesAvant.modif.tv_nsec);
}

TEST(FichierEntree, DvsdRetryFailingOrThrowingStillRestores)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir dir;
    const std::string clip = dir.copyFixture("pal_handler_CDVC.avi");
    const std::string avant = readWholeFile(clip);
    for (const bool lever : {false, true}) {
        SCOPED_TRACE(lever ? "throwing probe" : "failing probe");
        auto sonde = std::make_shared<SondeExigeante>();
        sonde->echecsForces = 2;
        sonde->lever = lever;
        ContexteEntree ctx;
        ctx.sonde = [sonde](const QString& c, TResultatSonde& r) { return (*sonde)(c, r); };
        const TAfficherFichier e(q(clip), ctx);
        EXPECT_EQ(sonde->codesVus.size(), 2u);
        EXPECT_EQ(e.texteDatecode, "Erreur");
        EXPECT_EQ(e.texteTimecode, "Erreur");
        EXPECT_EQ(e.cleDatecode, QString(QChar(0xFF)));
        EXPECT_EQ(readWholeFile(clip), avant);
    }
}

TEST(FichierEntree, NoRetryWithoutVideoHeaderOrWhenAlreadyDvsd)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir dir;
    for (const char* nom : {"pcm_audio_only.avi", "not_riff.avi", "pal_t2_43.avi"}) {
        SCOPED_TRACE(nom);
        const std::string clip = dir.copyFixture(nom);
        const std::string avant = readWholeFile(clip);
        auto sonde = std::make_shared<SondeExigeante>();
        sonde->echecsForces = 5;
        ContexteEntree ctx;
        ctx.sonde = [sonde](const QString& c, TResultatSonde& r) { return (*sonde)(c, r); };
        const TAfficherFichier e(q(clip), ctx);
        EXPECT_EQ(sonde->codesVus.size(), 1u);
        EXPECT_EQ(readWholeFile(clip), avant);
        // Without a header to patch the probe failure marks the entry; an
        // entry whose code is already dvsd is left to the probe's partial facts.
        if (std::string(nom) == "pal_t2_43.avi")
            EXPECT_NE(e.texteDatecode, "Erreur");
        else
            EXPECT_EQ(e.texteDatecode, "Erreur");
    }
}

TEST(FichierEntree, ScenesFileAndPathKeys)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir dir;
    const std::string a = dir.copyFixture("pal_t2_43.avi", "Vacances.Ete.avi");
    const std::string b = dir.copyFixture("pal_t2_43.avi", "autre.avi");
    const TAfficherFichier sans(q(a));
    EXPECT_FALSE(sans.aScenes);
    writeWholeFile(dir.path("Vacances.Ete.scn"), "x");
    const TAfficherFichier avec(q(a));
    EXPECT_TRUE(avec.aScenes);
    EXPECT_EQ(avec.nom, "Vacances.Ete.avi");

    // Same datecode, distinct keys: the lower-case name and path follow it.
    const TAfficherFichier autre(q(b));
    EXPECT_EQ(avec.cleDatecode, autre.cleDatecode);
    EXPECT_NE(avec.cleDatecodeNom, autre.cleDatecodeNom);
    EXPECT_TRUE(avec.cleDatecodeNom.endsWith(q(a).toLower()));
    EXPECT_EQ(avec.cleTaille, QStringLiteral("0000000000000000") + QStringLiteral("0000000000459B84") + q(a).toLower());
    EXPECT_TRUE(avec.cleDateFichier.startsWith(QString::number(QFileInfo(q(a)).lastModified().date().year())));
    EXPECT_EQ(avec.cleDateFichier.size(), 14 + avec.chemin.size());
}

TEST(FichierEntree, RelativePathsBecomeAbsoluteAndClean)
{
    EXPECT_EQ(CheminAbsolu("/a/b/../c//d.avi"), "/a/c/d.avi");
    EXPECT_TRUE(CheminAbsolu("x.avi").startsWith('/'));
    EXPECT_EQ(ChangerExtension("/v.1/clip", ".scn"), "/v.1/clip.scn");
    EXPECT_EQ(ChangerExtension("/v/clip.avi", ".scn"), "/v/clip.scn");
    EXPECT_EQ(NomDeFichier("/v/clip.avi"), "clip.avi");
}

TEST(FichierEntree, FrameTimeZeroStillBuildsTheEntry)
{
    KORVAN_REQUIRE_FIXTURES();
    // A video stream whose rate is 0: no frame time, so no frame rate and no frame count.
    std::string bytes = readWholeFile(fixture("pal_t2_43.avi"));
    const size_t strh = bytes.find("strh");
    ecrireU32(reinterpret_cast<uint8_t*>(bytes.data()) + strh + 8 + 24, 0);
    ScratchDir dir;
    const std::string clip = dir.path("rate0.avi");
    writeWholeFile(clip, bytes);
    const TAfficherFichier e(q(clip));
    EXPECT_EQ(e.fps, 0);
    EXPECT_EQ(e.texteDuree, "0millièmes"); // the length, unknown here, in milliseconds
    EXPECT_EQ(e.texteTaille, "720 x 576 (Pal 4x3)");
    EXPECT_EQ(e.texteDureeAudio, "1s 200ms");
    EXPECT_EQ(e.texteDatecode, "14/07/2004 10:31:05");
}

TEST(FichierEntree, DisplayFormatAndRounding)
{
    KORVAN_REQUIRE_FIXTURES();
    ContexteEntree ctx;
    ctx.formatAfficher = "dddd d mmmm yyyy, hh'h'nn";
    const TAfficherFichier e(q(fixture("ntsc_t2_43.avi")), ctx);
    EXPECT_EQ(e.texteDatecode, "dimanche 5 mars 2006, 09h15");
    EXPECT_DOUBLE_EQ(e.fps, 29.97);
    EXPECT_EQ(ArrondiBancaire(2.5), 2);
    EXPECT_EQ(ArrondiBancaire(3.5), 4);
    EXPECT_EQ(ArrondiBancaire(-2.5), -2);
}

// A FIFO, a socket or a device named *.avi is never opened for reading (a FIFO
// would wait for a writer forever): its entry says "Erreur" at once.
TEST(FichierEntree, OnlyRegularFilesAreRead)
{
    ScratchDir dir;
    const std::string fifo = dir.path("tube.avi");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& chemin : {fifo, std::string("/dev/null")}) {
        const TAfficherFichier e(q(chemin));
        EXPECT_EQ(e.texteDatecode, "Erreur") << chemin;
        EXPECT_THROW(BinaryFile(chemin, BinaryFile::Mode::Read), FileError) << chemin;
    }
}

namespace {

mode_t modeDe(const std::string& chemin)
{
    struct stat st {};
    EXPECT_EQ(::stat(chemin.c_str(), &st), 0);
    return st.st_mode & 07777;
}

} // namespace

// Read-only is the owner's missing write permission, whoever looks: the
// administrator, who may write anything, sees it too.
TEST(AttributsFichier, ReadOnlyIsTheOwnersWritePermissionAndOnlyThatBitChanges)
{
    const ScratchDir dir;
    const std::string f = dir.path("clip.avi");
    writeWholeFile(f, "x");
    struct Cas {
        mode_t mode;
        bool lectureSeule;
    };
    for (const Cas c : {Cas{0644, false}, Cas{0444, true}, Cas{0200, false}, Cas{0000, true}, Cas{02464, true}}) {
        ASSERT_EQ(::chmod(f.c_str(), c.mode), 0);
        const uint32_t a = AttributsDeFichier(q(f));
        EXPECT_EQ((a & faReadOnly) != 0, c.lectureSeule) << std::oct << c.mode;
        EXPECT_EQ(TAfficherFichier(q(f)).attributs, a);
        // Cleared, then set back: the other bits (set-group-id included) are kept.
        ASSERT_TRUE(DefinirAttributsFichier(q(f), a & ~uint32_t(faReadOnly)));
        EXPECT_EQ(modeDe(f), c.mode | S_IWUSR) << std::oct << c.mode;
        ASSERT_TRUE(DefinirAttributsFichier(q(f), a));
        EXPECT_EQ(modeDe(f), c.mode) << std::oct << c.mode;
    }
    EXPECT_FALSE(DefinirAttributsFichier(q(dir.path("absent.avi")), 0));
    EXPECT_EQ(AttributsDeFichier(q(dir.path(".cache.avi"))) & faHidden, uint32_t(faHidden));
}

// Listing a file never writes to it with the program's own probe: an
// interleaved stream whose data holds no DV frame fails the probe under any
// handler code, so the "dvsd" retry is not made (a kill between its two
// writes would leave the file changed). The entry is marked as unreadable,
// as the retry's failure would have marked it.
TEST(FichierEntree, TheOwnProbeFailingNeverWritesTheFile)
{
    ScratchDir dir;
    const std::string clip = dir.path("entrelace_sans_dv.avi");
    const std::string pasDV(1000, '\x5A');
    writeWholeFile(clip, riff("AVI ", {list("hdrl", {avih(), list("strl", {strh("iavs", "CDVC"), chunk("strf", std::string(32, '\0'))})}),
                                       list("movi", {chunk("00dc", pasDV)})}));
    const std::string avant = readWholeFile(clip);
    struct stat st {};
    ASSERT_EQ(::stat(clip.c_str(), &st), 0);
    const timespec changement = st.st_ctim;
    // The inode's change time moves with any write, even one undone with the dates.
    ::usleep(20000);

    const TAfficherFichier e(q(clip));
    EXPECT_FALSE(e.sondeReussie);
    EXPECT_EQ(e.texteDatecode, "Erreur");
    // The container is sound; with no video type from the probe the codec shows nothing.
    EXPECT_TRUE(e.valide);
    EXPECT_EQ(e.texteCodec(), "");
    EXPECT_EQ(readWholeFile(clip), avant);
    ASSERT_EQ(::stat(clip.c_str(), &st), 0);
    EXPECT_EQ(st.st_ctim.tv_sec, changement.tv_sec);
    EXPECT_EQ(st.st_ctim.tv_nsec, changement.tv_nsec);
}
