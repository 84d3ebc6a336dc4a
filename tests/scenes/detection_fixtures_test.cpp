// Scene runs over the shared DV clips: the scenes handed over, the scene file
// bytes and what its reader gives back, and the text export lines, all as
// expected.json lists them; and the preview moved at each break.
#include "aide_scenes.h"
#include "support/fixtures.h"

#include "analysis/chemins.h"
#include "scenes/CreerScenes.h"
#include "scenes/fichier_scn.h"
#include "scenes/lecture_scn.h"
#include "scenes/texte_scenes.h"

#include <QJsonArray>
#include <QStringList>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

std::vector<std::string> clipsAvecScenes()
{
    std::vector<std::string> noms;
    const QJsonObject attendu = expectedFiles();
    for (auto it = attendu.begin(); it != attendu.end(); ++it)
        if (it.value().toObject().contains("scenes"))
            noms.push_back(it.key().toStdString());
    return noms;
}

TSceneInfo sceneDeJson(const QJsonObject& o)
{
    TSceneInfo s;
    s.debut = o.value("debut").toInt();
    s.fin = o.value("fin").toInt();
    s.texteDatecodeScene = o.value("texteDatecodeScene").toString();
    s.texteTimecodeScene = o.value("texteTimecodeScene").toString();
    s.texteDebut = o.value("texteDebut").toString();
    s.texteFin = o.value("texteFin").toString();
    s.texteDureeScene = o.value("texteDureeScene").toString();
    return s;
}

std::string afficher(const TSceneInfo& s)
{
    return std::to_string(s.debut) + ".." + std::to_string(s.fin) + " [" + s.texteDatecodeScene.toStdString() + "|"
        + s.texteTimecodeScene.toStdString() + "|" + s.texteDebut.toStdString() + "|" + s.texteFin.toStdString() + "|"
        + s.texteDureeScene.toStdString() + "]";
}

// A fixture copied into a scratch folder (its scene file is written beside
// it), with its entry; fpsCourant follows the entry as the preview sets it.
struct Clip {
    ScratchDir dossier;
    std::string chemin;
    TAfficherFichier entree;

    explicit Clip(const std::string& nom)
        : chemin(dossier.copyFixture(nom)), entree(QString::fromStdString(chemin))
    {
        fpsCourant = entree.fps;
    }
    ~Clip() { fpsCourant = 0; }
};

class ScenesDesClips : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override
    {
        KORVAN_REQUIRE_FIXTURES();
        attendu_ = expectedFiles().value(QString::fromStdString(GetParam())).toObject().value("scenes").toObject();
    }
    QJsonObject attendu_;
};

} // namespace

// Without the shared fixtures there are no clips to run over: no cases, not a failure.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ScenesDesClips);

TEST_P(ScenesDesClips, ScenesHandedOverMatchExpected)
{
    Clip clip(GetParam());
    Enregistreur r;
    EXPECT_EQ(DetecterScenes(clip.entree, r.routines()), IssueDetection::Complete);
    EXPECT_EQ(r.debuts, 1);
    EXPECT_EQ(r.fins, 1);
    const QJsonArray liste = attendu_.value("list").toArray();
    ASSERT_EQ(r.scenes.size(), size_t(liste.size()));
    for (qsizetype i = 0; i < liste.size(); ++i)
        EXPECT_EQ(afficher(r.scenes[size_t(i)]), afficher(sceneDeJson(liste[i].toObject()))) << "scene " << i;
}

TEST_P(ScenesDesClips, SceneFileBytesAndReaderMatchExpected)
{
    Clip clip(GetParam());
    ASSERT_EQ(DetecterScenes(clip.entree, RoutinesScenesFichier()), IssueDetection::Complete);
    const QJsonObject scn = attendu_.value("scn").toObject();
    std::vector<EnregistrementScn> suite;
    for (const QJsonValue& v : scn.value("records").toArray())
        suite.push_back({v.toObject().value("S").toInt(), v.toObject().value("N").toInt()});
    const int compte = scn.value("count").toInt();
    const int32_t e = scn.value("E").toInt();

    const QString cheminScn = CheminFichierScn(clip.entree.chemin);
    EXPECT_EQ(readWholeFile(CheminLocal(cheminScn)), scnAttendu(CheminLocal(clip.entree.chemin), uint16_t(compte), e, suite));

    LecteurScn lecteur;
    ASSERT_TRUE(lecteur.LireEnteteScn(cheminScn));
    EXPECT_EQ(lecteur.nombre(), compte);
    EXPECT_EQ(lecteur.premiereLimite(), e);
    for (const auto& r : suite) {
        int32_t s = -1;
        ASSERT_TRUE(lecteur.LireSceneSuivante(s));
        EXPECT_EQ(s, r.S);
    }
    int32_t rien = 0;
    EXPECT_FALSE(lecteur.LireSceneSuivante(rien));
}

