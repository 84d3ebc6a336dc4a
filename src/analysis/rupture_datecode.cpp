#include "analysis/rupture_datecode.h"

#include <cstdlib>

namespace korvan {

DateImage DateDeDatecode(const TDatecodeDV& d)
{
    DateImage r;
    if (d.annee < 0)
        return r;
    TDateTime jour = 0;
    if (!EncodeDateTime(d.annee, d.mois, d.jour, 0, 0, 0, 0, jour)
        || !EncodeDateTime(d.annee, d.mois, d.jour, d.heure, d.minute, d.seconde, 0, r.valeur)) {
        r.valide = false;
        r.valeur = 0;
        return r;
    }
    // The day count is a whole number, so the seconds are exact on either side of 1899.
    r.secondes = int64_t(jour) * 86400 + int64_t(d.heure) * 3600 + int64_t(d.minute) * 60 + d.seconde;
    return r;
}

bool EstRuptureDatecode(int64_t secondesPrecedentes, int64_t secondes)
{
    return std::llabs(secondes - secondesPrecedentes) > seuilRupture;
}

} // namespace korvan
