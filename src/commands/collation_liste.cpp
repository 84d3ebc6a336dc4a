#include "commands/collation_liste.h"

#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uiter.h>
#include <unicode/uset.h>

#include <algorithm>
#include <cstring>

namespace korvan {

namespace {

// The primary weight of c when it makes one collation element of common
// secondary weight; 0 otherwise (and for an ignorable character).
uint32_t primaireSimple(UCollator* c, char16_t ch, int32_t secondaireCommun)
{
    UErrorCode etat = U_ZERO_ERROR;
    UCollationElements* elements = ucol_openElements(c, reinterpret_cast<const UChar*>(&ch), 1, &etat);
    if (U_FAILURE(etat))
        return 0;
    const int32_t premier = ucol_next(elements, &etat);
    const int32_t second = ucol_next(elements, &etat);
    ucol_closeElements(elements);
    if (U_FAILURE(etat) || premier == UCOL_NULLORDER || second != UCOL_NULLORDER)
        return 0;
    if (ucol_secondaryOrder(premier) != secondaireCommun)
        return 0;
    return uint32_t(ucol_primaryOrder(premier));
}

} // namespace

CollationListe::CollationListe()
{
    UErrorCode etat = U_ZERO_ERROR;
    UCollator* c = ucol_open("fr", &etat);
    // The settings Qt's collator makes for a case-insensitive French order.
    ucol_setAttribute(c, UCOL_NORMALIZATION_MODE, UCOL_ON, &etat);
    ucol_setAttribute(c, UCOL_STRENGTH, UCOL_SECONDARY, &etat);
    ucol_setAttribute(c, UCOL_NUMERIC_COLLATION, UCOL_OFF, &etat);
    ucol_setAttribute(c, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &etat);
    if (U_FAILURE(etat)) {
        ucol_close(c);
        return;
    }
    collateur_ = c;

    // Contractions, and the contexts some characters' weights depend on
    // (such as "l·"), as strings: their first code unit may join the next
    // one, the others the one before.
    USet* toutes = uset_openEmpty();
    ucol_getContractionsAndExpansions(c, toutes, nullptr, true, &etat);
    debuts_ = uset_openEmpty();
    suites_ = uset_openEmpty();
    UChar texte[64];
    for (int32_t k = 0; U_SUCCESS(etat) && k < uset_getItemCount(toutes); ++k) {
        UChar32 de = 0, a = 0;
        const int32_t n = uset_getItem(toutes, k, &de, &a, texte, int32_t(std::size(texte)), &etat);
        if (n == 0) { // a range of code points: taken as starts
            uset_addRange(debuts_, de, a);
            continue;
        }
        for (int32_t i = 0; i < std::min<int32_t>(n, int32_t(std::size(texte))); ++i)
            uset_add(i == 0 ? debuts_ : suites_, texte[i]);
    }
    uset_close(toutes);
    if (U_FAILURE(etat))
        return; // no fast path: every comparison goes to the prefixes
    const char16_t lettre = u'a';
    UCollationElements* e = ucol_openElements(c, reinterpret_cast<const UChar*>(&lettre), 1, &etat);
    const int32_t secondaireCommun = U_SUCCESS(etat) ? ucol_secondaryOrder(ucol_next(e, &etat)) : -1;
    ucol_closeElements(e);
    if (U_FAILURE(etat))
        return;
    for (char16_t ch = 0x20; ch < 0x7F; ++ch) {
        contractions_[ch] = uint8_t((uset_contains(debuts_, ch) ? kDebut : 0) | (uset_contains(suites_, ch) ? kSuite : 0));
        primaires_[ch] = primaireSimple(c, ch, secondaireCommun);
    }
}

CollationListe::~CollationListe()
{
    ucol_close(collateur_);
    if (debuts_)
        uset_close(debuts_);
    if (suites_)
        uset_close(suites_);
}

bool CollationListe::dansContraction(char16_t c) const
{
    return c < 128 ? contractions_[c] != 0 : uset_contains(debuts_, c) || uset_contains(suites_, c);
}

bool CollationListe::suiteContraction(char16_t c) const
{
    return c < 128 ? (contractions_[c] & kSuite) != 0 : uset_contains(suites_, c);
}

bool CollationListe::seul(QStringView s, qsizetype i) const
{
    const uint8_t f = contractions_[s[i].unicode()];
    if ((f & kSuite) && i > 0 && dansContraction(s[i - 1].unicode()))
        return false;
    if ((f & kDebut) && i + 1 < s.size() && suiteContraction(s[i + 1].unicode()))
        return false;
    return true;
}

int CollationListe::comparerSimples(QStringView a, QStringView b) const
{
    // The primary weight of s[i] when it stands alone, 0 when the collator must say.
    const auto primaire = [this](QStringView s, qsizetype i) {
        const char16_t c = s[i].unicode();
        return c < 128 && primaires_[c] != 0 && seul(s, i) ? primaires_[c] : 0u;
    };
    const qsizetype n = std::min(a.size(), b.size());
    // An identical start weighs the same on both sides when what follows it
    // is simple (the collator skips it too): the walk starts past it.
    qsizetype i = 0;
    while (i < n && a[i] == b[i])
        ++i;
    for (; i < n; ++i) {
        const uint32_t pa = primaire(a, i);
        const uint32_t pb = primaire(b, i);
        if (pa == 0 || pb == 0)
            return kIndecis;
        if (pa != pb)
            return pa < pb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    // One text is the other's start: the longer has more primary weights
    // when what follows is simple.
    if (primaire(a.size() > b.size() ? a : b, n) == 0)
        return kIndecis;
    return a.size() < b.size() ? -1 : 1;
}

void CollationListe::calculer(Prefixe& p, const QString& texte) const
{
    p.calcule = true;
    UCharIterator it;
    uiter_setString(&it, reinterpret_cast<const UChar*>(texte.utf16()), int32_t(texte.size()));
    uint32_t etatCle[2] = {0, 0};
    UErrorCode etat = U_ZERO_ERROR;
    const int32_t n = ucol_nextSortKeyPart(collateur_, &it, etatCle, p.octets.data(), int32_t(p.octets.size()), &etat);
    if (U_FAILURE(etat) || n < 0)
        return; // an empty prefix: the collator decides every comparison
    p.longueur = uint8_t(n);
    p.entier = size_t(n) < p.octets.size();
}

int CollationListe::comparer(Prefixe& pa, const QString& a, Prefixe& pb, const QString& b) const
{
    if (!collateur_)
        return QString::compare(a, b, Qt::CaseInsensitive);
    // Qt puts an empty text first, before even an ignorable one.
    if (a.isEmpty() || b.isEmpty())
        return int(!a.isEmpty()) - int(!b.isEmpty());
    if (const int c = comparerSimples(a, b); c != kIndecis)
        return c;
    if (!pa.calcule)
        calculer(pa, a);
    if (!pb.calcule)
        calculer(pb, b);
    if (const int c = std::memcmp(pa.octets.data(), pb.octets.data(), std::min(pa.longueur, pb.longueur)); c != 0)
        return c;
    if (pa.entier && pb.entier && pa.longueur == pb.longueur)
        return 0;
    return ucol_strcoll(collateur_, reinterpret_cast<const UChar*>(a.utf16()), int32_t(a.size()),
                        reinterpret_cast<const UChar*>(b.utf16()), int32_t(b.size()));
}

} // namespace korvan
