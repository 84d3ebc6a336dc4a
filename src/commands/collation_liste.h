#pragma once
// The list's order of texts: French, letter case ignored, as Qt's collator
// orders them (ICU, normalisation on, punctuation not ignored, no numeric
// mode), at a fraction of its cost. Two texts are first read side by side,
// past their identical start, while both hold characters of one collation
// element each (printable ASCII, checked against the collator when it
// opens, no contraction joining them to a neighbour): the first pair that
// differs there decides, by its primary weights. Past that, each text's
// first sort key bytes, built once when first needed, and then the
// collator itself.
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>

struct UCollator;
struct USet;

namespace korvan {

class CollationListe {
public:
    // The start of a text's sort key, built at its first use.
    struct Prefixe {
        std::array<uint8_t, 32> octets{};
        uint8_t longueur = 0;
        bool entier = false; // the whole sort key
        bool calcule = false;
    };

    CollationListe();
    ~CollationListe();
    CollationListe(const CollationListe&) = delete;
    CollationListe& operator=(const CollationListe&) = delete;

    // Negative, zero or positive as a sorts before, with or after b; pa and
    // pb are kept with the texts for the next comparisons.
    int comparer(Prefixe& pa, const QString& a, Prefixe& pb, const QString& b) const;

private:
    static constexpr int kIndecis = 2;
    // -1, 0, 1 when the characters of one element decide, kIndecis otherwise.
    int comparerSimples(QStringView a, QStringView b) const;
    void calculer(Prefixe& p, const QString& texte) const;

    // The element at i is s[i]'s own: no contraction joins it to a neighbour.
    bool seul(QStringView s, qsizetype i) const;
    bool dansContraction(char16_t c) const;
    bool suiteContraction(char16_t c) const;

    UCollator* collateur_ = nullptr; // none when ICU has no data: letter case folded instead
    // Primary weight of each ASCII character of one collation element, 0 for the others.
    std::array<uint32_t, 128> primaires_{};
    // ASCII characters that start a contraction, or follow in one.
    std::array<uint8_t, 128> contractions_{};
    static constexpr uint8_t kDebut = 1;
    static constexpr uint8_t kSuite = 2;
    // The code units of contractions beyond ASCII, which a neighbour may join.
    ::USet* debuts_ = nullptr;
    ::USet* suites_ = nullptr;
};

} // namespace korvan
