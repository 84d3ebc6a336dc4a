// korvan-info --scenes: the scene lines of every DV fixture as expected.json
// lists them, several files, a file without frames, and no file written.
#include "support/fixtures.h"

#include <QDir>
#include <QJsonArray>
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
