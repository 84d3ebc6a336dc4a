#include "pipelines/source_lecture.h"

namespace korvan {

namespace {

constexpr __int128 kUnites = 10000000; // 100 ns units in a second

} // namespace

int64_t BaseTemps::debutImage(int64_t n) const
{
    if (rate <= 0 || scale <= 0)
        return 0;
    const __int128 num = __int128(n) * scale * kUnites;
    __int128 q = num / rate;
    if (num % rate > 0)
        ++q;
    return int64_t(q);
}

int64_t BaseTemps::imageAuTemps(int64_t temps) const
{
    if (rate <= 0 || scale <= 0)
        return 0;
    const __int128 num = (__int128(temps) + 1) * rate;
    const __int128 den = __int128(scale) * kUnites;
    __int128 q = num / den;
    if (num % den < 0)
        --q;
    return int64_t(q);
}

} // namespace korvan
