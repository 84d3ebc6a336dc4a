// libFuzzer target: the AVI container verdict over arbitrary bytes.
#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!korvan::fuzz::fuzzAviParam(data, size))
        __builtin_trap();
    return 0;
}
