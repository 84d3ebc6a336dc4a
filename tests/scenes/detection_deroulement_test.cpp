// How a scene run goes: Esc, routines that refuse or fail, the progress the
// runner's gauge reads, a second run started from inside the first, and
// frames that cannot be read.
#include "aide_scenes.h"
#include "support/fixtures.h"

#include "analysis/chemins.h"
#include "platform/etat_programme.h"
#include "scenes/CreerScenes.h"
#include "scenes/fichier_scn.h"
#include "scenes/lecture_scn.h"
#include "scenes/texte_scenes.h"

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include <unistd.h>
#include <stdexcept>

using namespace korvan;
using namespace korvan::test;

namespace {

// The frames of a real clip, with faults: Esc pressed when a given frame is
// read, frames that come back empty or fail to read.
class SourceTruquee : public SourceImagesDV {
public:
    SourceTruquee(const QString& chemin) : source_(SourceImagesAvi(chemin)) {}

    bool ouvrir() override
    {
        if (temoinOuverture)
            *temoinOuverture = true;
        return source_->ouvrir();
    }
    int64_t nombreImages() const override { return source_->nombreImages(); }
    size_t lirePacks(int64_t i, uint8_t* tampon) override
    {
        if (i == echapA)
            abandonDemande = true;
        if (i == fauteA && faute)
            faute();
        if (vides.count(i))
            return 0;
        if (illisibles.count(i))
            throw FileError("frame " + std::to_string(i), EIO);
        return source_->lirePacks(i, tampon);
    }

    int64_t echapA = -1;
    int64_t fauteA = -1;         // frame at which faute() strikes the file
    std::function<void()> faute;
    std::set<int64_t> vides;
    std::set<int64_t> illisibles;
    bool* temoinOuverture = nullptr; // outlives the source, which the run destroys

private:
    std::unique_ptr<SourceImagesDV> source_;
};

struct Clip {
    ScratchDir dossier;
    TAfficherFichier entree;

    explicit Clip(const std::string& nom) : entree(QString::fromStdString(dossier.copyFixture(nom)))
    {
        fpsCourant = entree.fps;
    }
    ~Clip()
    {
        fpsCourant = 0;
        abandonDemande = false;
    }
    std::unique_ptr<SourceTruquee> source() const { return std::make_unique<SourceTruquee>(entree.chemin); }
};

} // namespace

TEST(DetectionEchap, EscKeepsTheScenesFoundSoFarWithACorrectCountAndNoLastScene)
{
    KORVAN_REQUIRE_FIXTURES();
    Clip clip("pal_scenes_merge.avi"); // recordings at 0, 13, 19, 33; 41 frames
    auto source = clip.source();
    source->echapA = 35;
    Enregistreur r;
    ApercuEnregistre apercu;
    EXPECT_EQ(DetecterScenes(clip.entree, r.routines(RoutinesScenesFichier()), std::move(source)),
              IssueDetection::Abandon);
    ASSERT_EQ(r.scenes.size(), 2u);
    EXPECT_EQ(r.scenes[1].fin, 32);
    EXPECT_EQ(r.fins, 1);
    EXPECT_EQ(apercu.fins, 0) << "an aborted run does not show its end";
    EXPECT_EQ(readWholeFile(CheminLocal(CheminFichierScn(clip.entree.chemin))),
              scnAttendu(CheminOctetsScn(clip.entree.chemin), 2, 13, {{13, 20}}));
    EXPECT_FALSE(chargementEnCours.load());
}

TEST(DetectionEchap, AnAbortedTextExportStillEndsWithItsFooter)
{
    KORVAN_REQUIRE_FIXTURES();
    Clip clip("pal_scenes_merge.avi");
    auto source = clip.source();
    source->echapA = 20;
    EXPECT_EQ(DetecterScenes(clip.entree, RoutinesScenesTexte(), std::move(source)), IssueDetection::Abandon);
    QStringList lignes = QString::fromUtf8(readWholeFile(CheminLocal(CheminTexteScenes(clip.entree.chemin))))
                             .split(QStringLiteral("\r\n"));
    lignes.removeLast();
    ASSERT_EQ(lignes.size(), 11 + 1 + 5);
    EXPECT_EQ(lignes[11], QStringLiteral("  1,00.00.00.00,00.00.00.12,01/08/2004 14:00:00,01.00.00.00,00.00.00.13"));
    EXPECT_TRUE(lignes[14].startsWith(QStringLiteral("// Terminé le "))) << lignes[14].toStdString();
    EXPECT_EQ(lignes[16], QStringLiteral("//"));
}

