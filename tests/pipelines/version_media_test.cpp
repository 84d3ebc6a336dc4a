#include "pipelines/version_media.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(VersionMedia, NamesTheLibrariesInUse)
{
    const QString v = korvan::VersionDirectX();
    EXPECT_TRUE(QRegularExpression(R"(^FFmpeg \S+ \(libavformat \d+\.\d+\.\d+, libavcodec \d+\.\d+\.\d+\)$)").match(v).hasMatch())
        << v.toStdString();
}
