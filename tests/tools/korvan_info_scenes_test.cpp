// korvan-info --scenes: the scene lines of every DV fixture as expected.json
// lists them, several files, a file without frames, and no file written.
#include "support/fixtures.h"

#include <QDir>
#include <QJsonArray>
#include <QProcess>
#include <gtest/gtest.h>

using namespace korvan::test;

namespace {

struct Sortie {
    int code = -1;
    QStringList lignes;
    QByteArray err;
};

Sortie scenes(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(KORVAN_BINARY_DIR "/tools/korvan-info"), QStringList{"--scenes"} + args);
    p.waitForFinished(60000);
    Sortie s{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, {}, p.readAllStandardError()};
    s.lignes = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
    if (!s.lignes.isEmpty() && s.lignes.last().isEmpty())
        s.lignes.removeLast();
    return s;
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
        const Sortie s = scenes({QString::fromStdString(fixture(it.key().toStdString()))});
        ASSERT_EQ(s.code, 0) << s.err.toStdString();
        QStringList voulues;
        for (const QJsonValue& v : sc.value("lignesTexte").toArray())
            voulues << v.toString();
        EXPECT_EQ(s.lignes, voulues);
        ++clips;
    }
    EXPECT_GE(clips, 20);
}

TEST(KorvanInfoScenes, SeveralFilesFormatAndFilesWithoutFrames)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString deux = QString::fromStdString(fixture("pal_scenes_two.avi"));
    const QString vide = QString::fromStdString(fixture("empty.avi"));
    const Sortie s = scenes({"--format", "yyyymmdd_hh.nn.ss", deux, vide});
    EXPECT_EQ(s.code, 1) << "a file without frames";
    EXPECT_TRUE(s.err.contains("empty.avi")) << s.err.toStdString();
    EXPECT_EQ(s.lignes, (QStringList{
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
    const Sortie s = scenes({QString::fromStdString(clip)});
    ASSERT_EQ(s.code, 0);
    EXPECT_EQ(s.lignes.size(), 3);
    EXPECT_EQ(QDir(QString::fromStdString(dossier.path(""))).entryList(QDir::Files),
              QStringList{"pal_scenes_merge.avi"});
}
