#include "analysis/aviinfo.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

using namespace korvan;
using korvan::test::fixture;

TEST(AviContainer, FixtureVerdictAndCodecMatchExpected)
{
    KORVAN_REQUIRE_FIXTURES();
    const QJsonObject files = korvan::test::expectedFiles();
    ASSERT_FALSE(files.isEmpty());
    for (auto it = files.begin(); it != files.end(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        const QJsonObject e = it.value().toObject();
        const TFriendlyAviParam avi(fixture(it.key().toStdString()));
        EXPECT_EQ(avi.valide, e.value("valid").toBool());
        EXPECT_EQ(QString::fromLatin1(avi.CodecVideo().str().c_str(), 4), e.value("codecVideoReader").toString());
    }
}
