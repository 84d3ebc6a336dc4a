#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <stdexcept>
#include <sys/stat.h>

namespace korvan::test {

std::string fixture(const std::string& name)
{
    return std::string(KORVAN_FIXTURES_DIR) + "/" + name;
}

bool fixturesAvailable()
{
    struct stat st {};
    return ::stat(fixture("expected.json").c_str(), &st) == 0;
}

QJsonObject expectedFiles()
{
    QFile f(QString::fromStdString(fixture("expected.json")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object().value("files").toObject();
}

ScratchDir::ScratchDir()
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

std::string ScratchDir::path(const std::string& name) const
{
    return dir_.filePath(QString::fromStdString(name)).toStdString();
}

std::string ScratchDir::copyFixture(const std::string& name, const std::string& as) const
{
    const std::string target = path(as.empty() ? name : as);
    writeWholeFile(target, readWholeFile(fixture(name)));
    return target;
}

SortieKorvanInfo lancerKorvanInfo(const QStringList& arguments, const QProcessEnvironment& environnement)
{
    QProcess p;
    p.setProcessEnvironment(environnement);
    p.start(QStringLiteral(KORVAN_BINARY_DIR "/tools/korvan-info"), arguments);
    const bool fini = p.waitForFinished(60000);
    return {fini && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QStringList SortieKorvanInfo::lignes() const
{
    QStringList l = QString::fromUtf8(sortie).split(QLatin1Char('\n'));
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    return l;
}

std::string readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void toucher(const QString& chemin)
{
    QDir().mkpath(QFileInfo(chemin).path());
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << chemin.toStdString();
}

} // namespace korvan::test
