// The file entry reads a clip once: one open, one stat, its first kilobytes
// in one read, the rest in blocks. What it finds must be what the walkers
// find reading the file themselves, whatever lies beyond the first read
// (headers larger than it, the index at the end, a file shorter than it).
#include "analysis/aviFichier.h"
#include "analysis/avi_demuxer.h"
#include "analysis/aviinfo.h"
#include "analysis/chemins.h"
#include "analysis/entree_json.h"
#include "analysis/lecture_entete.h"
#include "support/avi_odml.h"
#include "support/fixtures.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>

using namespace korvan;
using namespace korvan::test;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// The probe reading the file itself, through BinaryFile, as before the
// entry shared its bytes.
bool sondeParLeChemin(const QString& chemin, TResultatSonde& r)
{
    return Sonder(CheminLocal(chemin), r);
}

// The access time is left out: reading the file may move it between two entries.
QJsonObject entreeJson(const std::string& chemin, const ContexteEntree& contexte = {})
{
    QJsonObject o = EntreeVersJson(TAfficherFichier(q(chemin), contexte));
    o.remove("dateAcces");
    return o;
}

// pal_scenes_two laid out again by the OpenDML writer, with a JUNK chunk in
// the first stream list: every header lies past the first read.
std::string odmlEnteteLongue(size_t junk)
{
    std::vector<OdmlStream> flux = streamsOf(AviDemuxer::ouvrir(fixture("pal_scenes_two.avi")));
    flux[0].strf += chunk("JUNK", std::string(junk, '\0'));
    return buildOdml(flux, {12, 20}, true).contiguous();
}

// The cases: the fixtures, and clips whose headers, first frame or index lie
// across or past the first read, or that end before it.
std::vector<std::pair<std::string, std::string>> cas(const ScratchDir& dir)
{
    std::vector<std::pair<std::string, std::string>> c;
    for (const QString& f : QDir(q(fixture(""))).entryList({"*.avi"}, QDir::Files))
        c.emplace_back(f.toStdString(), fixture(f.toStdString()));
    const auto ecrire = [&](const std::string& nom, const std::string& octets) {
        writeWholeFile(dir.path(nom), octets);
        c.emplace_back(nom, dir.path(nom));
    };
    ecrire("entete_40k.avi", odmlEnteteLongue(40000));
    // The first frame's packs straddle the end of the first read.
    ecrire("entete_bord.avi", odmlEnteteLongue(SourceEntete::kPremiereLecture - 3000));
    // Headers larger than a block beyond the first read as well.
    ecrire("entete_100k.avi", odmlEnteteLongue(100000));
    const std::string deux = readWholeFile(fixture("pal_scenes_two.avi"));
    ecrire("coupe_20k.avi", deux.substr(0, 20000));
    ecrire("coupe_premiere.avi", deux.substr(0, SourceEntete::kPremiereLecture));
    ecrire("coupe_apres.avi", deux.substr(0, SourceEntete::kPremiereLecture + 1));
    return c;
}

} // namespace

TEST(LectureEntete, EntriesMatchTheWalkersReadingTheFileThemselves)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir dir;
    ContexteEntree parLeChemin;
    parLeChemin.sonde = sondeParLeChemin;
    for (const auto& [nom, chemin] : cas(dir)) {
        SCOPED_TRACE(nom);
        EXPECT_EQ(entreeJson(chemin), entreeJson(chemin, parLeChemin));

        // The container verdict, on the shared bytes and on the file.
        const SourceEntete source(chemin);
        ASSERT_TRUE(source.ouverte());
        std::optional<TAviParam> surFichier, enMemoire;
        try {
            surFichier.emplace(chemin);
        } catch (const FileError&) {
        }
        try {
            enMemoire.emplace(source);
        } catch (const FileError&) {
        }
        ASSERT_EQ(surFichier.has_value(), enMemoire.has_value());
        if (surFichier) {
            EXPECT_EQ(surFichier->valide, enMemoire->valide);
            EXPECT_EQ(surFichier->CodecVideo().str(), enMemoire->CodecVideo().str());
            EXPECT_EQ(surFichier->flux.size(), enMemoire->flux.size());
        }
        // The frame index (interrupted captures walk 'movi') from either.
        const AviDemuxer a = AviDemuxer::ouvrir(chemin);
        const AviDemuxer b(std::make_shared<const SourceEntete>(chemin));
        ASSERT_EQ(a.streams().size(), b.streams().size());
        for (size_t s = 0; s < a.streams().size(); ++s) {
            const auto fa = a.frameIndex(int(s)), fb = b.frameIndex(int(s));
            ASSERT_EQ(fa.size(), fb.size());
            for (size_t i = 0; i < fa.size(); ++i)
                EXPECT_TRUE(fa[i].offset == fb[i].offset && fa[i].size == fb[i].size) << "frame " << i;
        }
    }
}

