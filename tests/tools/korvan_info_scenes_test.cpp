// korvan-info --scenes: the scene lines of every DV fixture as expected.json
// lists them, several files, a file without frames, and no file written.
#include "support/avi_odml.h"
#include "support/fixtures.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace korvan::test;

namespace {

SortieKorvanInfo scenes(const QStringList& args)
{
    return lancerKorvanInfo(QStringList{"--scenes"} + args);
}

} // namespace

TEST(KorvanInfoScenes, EachDVFixtureGivesItsExpectedSceneLines)
{
    KORVAN_REQUIRE_FIXTURES();
    const QJsonObject attendu = expectedFiles();
    int clips = 0;
    for (auto it = attendu.begin(); it != attendu.end(); ++it) {
        const QJsonObject sc = it.value().toObject().value("scenes").toObject();
        if (sc.isEmpty())
            continue;
        SCOPED_TRACE(it.key().toStdString());
        const SortieKorvanInfo s = scenes({QString::fromStdString(fixture(it.key().toStdString()))});
        ASSERT_EQ(s.code, 0) << s.erreurs.toStdString();
        QStringList voulues;
        for (const QJsonValue& v : sc.value("lignesTexte").toArray())
            voulues << v.toString();
        EXPECT_EQ(s.lignes(), voulues);
        ++clips;
    }
    EXPECT_GE(clips, 20);
}

TEST(KorvanInfoScenes, SeveralFilesFormatAndFilesWithoutFrames)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString deux = QString::fromStdString(fixture("pal_scenes_two.avi"));
    const QString vide = QString::fromStdString(fixture("empty.avi"));
    const SortieKorvanInfo s = scenes({"--format", "yyyymmdd_hh.nn.ss", deux, vide});
    EXPECT_EQ(s.code, 1) << "a file without frames";
    EXPECT_TRUE(s.erreurs.contains("empty.avi")) << s.erreurs.toStdString();
    EXPECT_EQ(s.lignes(), (QStringList{
                            "// ***   " + deux + "   ***",
                            "  1,00.00.00.00,00.00.00.15,20040714_10.31.05,00.05.00.00,00.00.00.16",
                            "  2,00.00.00.16,00.00.01.06,20040714_11.02.00,00.05.00.16,00.00.00.16",
                            "// ***   " + vide + "   ***",
                        }));
}

TEST(KorvanInfoScenes, WritesNoFileBesideTheClip)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir dossier;
    const std::string clip = dossier.copyFixture("pal_scenes_merge.avi");
    const SortieKorvanInfo s = scenes({QString::fromStdString(clip)});
    ASSERT_EQ(s.code, 0);
    EXPECT_EQ(s.lignes().size(), 3);
    EXPECT_EQ(QDir(QString::fromStdString(dossier.path(""))).entryList(QDir::Files),
              QStringList{"pal_scenes_merge.avi"});
}

// A capture cut inside frame 25 of its OpenDML extension, whose standard
// indexes were never written, reads as the complete clip of its 25 whole
// frames: the same scene lines and the same durations.
TEST(KorvanInfoScenes, AnInterruptedCaptureCountsEveryWholeFrame)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString ffprobe = QStandardPaths::findExecutable("ffprobe");
    if (ffprobe.isEmpty())
        GTEST_SKIP() << "ffprobe not installed";
    std::vector<OdmlStream> flux = streamsOf(korvan::AviDemuxer::ouvrir(fixture("pal_scenes_two.avi")));
    const std::string entier = buildOdml(flux, {12, 20}, true).contiguous();
    const auto images = korvan::AviDemuxer(std::make_shared<korvan::MemorySource>(entier.data(), entier.size())).frameIndex(0);
    ASSERT_EQ(images.size(), 32u);
    // The chunks are interleaved frame by frame: the cut leaves 25 of each stream.
    keepChunks(flux, 25);

    ScratchDir dossier;
    const std::string coupe = dossier.path("coupe.avi");
    const std::string complet = dossier.path("complet.avi");
    writeWholeFile(coupe, entier.substr(0, size_t(images[25].offset + 1000)));
    writeWholeFile(complet, buildOdml(flux, {12, 13}, true).contiguous());
    QProcess p;
    p.start(ffprobe, {"-v", "error", "-count_packets", "-select_streams", "v:0", "-show_entries", "stream=nb_read_packets",
                      "-of", "csv=p=0", QString::fromStdString(complet)});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), "25");

    const SortieKorvanInfo sc = scenes({QString::fromStdString(coupe)});
    ASSERT_EQ(sc.code, 0) << sc.erreurs.toStdString();
    EXPECT_EQ(sc.lignes(), scenes({QString::fromStdString(complet)}).lignes());
    EXPECT_EQ(sc.lignes().size(), 2);
    EXPECT_TRUE(sc.lignes().value(1).startsWith("  2,00.00.00.16,00.00.00.24,")) << sc.lignes().value(1).toStdString();

    const auto entree = [](const std::string& chemin) {
        const SortieKorvanInfo s = lancerKorvanInfo({QString::fromStdString(chemin)});
        return QJsonDocument::fromJson(s.sortie).object();
    };
    const QJsonObject a = entree(coupe);
    const QJsonObject b = entree(complet);
    for (const char* champ : {"texteDuree", "texteDureeAudio", "dureeVideo", "dureeAudio"}) {
        SCOPED_TRACE(champ);
        EXPECT_EQ(a.value(champ), b.value(champ));
    }
    EXPECT_EQ(a.value("texteDuree").toString(), "1s 00fr");
}
