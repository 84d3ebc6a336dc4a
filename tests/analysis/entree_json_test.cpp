// korvan-info writes each entry's JSON itself; Qt's own writer is the oracle:
// on every fixture's entry, and on strings and numbers chosen to reach each
// escape and number form, the bytes are the ones QJsonDocument prints.
#include "analysis/entree_json.h"
#include "support/fixtures.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace korvan;
using namespace korvan::test;

namespace {

QByteArray selonQt(const QJsonValue& v)
{
    const QByteArray tableau = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return tableau.mid(1, tableau.size() - 2);
}

} // namespace

TEST(EntreeJson, EveryFixtureEntryIsWhatQJsonDocumentPrints)
{
    KORVAN_REQUIRE_FIXTURES();
    const QStringList clips = QDir(QString::fromStdString(fixture(""))).entryList({"*.avi"}, QDir::Files);
    ASSERT_GT(clips.size(), 20);
    for (const QString& f : clips) {
        SCOPED_TRACE(f.toStdString());
        const TAfficherFichier e(QString::fromStdString(fixture(f.toStdString())));
        const QByteArray ecrit = EntreeVersJsonCompact(e);
        QJsonParseError erreur{};
        const QJsonDocument lu = QJsonDocument::fromJson(ecrit, &erreur);
        ASSERT_EQ(erreur.error, QJsonParseError::NoError) << ecrit.toStdString();
        EXPECT_EQ(lu.object().size(), 41);
        EXPECT_EQ(ecrit, lu.toJson(QJsonDocument::Compact));
        EXPECT_EQ(lu.object().value("nom").toString(), f);
    }
}

TEST(EntreeJson, StringsAndNumbersAreWrittenAsQtWritesThem)
{
    QString controles;
    for (char16_t c = 0; c < 0x20; ++c)
        controles += QChar(c);
    const QString textes[] = {
        QString(), QStringLiteral(""), controles, QStringLiteral("guillemet \" et \\ barre / fin"),
        QStringLiteral("\x7f del"), QStringLiteral("été à Noël"), QString::fromUtf8("\xF0\x9F\x8E\xA5 caméscope"),
        QString(QChar(0xD800)) + QStringLiteral(" seul"), QStringLiteral("ÿclip.avi"),
    };
    for (const QString& t : textes) {
        SCOPED_TRACE(t.toStdString());
        std::string ecrit;
        AjouterTexteJson(ecrit, t);
        EXPECT_EQ(ecrit, selonQt(t).toStdString());
    }
    const double nombres[] = {0.0, -0.0, 1.0, -1.0, 25.0, 29.97, 0.1, 1.0 / 3, 4294967295.0, 13e9 + 0.5,
                              9007199254740992.0, 9007199254740994.0, 1e300, -2.5e-8,
                              std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()};
    for (const double n : nombres) {
        SCOPED_TRACE(n);
        std::string ecrit;
        AjouterNombreJson(ecrit, n);
        EXPECT_EQ(ecrit, selonQt(n).toStdString());
    }
}