TEST(LectureEntete, AnOrdinaryClipCostsOneOrTwoReads)
{
    KORVAN_REQUIRE_FIXTURES();
    // Headers and first frame in the first read; idx1's header at the end in the second.
    for (const char* nom : {"pal_t2_43.avi", "pal_t1_43.avi", "ntsc_t1_32k.avi", "pal_t1_plus_auds.avi"}) {
        SCOPED_TRACE(nom);
        const auto source = std::make_shared<const SourceEntete>(fixture(nom));
        ASSERT_TRUE(source->ouverte());
        const TAviParam verdict(*source);
        ASSERT_TRUE(verdict.valide);
        TResultatSonde r;
        ASSERT_TRUE(Sonder(source, r));
        EXPECT_LE(source->lectures(), 2);
    }
}

TEST(LectureEntete, BytesReadAreTheFileBytesAnywhere)
{
    KORVAN_REQUIRE_FIXTURES();
    const std::string chemin = fixture("pal_scenes_two.avi");
    const std::string tout = readWholeFile(chemin);
    const SourceEntete source(chemin);
    ASSERT_EQ(source.size(), int64_t(tout.size()));
    const int64_t premier = int64_t(SourceEntete::kPremiereLecture), bloc = int64_t(SourceEntete::kBloc);
    const int64_t taille = int64_t(tout.size());
    // Across the end of the first read, of a block, of the file; small and large reads.
    std::vector<std::pair<int64_t, size_t>> lectures = {
        {0, 12}, {premier - 4, 8}, {premier, 8}, {premier + 10, 4}, {premier + bloc - 2, 8},
        {premier + 2, size_t(bloc)}, {taille - 5, 16}, {taille, 4}, {taille + 100, 4}, {-8, 8},
        {1000, size_t(premier)}, {taille - 20000, 30000}};
    std::mt19937 alea(21);
    for (int i = 0; i < 200; ++i)
        lectures.emplace_back(int64_t(alea() % uint32_t(taille)), size_t(alea() % 9000));
    for (const auto& [position, n] : lectures) {
        SCOPED_TRACE(testing::Message() << position << " + " << n);
        std::string lu(n, '\x55');
        const size_t k = source.readAt(position, lu.data(), n);
        const size_t attendu = position < 0 || position >= taille ? 0 : std::min<size_t>(n, size_t(taille - position));
        ASSERT_EQ(k, attendu);
        if (k > 0)
            EXPECT_EQ(lu.substr(0, k), tout.substr(size_t(position), k));
    }
}

TEST(LectureEntete, OpenFailuresAreSaidAsBinaryFileSaysThem)
{
    ScratchDir dir;
    const std::string absent = dir.path("absent.avi");
    const std::string dossier = dir.path("dossier.avi");
    ASSERT_TRUE(QDir().mkpath(q(dossier)));
    const std::string fifo = dir.path("fifo.avi");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const std::string& chemin : {absent, dossier, fifo}) {
        SCOPED_TRACE(chemin);
        std::string attendu;
        try {
            BinaryFile f(chemin);
        } catch (const FileError& e) {
            attendu = e.what();
        }
        const SourceEntete source(chemin);
        EXPECT_FALSE(source.ouverte());
        EXPECT_EQ(source.messageErreur(), attendu);
        EXPECT_FALSE(attendu.empty());
        char octet;
        EXPECT_THROW(source.readAt(0, &octet, 1), FileError);
        // The entry is still built: an "Erreur" entry, or none for a folder.
        const TAfficherFichier e(q(chemin));
        EXPECT_EQ(e.erreurOuverture, attendu);
        EXPECT_EQ(e.existe, chemin == fifo);
        EXPECT_EQ(e.texteDatecode, "Erreur");
    }
}

