// The list's order of texts is Qt's French case-insensitive collator's,
// pair by pair, over texts made to catch every shortcut the comparison
// takes: identical starts, contractions ("l·", ICU's own U+FDD1 ones),
// combining marks and their composed forms, ignorable and control
// characters, surrogates, the datecode key's markers, long shared starts
// beyond the kept sort key bytes.
#include "commands/collation_liste.h"

#include <QCollator>
#include <QLocale>
#include <QStringList>

#include <gtest/gtest.h>

#include <random>

using namespace korvan;

namespace {

int signe(int v)
{
    return (v > 0) - (v < 0);
}

QStringList textesEprouvants()
{
    QStringList t{
        "", "a", "A", "b", "ab", "aB", "abc", "l", "L", "ll", "l·l", "L·L", "l·", "l\u0387", "lm", "Lz", "\uFDD14",
        "\uFDD1L", "4", "44", "2004", "20040714103105", "20040714103106", "e", "é", "e\u0301", "É", "E\u0301", "ê",
        "è", "ë", "ef", "éf", "e\u0301f", "e\u0327\u0301", "e\u0301\u0327", "œuf", "oeuf", "Œuf", "æ", "ae", "ß", "ss",
        "ǅ", "ﬁ", "fi", "a\u00ADb", "ab\u00AD", "a\u200Bb", "a\u0001b", "a\tb", "a b", "a-b", "a_b", "a.b", "a/b", "a'b",
        "a\u2019b", "Vidéos", "videos", "Videos", "Été 2004", "ete 2004", "été", "\u00FA", "\u00FAclip", "\u00FFclip",
        "\u00FA20040714", "Привет", "привет", "日本", "日本語", "😀", "😀a", "a😀", "Ǆ", "0", "9", "10", "1",
        "clip_0001.avi", "clip_0001.AVI", "clip-0001.avi", "clip 0001.avi", "Clip_0001.avi", "clip_0002.avi"};
    // Lone surrogates, as a broken file name may hold.
    t << QString(QChar(0xD800)) << QString("a") + QChar(0xDC00) << QString(QChar(0xDC00)) + "a";
    // Past the 32 bytes of sort key kept: the same long start, a different end.
    const QString long1 = "20040714103105capture du mariage de paul et marie ";
    for (const char* fin : {"a", "b", "é", "e\u0301", "l·", "", "😀", "A"})
        t << long1 + QString::fromUtf8(fin) << "/home/gérard/vidéos/" + long1 + QString::fromUtf8(fin);
    return t;
}

QStringList textesAuHasard(int n, unsigned graine)
{
    const QStringList morceaux{"a", "A", "b", "l", "L", "·", "4", "0", "9", "e", "é", "e\u0301", "\u0301", "\u0327",
                               "œ", "ß", "s", "-", "_", " ", ".", "/", "\u00AD", "\u200B", "\u0001", "Я", "日",
                               "😀", "\uFDD1", "\u00FA", "\u00FF", "clip", "2004", "Vidéos", "ﬁ"};
    std::mt19937 tirage(graine);
    QStringList t;
    for (int i = 0; i < n; ++i) {
        QString s;
        const int k = std::uniform_int_distribution<int>(0, 12)(tirage);
        for (int j = 0; j < k; ++j)
            s += morceaux[std::uniform_int_distribution<int>(0, int(morceaux.size()) - 1)(tirage)];
        t << s;
        // A neighbour with the same start, so that comparisons go past it.
        t << s + morceaux[std::uniform_int_distribution<int>(0, int(morceaux.size()) - 1)(tirage)];
    }
    return t;
}

} // namespace

TEST(CollationListe, OrdersEveryPairAsQtsCollatorDoes)
{
    QCollator qt(QLocale(QLocale::French, QLocale::France));
    qt.setCaseSensitivity(Qt::CaseInsensitive);
    const CollationListe collation;
    const QStringList textes = textesEprouvants() + textesAuHasard(250, 21);
    // Kept prefixes, as the list keeps them with its keys; fresh ones for each pair, too.
    std::vector<CollationListe::Prefixe> gardes(size_t(textes.size()));
    int desaccords = 0;
    for (qsizetype i = 0; i < textes.size(); ++i) {
        for (qsizetype j = 0; j < textes.size(); ++j) {
            const int attendu = signe(qt.compare(textes[i], textes[j]));
            CollationListe::Prefixe pi, pj;
            const int neuf = signe(collation.comparer(pi, textes[i], pj, textes[j]));
            const int garde = signe(collation.comparer(gardes[size_t(i)], textes[i], gardes[size_t(j)], textes[j]));
            if ((neuf != attendu || garde != attendu) && ++desaccords <= 10)
                ADD_FAILURE() << "\"" << textes[i].toStdString() << "\" vs \"" << textes[j].toStdString() << "\": Qt "
                              << attendu << ", ours " << neuf << " (kept prefixes " << garde << ")";
        }
    }
    EXPECT_EQ(desaccords, 0) << "of " << textes.size() * textes.size() << " pairs";
}
