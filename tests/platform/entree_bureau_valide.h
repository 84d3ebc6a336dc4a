#pragma once
// desktop-file-validate (Debian's desktop-file-utils, installed by dev.sh)
// judges a desktop entry as file managers will: any error or warning fails.
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <gtest/gtest.h>

namespace korvan::test {

inline void verifierEntreeValide(const QString& chemin)
{
    const QString validateur = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    ASSERT_FALSE(validateur.isEmpty()) << "desktop-file-validate is missing (package desktop-file-utils)";
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(validateur, {chemin});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString sortie = QString::fromUtf8(p.readAll());
    EXPECT_EQ(p.exitCode(), 0) << sortie.toStdString();
    EXPECT_FALSE(sortie.contains(QStringLiteral("error"))) << sortie.toStdString();
    EXPECT_FALSE(sortie.contains(QStringLiteral("warning"))) << sortie.toStdString();
}

} // namespace korvan::test
