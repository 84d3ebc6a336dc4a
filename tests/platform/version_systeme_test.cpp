#include "platform/version_systeme.h"

#include <QSysInfo>
#include <gtest/gtest.h>

#include <string>

using namespace korvan;

namespace {

struct CasVersion {
    int plateforme;
    uint32_t majeur, mineur, build;
    const char16_t* servicePack;
    const char16_t* attendu;
};

class NomWindows : public ::testing::TestWithParam<CasVersion> {};

} // namespace

TEST_P(NomWindows, NameAndSuffixFollowTheVersionTable)
{
    const CasVersion& c = GetParam();
    EXPECT_EQ(NomVersionWindows(c.plateforme, c.majeur, c.mineur, c.build, QString::fromUtf16(c.servicePack)),
              QString::fromUtf16(c.attendu));
}

INSTANTIATE_TEST_SUITE_P(
    Table, NomWindows,
    ::testing::Values(
        CasVersion{0, 3, 10, 0, u"", u"Windows 3.1  - build 0"},
        // 9x builds carry the version in the high word: only the low 16 bits are shown.
        CasVersion{1, 4, 0, 0x040003B6, u" B", u"Windows 95 OSR 2  B - build 950"},
        CasVersion{1, 4, 0, 950, u" c", u"Windows 95 OSR 2  c - build 950"},
        CasVersion{1, 4, 0, 950, u" C", u"Windows 95  C - build 950"},
        CasVersion{1, 4, 0, 950, u"", u"Windows 95  - build 950"},
        CasVersion{1, 4, 10, 0x040A08AE, u" a", u"Windows 98 Second Edition  a - build 2222"},
        CasVersion{1, 4, 10, 1998, u" A", u"Windows 98  A - build 1998"},
        CasVersion{1, 4, 10, 1998, u"a", u"Windows 98 a - build 1998"},
        CasVersion{1, 4, 90, 3000, u" ", u"Windows ME   - build 3000"},
        CasVersion{1, 4, 3, 1, u"", u"Windows 9X  - build 1"},
        CasVersion{1, 5, 0, 1, u"", u"Inconnu  - build 1"},
        CasVersion{2, 3, 51, 1057, u"Service Pack 5", u"Windows NT 3.5 Service Pack 5 - build 1057"},
        CasVersion{2, 4, 0, 1381, u"Service Pack 6", u"Windows NT 4 Service Pack 6 - build 1381"},
        CasVersion{2, 5, 0, 2195, u"Service Pack 4", u"Windows 2000 Service Pack 4 - build 2195"},
        CasVersion{2, 5, 1, 2600, u"Service Pack 2", u"Windows XP Service Pack 2 - build 2600"},
        CasVersion{2, 5, 2, 3790, u"", u"Windows Server 2003  - build 3790"},
        CasVersion{2, 5, 3, 1, u"", u"Windows NT ?  - build 1"},
        CasVersion{2, 6, 1, 7601, u"Service Pack 1", u"Windows NT ? Service Pack 1 - build 7601"},
        CasVersion{3, 1, 0, 70000, u"x", u"Inconnu x - build 4464"}),
    [](const ::testing::TestParamInfo<CasVersion>& info) {
        const CasVersion& c = info.param;
        return "plateforme" + std::to_string(c.plateforme) + "_" + std::to_string(c.majeur) + "_"
               + std::to_string(c.mineur) + "_cas" + std::to_string(info.index);
    });

TEST(NomWindows, OnlyTheNtPlatformSetsTheNtFlag)
{
    for (int plateforme : {0, 1, 2, 3, -1}) {
        bool nt = plateforme != 2;
        NomVersionWindows(plateforme, 5, 1, 2600, QString(), &nt);
        EXPECT_EQ(nt, plateforme == 2) << plateforme;
    }
}

TEST(NomWindows, ServicePackTextStopsAtItsFirstZeroAndAt128Characters)
{
    const QString avecZero = QStringLiteral("Service Pack 3") + QChar(0) + QStringLiteral("garbage");
    EXPECT_EQ(NomVersionWindows(2, 5, 1, 2600, avecZero), QStringLiteral("Windows XP Service Pack 3 - build 2600"));

    const QString long_(200, u'x');
    EXPECT_EQ(NomVersionWindows(2, 5, 1, 2600, long_),
              QStringLiteral("Windows XP ") + QString(128, u'x') + QStringLiteral(" - build 2600"));

    // The OSR marker is the second character of the truncated text, not of what follows the zero.
    const QString markerAfterZero = QStringLiteral(" ") + QChar(0) + QStringLiteral("B");
    EXPECT_EQ(NomVersionWindows(1, 4, 0, 950, markerAfterZero), QStringLiteral("Windows 95   - build 950"));
}

TEST(NomSystemeLinux, PrettyNameAndKernel)
{
    const QString osRelease = QStringLiteral("# made by the distribution\n"
                                             "NAME=\"Debian GNU/Linux\"\n"
                                             "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
                                             "VERSION=\"12 (bookworm)\"\n");
    EXPECT_EQ(nomSystemeLinux(osRelease, QStringLiteral("6.1.0-18-amd64")),
              QStringLiteral("Debian GNU/Linux 12 (bookworm) - noyau 6.1.0-18-amd64"));
}

TEST(NomSystemeLinux, QuotingAndFallbacks)
{
    EXPECT_EQ(nomSystemeLinux(QStringLiteral("PRETTY_NAME='Arch Linux'\n"), QStringLiteral("6.8")),
              QStringLiteral("Arch Linux - noyau 6.8"));
    EXPECT_EQ(nomSystemeLinux(QStringLiteral("PRETTY_NAME=\"Mon \\\"système\\\" \\$1\"\n"), QStringLiteral("5")),
              QStringLiteral("Mon \"système\" $1 - noyau 5"));
    EXPECT_EQ(nomSystemeLinux(QStringLiteral("PRETTY_NAME=Plain\n"), QStringLiteral("5")),
              QStringLiteral("Plain - noyau 5"));
    EXPECT_EQ(nomSystemeLinux(QStringLiteral("NAME=Fedora\nVERSION=\"40 (Workstation)\"\n"), QStringLiteral("6.9")),
              QStringLiteral("Fedora 40 (Workstation) - noyau 6.9"));
    EXPECT_EQ(nomSystemeLinux(QString(), QStringLiteral("6.9")), QStringLiteral("Linux - noyau 6.9"));
    EXPECT_EQ(nomSystemeLinux(QStringLiteral("garbage without equals\n=x\n"), QString()), QStringLiteral("Linux"));
}

TEST(NomSystemeLinux, RunningSystemIsDescribedAndFlaggedUnicode)
{
    systemeNT = false;
    const QString nom = NomVersionWindows();
    EXPECT_TRUE(systemeNT);
    // Qt reads the same facts through its own code: the product name from
    // os-release and the release from uname.
    EXPECT_TRUE(nom.endsWith(QStringLiteral(" - noyau ") + QSysInfo::kernelVersion())) << nom.toStdString();
    EXPECT_TRUE(nom.startsWith(QSysInfo::prettyProductName())) << nom.toStdString();
}
