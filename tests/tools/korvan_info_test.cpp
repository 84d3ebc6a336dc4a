// korvan-info as a user runs it: the facts it prints for every fixture agree
// with expected.json, field by field.
#include "support/fixtures.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace korvan::test;

namespace {

QList<QJsonObject> lignesJson(const QByteArray& out)
{
    QList<QJsonObject> objets;
    for (const QByteArray& ligne : out.split('\n'))
        if (!ligne.isEmpty())
            objets.append(QJsonDocument::fromJson(ligne).object());
    return objets;
}

// Values the fixtures leave open (null in expected.json) and what Korvan chose.
QJsonValue choixOuvert(const QString& fichier, const QString& champ)
{
    // An interrupted capture: durations count the frames really in the file
    // (12 whole frames), not the 20 its headers still claim.
    if (fichier == QLatin1String("pal_truncated.avi") && (champ == "texteDuree" || champ == "texteDureeAudio"))
        return QStringLiteral("12fr");
    return QJsonValue::Undefined;
}

} // namespace

TEST(KorvanInfo, EveryFixtureMatchesExpectedFacts)
{
    KORVAN_REQUIRE_FIXTURES();
    const QJsonObject attendu = expectedFiles();
    QStringList chemins;
    for (auto it = attendu.begin(); it != attendu.end(); ++it)
        chemins << QString::fromStdString(fixture(it.key().toStdString()));
    const SortieKorvanInfo s = lancerKorvanInfo(chemins);
    ASSERT_EQ(s.code, 0) << s.erreurs.toStdString();
    const auto objets = lignesJson(s.sortie);
    ASSERT_EQ(objets.size(), chemins.size());

    const QStringList champs = {"codec", "estDV", "typeDV", "standard", "texteTaille", "largeur", "hauteur", "fps",
                                "texteDuree", "texteDureeAudio", "texteAudio", "texteFormatAudio", "texteDatecode",
                                "texteTimecode", "cleDatecode", "datecode", "format16x9", "vauxSource"};
    int compares = 0;
    for (const QJsonObject& o : objets) {
        const QString nom = o.value("nom").toString();
        SCOPED_TRACE(nom.toStdString());
        const QJsonObject e = attendu.value(nom).toObject();
        ASSERT_FALSE(e.isEmpty());
        EXPECT_EQ(o.value("valide").toBool(), e.value("valid").toBool());
        for (const QString& champ : champs) {
            SCOPED_TRACE(champ.toStdString());
            QJsonValue voulu = e.value(champ);
            if (voulu.isUndefined())
                continue;
            if (voulu.isNull() && champ != "datecode") {
                voulu = choixOuvert(nom, champ);
                ASSERT_FALSE(voulu.isUndefined()) << "an open value without a recorded choice";
            }
            if (voulu.isDouble())
                EXPECT_DOUBLE_EQ(o.value(champ).toDouble(), voulu.toDouble());
            else
                EXPECT_EQ(o.value(champ), voulu) << o.value(champ).toVariant().toString().toStdString();
            ++compares;
        }
        // The sort key carries the datecode key, then the lower-case name and path.
        EXPECT_EQ(o.value("cleDatecodeNom").toString(),
                  o.value("cleDatecode").toString() + (nom + o.value("chemin").toString()).toLower());
    }
    EXPECT_GT(compares, 400);
}

TEST(KorvanInfo, ArrayOutputFormatOptionAndBadInput)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = QString::fromStdString(fixture("pal_t2_43.avi"));
    const SortieKorvanInfo s = lancerKorvanInfo({"--array", "--format", "yyyymmdd_hh.nn.ss", clip, "/nonexistent/clip.avi"});
    // The missing file still has its entry, and the status tells the script.
    ASSERT_EQ(s.code, 1);
    EXPECT_TRUE(s.erreurs.contains("/nonexistent/clip.avi"));
    EXPECT_EQ(lancerKorvanInfo({clip}).code, 0);
    const QJsonArray a = QJsonDocument::fromJson(s.sortie).array();
    ASSERT_EQ(a.size(), 2);
    EXPECT_EQ(a[0].toObject().value("texteDatecode").toString(), "20040714_10.31.05");
    const QJsonObject absent = a[1].toObject();
    EXPECT_FALSE(absent.value("existe").toBool());
    EXPECT_EQ(absent.value("texteDatecode").toString(), "Erreur");
    EXPECT_EQ(absent.value("texteTimecode").toString(), "Erreur");
    EXPECT_EQ(absent.value("texteTaille").toString(), "N/A");
    EXPECT_EQ(absent.value("cleDatecode").toString(), QString(QChar(0xFF)));

    EXPECT_EQ(lancerKorvanInfo({"--bogus"}).code, 2);
    EXPECT_EQ(lancerKorvanInfo({"--format"}).code, 2);
    const SortieKorvanInfo sansFichier = lancerKorvanInfo({});
    EXPECT_EQ(sansFichier.code, 2);
    EXPECT_TRUE(sansFichier.erreurs.startsWith("usage: korvan-info"));
}
