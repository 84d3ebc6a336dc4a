// libFuzzer target: the RIFF structure report over arbitrary bytes.
#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!korvan::fuzz::fuzzRapportRiff(data, size))
        __builtin_trap();
    return 0;
}
