#pragma once
// Where a new recording starts: the recording date and time of a frame lies
// more than two whole seconds away, either way, from the previous frame's. A
// frame without a recording date counts as 0, so the step from a dated frame
// to an undated one, and back, is a break, and a run of undated frames is
// not. The scene detector and the overlay's automatic inlay both use it.
#include "analysis/dateheure.h"
#include "analysis/dvcodes.h"

#include <cstdint>

namespace korvan {

// The recording date of a frame as the rule compares it.
struct DateImage {
    bool valide = true;    // false: the date fields do not form a date, the frame is skipped
    int64_t secondes = 0;  // whole seconds since 1899-12-30; 0 without a date
    TDateTime valeur = 0;  // 0 without a date
};

// No date pack gives 0; date fields that are not a real date give an invalid one.
DateImage DateDeDatecode(const TDatecodeDV& d);

// Recording dates have a one-second resolution: they are compared in whole
// seconds, so a step of exactly two seconds is never a break whatever the day.
inline constexpr int64_t seuilRupture = 2;

bool EstRuptureDatecode(int64_t secondesPrecedentes, int64_t secondes);

} // namespace korvan
