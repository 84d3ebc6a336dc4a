#include "analysis/texte_court.h"

#include <cstdint>

namespace korvan {

QString ChaineCourte(const QString& texte)
{
    if (texte.size() <= kLongueurChaineCourte)
        return texte;
    qsizetype n = kLongueurChaineCourte;
    if (texte.at(n - 1).isHighSurrogate())
        --n;
    return texte.left(n);
}

QString QuestionCourte(const QStringList& formulations)
{
    for (const QString& f : formulations)
        if (f.size() < kLongueurChaineCourte)
            return f;
    return formulations.isEmpty() ? QString() : ChaineCourte(formulations.last());
}

size_t LongueurUtf8Coupee(const char* octets, size_t n, size_t max)
{
    if (n <= max)
        return n;
    // Back up over continuation bytes to the first byte of the character cut.
    size_t k = max;
    while (k > 0 && (uint8_t(octets[k]) & 0xC0) == 0x80)
        --k;
    return k;
}

} // namespace korvan
