// libFuzzer target: the DV sound extractor, and the sound writer read back, over arbitrary bytes taken as a frame.
#include "fuzz_dv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!korvan::fuzz::fuzzSonDV(data, size))
        __builtin_trap();
    return 0;
}
