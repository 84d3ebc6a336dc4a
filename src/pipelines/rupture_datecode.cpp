#include "pipelines/rupture_datecode.h"

#include <cmath>

namespace korvan {

bool EstRuptureDatecode(TDateTime precedent, TDateTime courant)
{
    // In whole seconds: date-time values far from 1899 lose the last bits of
    // their fraction, and a 2-second step must not read as 2.0000001.
    return std::llround(std::fabs(courant - precedent) * 86400.0) > kSecondesRuptureDatecode;
}

} // namespace korvan
