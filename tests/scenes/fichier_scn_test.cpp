// The scene file writer byte for byte, its limits and failures, and the
// reader and scene stepping on whole, cut and garbage files.
#include "aide_scenes.h"
#include "support/fixtures.h"

#include "analysis/chemins.h"
#include "fuzz_scenes.h"
#include "scenes/fichier_scn.h"
#include "scenes/lecture_scn.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvan;
using namespace korvan::test;

namespace {

TSceneInfo scene(int32_t debut, int32_t fin)
{
    TSceneInfo s;
    s.debut = debut;
    s.fin = fin;
    return s;
}

// The routines of CreerScenes as a run calls them.
std::string ecrireScn(const TAfficherFichier& entree, const std::vector<TSceneInfo>& scenes, bool* ok = nullptr)
{
    compteurScenes = 0;
    bool ouvert = false;
    OuvrirScn(entree, ouvert);
    if (ok)
        *ok = ouvert;
    for (const auto& s : scenes)
        EcrireSceneScn(s);
    FermerScn();
    const std::string chemin = CheminLocal(CheminFichierScn(entree.chemin));
    return fileExists(chemin) ? readWholeFile(chemin) : std::string();
}

// What stepping must give from a list of scene starts (after frame 0).
int64_t suivanteAttendue(const std::vector<int32_t>& limites, int64_t courante, int64_t duree)
{
    for (int32_t b : limites)
        if (b > courante)
            return b;
    return duree;
}

int64_t precedenteAttendue(const std::vector<int32_t>& limites, int64_t courante)
{
    int64_t p = 0;
    for (int32_t b : limites)
        if (b < courante)
            p = b;
    return p;
}

} // namespace

TEST(EcritureScn, ThreeScenesGiveTheHeadersAFirstRecordAndTwoFullRecords)
{
    ScratchDir dossier;
    const TAfficherFichier entree(QString::fromStdString(dossier.path("clip.avi")));
    const std::string chemin = CheminLocal(entree.chemin);
    EXPECT_EQ(ecrireScn(entree, {scene(0, 15), scene(16, 31), scene(32, 50)}),
              scnAttendu(chemin, 3, 16, {{16, 16}, {32, 19}}));
    // A single scene: its record's boundary is the end of the clip.
    EXPECT_EQ(ecrireScn(entree, {scene(0, 41)}), scnAttendu(chemin, 1, 42, {}));
    // No scene at all: the headers with a count of 0.
    EXPECT_EQ(ecrireScn(entree, {}), scnAttendu(chemin, 0, 0, {}));
}

TEST(EcritureScn, AStoredSceneEndingAtFrameZeroIsNotWritten)
{
    ScratchDir dossier;
    const TAfficherFichier entree(QString::fromStdString(dossier.path("clip.avi")));
    EXPECT_EQ(ecrireScn(entree, {scene(0, 0), scene(0, 20), scene(21, 30)}),
              scnAttendu(CheminLocal(entree.chemin), 2, 21, {{21, 10}}));
}

TEST(EcritureScn, AtMost32767RecordsAreWrittenAndCounted)
{
    ScratchDir dossier;
    const TAfficherFichier entree(QString::fromStdString(dossier.path("long.avi")));
    std::vector<TSceneInfo> scenes;
    for (int32_t i = 0; i < kMaxScenesScn + 3; ++i)
        scenes.push_back(scene(i * 20, i * 20 + 19));
    const std::string octets = ecrireScn(entree, scenes);
    const size_t lp = CheminLocal(entree.chemin).size();
    ASSERT_EQ(octets.size(), 65 + lp + 23 + lp + size_t(kMaxScenesScn - 1) * 35);
    EXPECT_EQ(lireU16(reinterpret_cast<const uint8_t*>(octets.data()) + 33 + lp), kMaxScenesScn);

    LecteurScn lecteur;
    ASSERT_TRUE(lecteur.LireEnteteScn(CheminFichierScn(entree.chemin)));
    EXPECT_EQ(lecteur.nombre(), kMaxScenesScn);
    int32_t s = 0;
    for (int i = 1; i < kMaxScenesScn; ++i)
        ASSERT_TRUE(lecteur.LireSceneSuivante(s));
    EXPECT_EQ(s, (kMaxScenesScn - 1) * 20);
    EXPECT_FALSE(lecteur.LireSceneSuivante(s));
}

