#include "analysis/rupture_datecode.h"

#include <cstdlib>

namespace korvan {

DateImage DateDeDatecode(const TDatecodeDV& d)
{
    DateImage r;
    if (d.annee < 0)
        return r;
    const std::optional<TDateTime> valeur = DateTimeDuDatecode(d);
    if (!valeur) {
        r.valide = false;
        return r;
    }
    r.valeur = *valeur;
    // The integer part of the value is the day on either side of 1899, so the
    // seconds are exact.
    r.secondes = int64_t(*valeur) * 86400 + int64_t(d.heure) * 3600 + int64_t(d.minute) * 60 + d.seconde;
    return r;
}

bool EstRuptureDatecode(int64_t secondesPrecedentes, int64_t secondes)
{
    return std::llabs(secondes - secondesPrecedentes) > seuilRupture;
}

} // namespace korvan