TEST_P(ScenesDesClips, TextExportLinesMatchExpected)
{
    Clip clip(GetParam());
    ASSERT_EQ(DetecterScenes(clip.entree, RoutinesScenesTexte()), IssueDetection::Complete);
    const std::string texte = readWholeFile(CheminLocal(CheminTexteScenes(clip.entree.chemin)));
    QStringList lignes = QString::fromUtf8(texte).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lignes.takeLast(), QString()) << "the file ends with CR LF";
    const QJsonArray attendues = attendu_.value("lignesTexte").toArray();
    ASSERT_EQ(lignes.size(), 11 + attendues.size() + 5);
    for (qsizetype i = 0; i < attendues.size(); ++i)
        EXPECT_EQ(lignes[11 + i], attendues[i].toString());
    EXPECT_EQ(lignes[3], QStringLiteral("// ***   ") + clip.entree.chemin.toLower() + QStringLiteral("   ***"));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ScenesDesClips, ::testing::ValuesIn(clipsAvecScenes()),
                         [](const auto& info) {
                             std::string nom = info.param.substr(0, info.param.find('.'));
                             for (char& c : nom)
                                 if (!isalnum(uchar(c)))
                                     c = '_';
                             return nom;
                         });

TEST(ScenesApercu, ThePreviewShowsEachBreakThenTheEnd)
{
    KORVAN_REQUIRE_FIXTURES();
    Clip clip("pal_scenes_merge.avi");
    ApercuEnregistre apercu;
    ASSERT_EQ(DetecterScenes(clip.entree, {}), IssueDetection::Complete);
    // A break at frame 0 depends on the previous run's last frame; the rest
    // are the recordings' first frames (the merged one's too), then the end.
    std::vector<int32_t> positions = apercu.positions;
    if (!positions.empty() && positions.front() == 0)
        positions.erase(positions.begin());
    EXPECT_EQ(positions, (std::vector<int32_t>{13, 19, 33, 41}));
    EXPECT_EQ(apercu.fins, 1);
}

TEST(ScenesClipsNonDV, AClipWithoutDVFramesIsOneSceneWithoutDatecode)
{
    KORVAN_REQUIRE_FIXTURES();
    Clip clip("mjpeg_pcm.avi");
    Enregistreur r;
    ASSERT_EQ(DetecterScenes(clip.entree, r.routines()), IssueDetection::Complete);
    ASSERT_EQ(r.scenes.size(), 1u);
    EXPECT_EQ(r.scenes[0].debut, 0);
    EXPECT_EQ(r.scenes[0].fin, 24);
    EXPECT_EQ(r.scenes[0].texteDatecodeScene, QString());
    EXPECT_EQ(r.scenes[0].texteTimecodeScene, QString());
}

TEST(ScenesClipsNonDV, UnreadableFilesGiveNoSceneAndStillEndTheOutput)
{
    KORVAN_REQUIRE_FIXTURES();
    for (const char* nom : {"not_riff.avi", "empty.avi", "seven_bytes.avi", "pcm_audio_only.avi"}) {
        SCOPED_TRACE(nom);
        Clip clip(nom);
        Enregistreur r;
        const IssueDetection issue = DetecterScenes(clip.entree, r.routines(RoutinesScenesFichier()));
        if (std::string(nom) == "pcm_audio_only.avi") {
            // Its first stream is sound: chunks without DV packs, one scene.
            EXPECT_EQ(issue, IssueDetection::Complete);
            EXPECT_EQ(r.scenes.size(), 1u);
            continue;
        }
        EXPECT_EQ(issue, IssueDetection::Echec);
        EXPECT_TRUE(r.scenes.empty());
        EXPECT_EQ(r.fins, 1);
        // The scene file holds its headers and a count of 0.
        EXPECT_EQ(readWholeFile(CheminLocal(CheminFichierScn(clip.entree.chemin))),
                  scnAttendu(CheminOctetsScn(clip.entree.chemin), 0, 0, {}));
    }
}
