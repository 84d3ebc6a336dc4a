#include "commands/renommer_sans_ecraser.h"

#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

class SansEcraser : public ::testing::Test {
protected:
    QString ecrire(const char* nom, const char* contenu)
    {
        writeWholeFile(dir.path(nom), contenu);
        return q(dir.path(nom));
    }
    QString chemin(const char* nom) const { return q(dir.path(nom)); }
    std::string lire(const char* nom) const { return readWholeFile(dir.path(nom)); }
    QStringList contenu() const { return QDir(q(dir.path(""))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name); }

    ScratchDir dir;
};

TEST_F(SansEcraser, MovesTheFileWhenTheNameIsFree)
{
    const QString a = ecrire("a.avi", "clip");
    EXPECT_EQ(RenommerSansEcraser(a, chemin("b.avi")), 0);
    EXPECT_EQ(lire("b.avi"), "clip");
    EXPECT_EQ(contenu(), QStringList{"b.avi"});
}

TEST_F(SansEcraser, RefusesATakenNameAndLeavesBothFiles)
{
    const QString a = ecrire("a.avi", "clip");
    const QString b = ecrire("b.avi", "other");
    EXPECT_EQ(RenommerSansEcraser(a, b), EEXIST);
    EXPECT_EQ(lire("a.avi"), "clip");
    EXPECT_EQ(lire("b.avi"), "other");
    // A dangling link takes the name too.
    ASSERT_TRUE(QFile::link(chemin("nowhere"), chemin("c.avi")));
    EXPECT_EQ(RenommerSansEcraser(a, chemin("c.avi")), EEXIST);
    EXPECT_TRUE(QFileInfo(chemin("c.avi")).isSymLink());
    EXPECT_EQ(RenommerSansEcraser(QString(), b), ENOENT);
    EXPECT_EQ(RenommerSansEcraser(a, QString()), ENOENT);
    // The system's own refusals come back as they are.
    EXPECT_EQ(RenommerSansEcraser(chemin("absent.avi"), chemin("d.avi")), ENOENT);
    EXPECT_EQ(RenommerSansEcraser(a, chemin("a.avi/d.avi")), ENOTDIR);
    EXPECT_EQ(lire("a.avi"), "clip");
}

// Each fallback on its own: the filesystems without RENAME_NOREPLACE, or
// without hard links, get the same guarantee.
TEST_F(SansEcraser, EveryWayRefusesATakenName)
{
    const QString a = ecrire("a.avi", "clip");
    const QString b = ecrire("b.avi", "other");
    EXPECT_EQ(renommerNoReplace(a, b), EEXIST);
    EXPECT_EQ(renommerParLien(a, b), EEXIST);
    EXPECT_EQ(renommerParReservation(a, b), EEXIST);
    EXPECT_EQ(lire("a.avi"), "clip");
    EXPECT_EQ(lire("b.avi"), "other");
    EXPECT_EQ(contenu(), (QStringList{"a.avi", "b.avi"}));
}

TEST_F(SansEcraser, EveryWayMovesAFileWhole)
{
    QString a = ecrire("a.avi", "clip");
    EXPECT_EQ(renommerNoReplace(a, chemin("b.avi")), 0);
    EXPECT_EQ(renommerParLien(chemin("b.avi"), chemin("c.avi")), 0);
    EXPECT_EQ(renommerParReservation(chemin("c.avi"), chemin("d.avi")), 0);
    EXPECT_EQ(contenu(), QStringList{"d.avi"});
    EXPECT_EQ(lire("d.avi"), "clip");
}

TEST_F(SansEcraser, FailedWaysLeaveNoTrace)
{
    // Nothing to rename.
    EXPECT_EQ(renommerNoReplace(chemin("absent.avi"), chemin("b.avi")), ENOENT);
    EXPECT_EQ(renommerParLien(chemin("absent.avi"), chemin("b.avi")), ENOENT);
    EXPECT_EQ(renommerParReservation(chemin("absent.avi"), chemin("b.avi")), ENOENT);
    EXPECT_TRUE(contenu().isEmpty());

    // The reservation is made, then the rename itself fails (a folder cannot
    // replace a file): the reservation goes again.
    ASSERT_TRUE(QDir().mkpath(chemin("dossier")));
    EXPECT_EQ(renommerParReservation(chemin("dossier"), chemin("b.avi")), ENOTDIR);
    EXPECT_EQ(contenu(), QStringList{"dossier"});
}

} // namespace
