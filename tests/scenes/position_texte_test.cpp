// Frame numbers as position texts, and the texts of a scene.
#include "scenes/CreerScenes.h"

#include <gtest/gtest.h>

using namespace korvan;

TEST(PositionEnTexte, HoursMinutesSecondsAndFramesAtTheRateOnDisplay)
{
    fpsCourant = 25.0;
    EXPECT_EQ(PositionEnTexte(0), QStringLiteral("00.00.00.00"));
    EXPECT_EQ(PositionEnTexte(1512), QStringLiteral("00.01.00.12"));
    EXPECT_EQ(PositionEnTexte(90000 + 25 * 61 + 3), QStringLiteral("01.01.01.03"));
    fpsCourant = 29.97;
    EXPECT_EQ(PositionEnTexte(29), QStringLiteral("00.00.00.29"));
    EXPECT_EQ(PositionEnTexte(30), QStringLiteral("00.00.01.00")); // 0.03 of a frame rounds away
    fpsCourant = 0;
}

TEST(PositionEnTexte, LeftoverHalfFramesRoundToEven)
{
    // At 2.5 fps, frame 3 is 1 s + 0.5 frame and frame 4 is 1 s + 1.5 frames.
    EXPECT_EQ(PositionEnTexte(3, 2.5), QStringLiteral("00.00.01.00"));
    EXPECT_EQ(PositionEnTexte(4, 2.5), QStringLiteral("00.00.01.02"));
}

TEST(PositionEnTexte, WithoutFrameRateEveryPositionIsZero)
{
    fpsCourant = 0;
    for (int32_t image : {0, 1, 1512, 2'000'000'000})
        EXPECT_EQ(PositionEnTexte(image), QStringLiteral("0:00:00:00"));
    EXPECT_EQ(PositionEnTexte(10, -25.0), QStringLiteral("0:00:00:00"));
    EXPECT_EQ(PositionEnTexte(10, std::nan("")), QStringLiteral("0:00:00:00"));
}

TEST(SceneInfoDepuis, TextsOfAScene)
{
    TDateTime d = 0;
    ASSERT_TRUE(EncodeDateTime(2004, 7, 14, 10, 31, 5, 0, d));
    const TSceneInfo s = SceneInfoDepuis(SceneBrute{0, 1512, d, QStringLiteral("00.12.31.02")}, 25.0,
                                         QStringLiteral("dd/mm/yyyy hh:nn:ss"));
    EXPECT_EQ(s.debut, 0);
    EXPECT_EQ(s.fin, 1512);
    EXPECT_EQ(s.texteDatecodeScene, QStringLiteral("14/07/2004 10:31:05"));
    EXPECT_EQ(s.texteTimecodeScene, QStringLiteral("00.12.31.02"));
    EXPECT_EQ(s.texteDebut, QStringLiteral("00.00.00.00"));
    EXPECT_EQ(s.texteFin, QStringLiteral("00.01.00.12"));
    // The length counts both ends.
    EXPECT_EQ(s.texteDureeScene, QStringLiteral("00.01.00.13"));

    EXPECT_EQ(SceneInfoDepuis(SceneBrute{5, 9, d, {}}, 25.0, QStringLiteral("yyyymmdd_hh.nn.ss")).texteDatecodeScene,
              QStringLiteral("20040714_10.31.05"));
}

TEST(SceneInfoDepuis, MissingDatecodeAndTimeCodeAreEmpty)
{
    const QString format = QStringLiteral("dd/mm/yyyy hh:nn:ss");
    EXPECT_EQ(SceneInfoDepuis(SceneBrute{0, 9, 0, {}}, 25.0, format).texteDatecodeScene, QString());
    EXPECT_EQ(SceneInfoDepuis(SceneBrute{0, 9, -1.5, {}}, 25.0, format).texteDatecodeScene, QString());
    for (const char* sans : {"N/A", "-01.00.00.00", ""})
        EXPECT_EQ(SceneInfoDepuis(SceneBrute{0, 9, 0, QString::fromUtf8(sans)}, 25.0, format).texteTimecodeScene,
                  QString())
            << sans;
}