// The file-system facts from the entry's one stat, against Qt's own reading
// of the same file (as the entry read them before), in a zone with summer
// time: the hour that comes twice, milliseconds, a read-only and a hidden file.
TEST(LectureEntete, FileFactsFromOneStatMatchQt)
{
    const QByteArray ancienTz = qgetenv("TZ");
    const bool avaitTz = qEnvironmentVariableIsSet("TZ");
    ::setenv("TZ", "Europe/Paris", 1);
    ::tzset();
    ScratchDir dir;
    struct Cas {
        const char* nom;
        int64_t secondes;
        long ns;
        mode_t mode;
    };
    const Cas table[] = {
        {"hiver.avi", 1'612'137'600, 999'999'999, 0644},   // 2021-02-01 00:00:00.999 UTC
        {"avant_ete.avi", 1'616'893'199, 500'000'000, 0644}, // 2021-03-28 00:59:59.5 UTC, last winter second
        {"ete.avi", 1'616'893'200, 0, 0444},                 // 2021-03-28 01:00:00 UTC, 03:00 local
        {"double_1.avi", 1'635'640'200, 1'000'000, 0644},   // 2021-10-31 00:30 UTC, 02:30 summer time
        {".double_2.avi", 1'635'643'800, 1'000'000, 0600},  // 2021-10-31 01:30 UTC, 02:30 winter time
        {"avant_1970.avi", -86'400 * 400 + 7, 250'000'000, 0644},
    };
    for (const Cas& c : table) {
        SCOPED_TRACE(c.nom);
        const std::string chemin = dir.path(c.nom);
        writeWholeFile(chemin, "RIFF");
        const timespec temps[2] = {{time_t(c.secondes - 3600), c.ns}, {time_t(c.secondes), c.ns}};
        ASSERT_EQ(::utimensat(AT_FDCWD, chemin.c_str(), temps, 0), 0);
        ASSERT_EQ(::chmod(chemin.c_str(), c.mode), 0);
        // Qt's view first: the entry's reading may move the access time.
        const QFileInfo info(q(chemin));
        const TDateTime modification = DateTimeDepuisQDateTime(info.lastModified());
        const TDateTime acces = DateTimeDepuisQDateTime(info.lastRead());
        QDateTime creation = info.birthTime();
        if (!creation.isValid()) {
            creation = info.lastModified();
            if (info.metadataChangeTime().isValid() && info.metadataChangeTime() < creation)
                creation = info.metadataChangeTime();
        }
        uint32_t attributs = faArchive;
        if (!info.permissions().testFlag(QFileDevice::WriteOwner))
            attributs |= faReadOnly;
        if (info.isHidden())
            attributs |= faHidden;
        const TAfficherFichier e(q(chemin));
        EXPECT_DOUBLE_EQ(e.dateModification, modification);
        EXPECT_DOUBLE_EQ(e.dateAcces, acces);
        EXPECT_DOUBLE_EQ(e.dateCreation, DateTimeDepuisQDateTime(creation));
        EXPECT_EQ(e.attributs, attributs);
        EXPECT_EQ(AttributsDeFichier(q(chemin)), attributs);
        EXPECT_EQ(e.taille(), info.size());
    }
    if (avaitTz)
        ::setenv("TZ", ancienTz.constData(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

// A listed folder answers what a stat of each name would: files, folders,
// links to something and to nothing, names absent, and names in folders
// that were not listed. The entry's scene-file flag comes out the same.
TEST(LectureEntete, AListedFolderAnswersAsAStatOfEachName)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir d;
    const std::string dossier = d.path("clips");
    ASSERT_EQ(::mkdir(dossier.c_str(), 0755), 0);
    const std::string autre = d.path("ailleurs");
    ASSERT_EQ(::mkdir(autre.c_str(), 0755), 0);
    writeWholeFile(dossier + "/a.scn", "x");
    writeWholeFile(autre + "/b.scn", "x");
    ASSERT_EQ(::mkdir((dossier + "/dossier.scn").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("a.scn", (dossier + "/lien.scn").c_str()), 0);
    ASSERT_EQ(::symlink("absent", (dossier + "/mort.scn").c_str()), 0);
    NomsDossiers noms;
    ASSERT_TRUE(noms.lister(dossier));
    EXPECT_FALSE(noms.lister(d.path("nulle part")));
    for (const std::string& chemin : {dossier + "/a.scn", dossier + "/A.scn", dossier + "/dossier.scn",
                                      dossier + "/lien.scn", dossier + "/mort.scn", dossier + "/rien.scn",
                                      autre + "/b.scn", autre + "/c.scn", d.path("nulle part/x.scn")}) {
        SCOPED_TRACE(chemin);
        EtatFichier etat;
        EXPECT_EQ(noms.existe(chemin), LireEtatFichier(chemin, etat));
    }
    ContexteEntree avecListe;
    avecListe.dossiers = std::make_shared<NomsDossiers>(noms);
    const std::string clip = dossier + "/a.avi";
    ASSERT_TRUE(QFile::copy(q(fixture("pal_t2_43.avi")), q(clip)));
    EXPECT_EQ(entreeJson(clip, avecListe), entreeJson(clip));
    EXPECT_EQ(TAfficherFichier(q(clip), avecListe).aScenes, true);
}