TEST(DetectionRoutines, ARefusedStartReadsNoFrameAndStillEnds)
{
    KORVAN_REQUIRE_FIXTURES();
    Clip clip("pal_scenes_two.avi");
    auto source = clip.source();
    bool ouvert = false;
    source->temoinOuverture = &ouvert;
    Enregistreur r;
    r.accepter = false;
    EXPECT_EQ(DetecterScenes(clip.entree, r.routines(), std::move(source)), IssueDetection::Echec);
    EXPECT_FALSE(ouvert);
    EXPECT_EQ(r.debuts, 1);
    EXPECT_TRUE(r.scenes.empty());
    EXPECT_EQ(r.fins, 1);
}

TEST(DetectionRoutines, ASceneRoutineThatFailsEndsTheRunWithoutALastScene)
{
    KORVAN_REQUIRE_FIXTURES();
    Clip clip("pal_scenes_merge.avi");
    Enregistreur r;
    r.pendantScene = [](const TSceneInfo&) { throw FileError("disque plein", ENOSPC); };
    EXPECT_EQ(DetecterScenes(clip.entree, r.routines()), IssueDetection::Echec);
    EXPECT_EQ(r.scenes.size(), 1u);
    EXPECT_EQ(r.fins, 1);
    EXPECT_FALSE(chargementEnCours.load());
    EXPECT_EQ(progressionConversion.load(), nullptr);
}

TEST(DetectionRoutines, TheRunIsMarkedAndItsProgressReadableWhileItGoes)
{
    KORVAN_REQUIRE_FIXTURES();
    Clip clip("pal_scenes_merge.avi");
    Enregistreur r;
    bool chargementAuDebut = false;
    std::vector<std::pair<int64_t, int64_t>> progression;
    TRoutinesScenes suivantes;
    suivantes.RoutineDebut = [&](const TAfficherFichier&, bool& ok) {
        chargementAuDebut = chargementEnCours.load();
        ok = true;
    };
    r.pendantScene = [&](const TSceneInfo&) {
        const ISuiviPosition* p = progressionConversion.load();
        progression.emplace_back(p ? p->positionCourante() : -1, dureeConversion.load());
    };
    ASSERT_EQ(DetecterScenes(clip.entree, r.routines(suivantes)), IssueDetection::Complete);
    EXPECT_TRUE(chargementAuDebut);
    ASSERT_EQ(progression.size(), 3u);
    for (const auto& [position, duree] : progression) {
        EXPECT_EQ(duree, 41);
        EXPECT_GE(position, 1);
        EXPECT_LE(position, 41);
    }
    // The last scene is handed over once every frame was examined.
    EXPECT_EQ(progression.back().first, 41);
    EXPECT_EQ(progressionConversion.load(), nullptr);
    EXPECT_FALSE(chargementEnCours.load());
}

TEST(DetectionRoutines, ARunStartedInsideARunIsTurnedAway)
{
    KORVAN_REQUIRE_FIXTURES();
    Clip clip("pal_scenes_two.avi");
    Enregistreur dehors;
    Enregistreur dedans;
    std::vector<IssueDetection> issues;
    dehors.pendantScene = [&](const TSceneInfo&) { issues.push_back(DetecterScenes(clip.entree, dedans.routines())); };
    ASSERT_EQ(DetecterScenes(clip.entree, dehors.routines()), IssueDetection::Complete);
    EXPECT_EQ(issues, (std::vector<IssueDetection>{IssueDetection::Refusee, IssueDetection::Refusee}));
    EXPECT_EQ(dedans.debuts + dedans.fins + int(dedans.scenes.size()), 0);
    // And once it is over, a new run goes through.
    EXPECT_EQ(DetecterScenes(clip.entree, dedans.routines()), IssueDetection::Complete);
}

