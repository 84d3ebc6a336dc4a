// Short strings: the 255-unit cut, the fallback wording, the UTF-8 byte cut.
#include "analysis/texte_court.h"

#include <gtest/gtest.h>

#include <string>

using namespace korvan;

// Readable failure messages.
static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

TEST(ChaineCourte, CutsAt255UnitsAndNeverInsideASurrogatePair)
{
    const QString emoji = QString::fromUtf8("\U0001F600"); // two UTF-16 units
    const struct {
        const char* cas;
        QString texte;
        QString attendu;
    } cas[] = {
        {"short ASCII", QStringLiteral("clip.avi"), QStringLiteral("clip.avi")},
        {"exactly 255", QString(255, u'a'), QString(255, u'a')},
        {"256", QString(256, u'a'), QString(255, u'a')},
        {"emoji at units 254-255", QString(254, u'a') + emoji, QString(254, u'a')},
        {"emoji at units 253-254", QString(253, u'a') + emoji + u'z', QString(253, u'a') + emoji},
        {"accented letters count once", QString(300, u'é'), QString(255, u'é')},
        {"empty", QString(), QString()},
    };
    for (const auto& c : cas)
        EXPECT_EQ(ChaineCourte(c.texte), c.attendu) << c.cas;
}

TEST(QuestionCourte, FallsBackWhenAWordingReaches255)
{
    const QString a(254, u'a');
    const QString b(255, u'b');
    const QString c(300, u'c');
    EXPECT_EQ(QuestionCourte({a, "x"}), a);
    EXPECT_EQ(QuestionCourte({b, "court"}), "court");
    EXPECT_EQ(QuestionCourte({b, c}), QString(255, u'c'));
    EXPECT_EQ(QuestionCourte({}), "");
}

TEST(LongueurUtf8Coupee, BacksUpToTheStartOfTheCharacterCut)
{
    const std::string e = "\xC3\xA9";          // é, 2 bytes
    const std::string emoji = "\xF0\x9F\x98\x80"; // 4 bytes
    const struct {
        std::string octets;
        size_t attendu;
    } cas[] = {
        {std::string(255, 'a'), 255},
        {std::string(256, 'a'), 255},
        {std::string(254, 'a') + e, 254},
        {std::string(253, 'a') + e + "z", 255},
        {std::string(252, 'a') + emoji, 252},
        {std::string(251, 'a') + emoji + "z", 255},
        {"", 0},
    };
    for (const auto& c : cas)
        EXPECT_EQ(LongueurUtf8Coupee(c.octets.data(), c.octets.size(), 255), c.attendu) << c.octets.size();
}
