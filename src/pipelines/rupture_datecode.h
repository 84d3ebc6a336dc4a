#pragma once
// Where a new scene starts for the overlay: the recording date and time of a
// frame lies more than 2 whole seconds away, either way, from the previous
// frame's. A frame without a recording date counts as 0, so the step from a
// dated frame to an undated one, and back, is a break, and a run of undated
// frames is not. (The scene detector applies the same rule.)
#include "analysis/dateheure.h"

namespace korvan {

inline constexpr long long kSecondesRuptureDatecode = 2;

bool EstRuptureDatecode(TDateTime precedent, TDateTime courant);

} // namespace korvan