TEST(DetectionImages, EmptyOrUnreadableFramesDoNotSplitARecording)
{
    KORVAN_REQUIRE_FIXTURES();
    Clip clip("pal_t2_43.avi"); // one recording of 30 frames
    auto source = clip.source();
    source->vides = {15};
    source->illisibles = {16, 29};
    Enregistreur r;
    ASSERT_EQ(DetecterScenes(clip.entree, r.routines(), std::move(source)), IssueDetection::Complete);
    ASSERT_EQ(r.scenes.size(), 1u);
    EXPECT_EQ(r.scenes[0].debut, 0);
    EXPECT_EQ(r.scenes[0].fin, 29) << "frames that could not be read still count";
}

// The clip deleted or cut short while its scenes are being found: the run
// ends, the open file still reads whole when deleted, and a cut leaves
// unreadable frames that split nothing. The clip, twenty copies of a clip
// of four recordings end to end, is longer than the reads kept in flight.
TEST(DetectionImages, AClipDeletedOrCutDuringTheRunStillEndsWithTheScenesItHolds)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir d;
    const std::string modele = d.path("vingt.avi");
    ASSERT_EQ(QProcess::execute("ffmpeg", {"-hide_banner", "-loglevel", "error", "-y", "-stream_loop", "19", "-i",
                                           QString::fromStdString(fixture("pal_scenes_merge.avi")), "-c", "copy",
                                           QString::fromStdString(modele)}),
              0);
    const auto detecter = [&](const std::string& nom, int64_t fauteA, std::function<void(const std::string&)> faute) {
        const std::string chemin = d.path(nom);
        writeWholeFile(chemin, readWholeFile(modele));
        const TAfficherFichier entree(QString::fromStdString(chemin));
        fpsCourant = entree.fps;
        auto source = std::make_unique<SourceTruquee>(entree.chemin);
        source->fauteA = fauteA;
        source->faute = [=] { faute(chemin); };
        Enregistreur r;
        EXPECT_EQ(DetecterScenes(entree, r.routines(), std::move(source)), IssueDetection::Complete);
        EXPECT_EQ(r.fins, 1);
        fpsCourant = 0;
        std::vector<std::pair<int64_t, int64_t>> b;
        for (const TSceneInfo& s : r.scenes)
            b.emplace_back(s.debut, s.fin);
        return b;
    };
    const auto reference = detecter("reference.avi", -1, {});
    ASSERT_GT(reference.size(), 20u);
    const int64_t derniere = reference.back().second;

    const auto supprime = detecter("supprime.avi", 30, [](const std::string& c) { ASSERT_EQ(::unlink(c.c_str()), 0); });
    EXPECT_EQ(supprime, reference);

    // Cut in the seventeenth copy, past the reads in flight at frame 10 (five
    // lots of 128 frames at most): what lies beyond reads as nothing and
    // starts no scene.
    const int64_t coupe = 16 * 41 + 20;
    const auto coupes = detecter("coupe.avi", 10, [&](const std::string& c) {
        ASSERT_EQ(::truncate(c.c_str(), 16384 + coupe * 144000), 0);
    });
    ASSERT_FALSE(coupes.empty());
    ASSERT_LT(coupes.size(), reference.size());
    for (size_t k = 0; k + 1 < coupes.size(); ++k)
        EXPECT_EQ(coupes[k], reference[k]);
    EXPECT_EQ(coupes.back().first, reference[coupes.size() - 1].first);
    EXPECT_LE(coupes.back().first, coupe);
    EXPECT_EQ(coupes.back().second, derniere);
}

TEST(DetectionImages, WithoutFrameRateThePositionsAreZeroTexts)
{
    KORVAN_REQUIRE_FIXTURES();
    Clip clip("pal_scenes_two.avi");
    fpsCourant = 0;
    Enregistreur r;
    ASSERT_EQ(DetecterScenes(clip.entree, r.routines()), IssueDetection::Complete);
    ASSERT_EQ(r.scenes.size(), 2u);
    for (const TSceneInfo& s : r.scenes)
        for (const QString& t : {s.texteDebut, s.texteFin, s.texteDureeScene})
            EXPECT_EQ(t, QStringLiteral("0:00:00:00"));
}
