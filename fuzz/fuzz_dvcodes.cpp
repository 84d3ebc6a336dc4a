// libFuzzer target: the DV pack decoders and writers over arbitrary bytes taken as a frame.
#include "fuzz_dv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!korvan::fuzz::fuzzPacksDV(data, size))
        __builtin_trap();
    return 0;
}
