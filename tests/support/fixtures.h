#pragma once
// Access to the shared fixture clips and their expected facts, and scratch
// folders for tests that write files.
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QStringList>
#include <QString>
#include <QTemporaryDir>
#include <string>

#include <ostream>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace korvan::test {

// Absolute path of a fixture file (which may not exist when the fixtures are absent).
std::string fixture(const std::string& name);
bool fixturesAvailable();
// The "files" object of expected.json, keyed by file name.
QJsonObject expectedFiles();

// Skips the current test when the shared fixtures are not beside the checkout.
#define KORVAN_REQUIRE_FIXTURES()                                                  \
    do {                                                                           \
        if (!::korvan::test::fixturesAvailable())                                  \
            GTEST_SKIP() << "shared fixtures not found at " KORVAN_FIXTURES_DIR; \
    } while (0)

// A scratch folder removed at the end of the test.
class ScratchDir {
public:
    ScratchDir();
    std::string path(const std::string& name) const;
    // Copies a fixture into the folder (writable) and returns the copy's path.
    std::string copyFixture(const std::string& name, const std::string& as = {}) const;
private:
    QTemporaryDir dir_;
};

// What korvan-info printed for some arguments (the tool as a user runs it).
struct SortieKorvanInfo {
    int code = -1;     // -1 when it crashed or did not finish
    QByteArray sortie;
    QByteArray erreurs;
    // Standard output split into lines, without the empty one after the last line end.
    QStringList lignes() const;
};
SortieKorvanInfo lancerKorvanInfo(const QStringList& arguments,
                                  const QProcessEnvironment& environnement = QProcessEnvironment::systemEnvironment());

std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& bytes);
// An empty file at that path, its folders made first (fails the test when it cannot).
void toucher(const QString& chemin);

} // namespace korvan::test