TEST(EcritureScn, ThePathIsCutTo255BytesBetweenCharacters)
{
    const QString dossier = QStringLiteral("/v/");
    // 3 + 251 ASCII bytes, then "é" (2 bytes) across the 255th byte.
    const QString long254 = dossier + QString(251, QLatin1Char('a'));
    EXPECT_EQ(CheminOctetsScn(long254 + QStringLiteral("é.avi")), CheminLocal(long254));
    const QString exact255 = dossier + QString(250, QLatin1Char('a')) + QStringLiteral("é");
    EXPECT_EQ(CheminOctetsScn(exact255).size(), 255u);
    EXPECT_EQ(CheminOctetsScn(exact255 + QStringLiteral(".avi")).size(), 255u);
    EXPECT_EQ(CheminOctetsScn(QStringLiteral("/v/clip.avi")), "/v/clip.avi");

    // The file beside such a clip stores the cut path in both places.
    ScratchDir d;
    const QString base = QString::fromStdString(d.path(""));
    const QString nom = base + QString(int(250 - CheminLocal(base).size()), QLatin1Char('b')) + QStringLiteral("ééé.avi");
    ASSERT_GT(CheminLocal(nom).size(), 255u);
    const TAfficherFichier entree(nom);
    const std::string coupe = CheminOctetsScn(nom);
    ASSERT_LE(coupe.size(), 255u);
    ASSERT_TRUE(QString::fromUtf8(coupe.data(), qsizetype(coupe.size())).toUtf8().toStdString() == coupe);
    EXPECT_EQ(ecrireScn(entree, {scene(0, 15), scene(16, 40)}), scnAttendu(coupe, 2, 16, {{16, 25}}));
}

TEST(EcritureScn, AnExistingSceneFileIsReplaced)
{
    ScratchDir dossier;
    const TAfficherFichier entree(QString::fromStdString(dossier.path("clip.avi")));
    const std::string scn = CheminLocal(CheminFichierScn(entree.chemin));
    writeWholeFile(scn, std::string(5000, 'x'));
    EXPECT_EQ(ecrireScn(entree, {scene(0, 20)}), scnAttendu(CheminLocal(entree.chemin), 1, 21, {}));
}

TEST(EcritureScn, WhenTheFileCannotBeCreatedNothingIsLeftAndTheRoutinesDoNothing)
{
    ScratchDir dossier;
    // A folder where the scene file would go is not deleted.
    const TAfficherFichier dansDossier(QString::fromStdString(dossier.path("dossier.avi")));
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(dossier.path("dossier.scn"))));
    bool ok = true;
    ecrireScn(dansDossier, {scene(0, 20)}, &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(QDir(QString::fromStdString(dossier.path("dossier.scn"))).exists());

    // A folder that does not exist.
    const TAfficherFichier absent(QString::fromStdString(dossier.path("absent/clip.avi")));
    EXPECT_EQ(ecrireScn(absent, {scene(0, 20)}, &ok), std::string());
    EXPECT_FALSE(ok);

    // Routines called with nothing open change nothing.
    compteurScenes = 0;
    EcrireSceneScn(scene(0, 20));
    FermerScn();
    EXPECT_EQ(compteurScenes, 0);
}

TEST(EcritureScn, AReadOnlyFolderLeavesNoFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    ScratchDir dossier;
    const std::string ro = dossier.path("ro");
    ASSERT_EQ(::mkdir(ro.c_str(), 0555), 0);
    const TAfficherFichier entree(QString::fromStdString(ro + "/clip.avi"));
    bool ok = true;
    EXPECT_EQ(ecrireScn(entree, {scene(0, 20)}, &ok), std::string());
    EXPECT_FALSE(ok);
    ::chmod(ro.c_str(), 0755);
}

TEST(LectureScn, EveryCutOfAFileGivesAPrefixOfItsBoundariesAndStepsWithinThem)
{
    ScratchDir dossier;
    const TAfficherFichier entree(QString::fromStdString(dossier.path("clip.avi")));
    const std::string entier = ecrireScn(entree, {scene(0, 12), scene(13, 32), scene(33, 49), scene(50, 60)});
    const std::vector<int32_t> limites = {13, 33, 50};
    const int64_t duree = 61;
    for (size_t n = 0; n <= entier.size(); ++n) {
        SCOPED_TRACE("cut at " + std::to_string(n));
        const auto source = std::make_shared<MemorySource>(entier.data(), n);
        LecteurScn lecteur(source);
        if (!lecteur.LireEnteteScn()) {
            EXPECT_EQ(CibleSceneSuivante(lecteur, 0, duree), std::nullopt) << "nothing moves";
            continue;
        }
        // The header's last read is the first record's path length, byte 75 + Lp.
        EXPECT_GE(n, 76 + CheminLocal(entree.chemin).size());
        std::vector<int32_t> lues = {lecteur.premiereLimite()};
        int32_t s = 0;
        while (lecteur.LireSceneSuivante(s))
            lues.push_back(s);
        // 13 is both the first record's E and the second's S.
        ASSERT_LE(lues.size(), 4u);
        EXPECT_EQ(lues[0], 13);
        for (size_t i = 1; i < lues.size(); ++i)
            EXPECT_EQ(lues[i], (std::vector<int32_t>{13, 13, 33, 50})[i]);
        std::vector<int32_t> connues(lues.begin(), lues.end());
        for (int64_t cur = 0; cur <= duree; ++cur) {
            EXPECT_EQ(CibleSceneSuivante(lecteur, cur, duree), suivanteAttendue(connues, cur, duree)) << cur;
            EXPECT_EQ(CibleScenePrecedente(lecteur, cur, duree), precedenteAttendue(connues, cur)) << cur;
        }
    }
}

