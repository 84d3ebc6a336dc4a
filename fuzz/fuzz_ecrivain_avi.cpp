// libFuzzer target: the AVI writer's output read back by the demuxer, chunks chosen by arbitrary bytes.
#include "fuzz_dv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!korvan::fuzz::fuzzEcrivainAvi(data, size))
        __builtin_trap();
    return 0;
}