TEST(LectureScn, SteppingOnAWholeFileGoesFromSceneToScene)
{
    ScratchDir dossier;
    const TAfficherFichier entree(QString::fromStdString(dossier.path("clip.avi")));
    ecrireScn(entree, {scene(0, 12), scene(13, 32), scene(33, 40)});
    const QString scn = CheminFichierScn(entree.chemin);
    EXPECT_EQ(CibleSceneSuivante(scn, 0, 41), 13);
    EXPECT_EQ(CibleSceneSuivante(scn, 13, 41), 33);
    EXPECT_EQ(CibleSceneSuivante(scn, 33, 41), 41) << "past the last start: the end";
    EXPECT_EQ(CibleScenePrecedente(scn, 41, 41), 33);
    EXPECT_EQ(CibleScenePrecedente(scn, 33, 41), 13);
    EXPECT_EQ(CibleScenePrecedente(scn, 13, 41), 0);
    EXPECT_EQ(CibleSceneSuivante(QString::fromStdString(dossier.path("absent.scn")), 0, 41), std::nullopt);
    EXPECT_EQ(CibleScenePrecedente(QString::fromStdString(dossier.path("absent.scn")), 41, 41), std::nullopt);
}

TEST(LectureScn, GarbageNeverLeavesTheClip)
{
    // Boundaries out of the clip, a huge count over two records, a path
    // length beyond the end.
    std::string s = scnAttendu("/c.avi", 3, -50, {{5000, 1}});
    s[33 + 6] = char(0xFF);
    s[33 + 6 + 1] = char(0xFF);
    const auto source = std::make_shared<MemorySource>(s.data(), s.size());
    LecteurScn lecteur(source);
    EXPECT_EQ(CibleSceneSuivante(lecteur, 0, 100), 100);
    EXPECT_EQ(CibleScenePrecedente(lecteur, 100, 100), 0);
    EXPECT_TRUE(fuzz::fuzzLecteurScn(reinterpret_cast<const uint8_t*>(s.data()), s.size()));

    std::string lpTropLong = scnAttendu("/c.avi", 2, 10, {{10, 5}});
    lpTropLong[24] = char(0xFF);
    EXPECT_TRUE(fuzz::fuzzLecteurScn(reinterpret_cast<const uint8_t*>(lpTropLong.data()), lpTropLong.size()));
    LecteurScn l2(std::make_shared<MemorySource>(lpTropLong.data(), lpTropLong.size()));
    EXPECT_FALSE(l2.LireEnteteScn());
}

TEST(LectureScn, TheFuzzBodyHoldsOnCutsFlipsAndRandomBytes)
{
    ScratchDir dossier;
    const TAfficherFichier entree(QString::fromStdString(dossier.path("clip.avi")));
    const std::string entier = ecrireScn(entree, {scene(0, 12), scene(13, 32), scene(33, 49)});
    const auto essayer = [](const std::string& b) {
        return fuzz::fuzzLecteurScn(reinterpret_cast<const uint8_t*>(b.data()), b.size());
    };
    for (size_t n = 0; n <= entier.size(); ++n)
        ASSERT_TRUE(essayer(entier.substr(0, n))) << "cut at " << n;
    std::mt19937 aleas(4);
    for (int i = 0; i < 2000; ++i) {
        std::string abime = entier;
        for (int k = 0; k < 4; ++k)
            abime[aleas() % abime.size()] = char(aleas());
        ASSERT_TRUE(essayer(abime)) << "flips, round " << i;
        std::string bruit(aleas() % 400, '\0');
        for (char& c : bruit)
            c = char(aleas());
        ASSERT_TRUE(essayer(bruit)) << "random bytes, round " << i;
    }
}
