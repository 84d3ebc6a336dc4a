// libFuzzer target: the command-line switch parsing over arbitrary arguments.
#include "fuzz_arguments.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!korvan::fuzz::fuzzArguments(data, size))
        __builtin_trap();
    return 0;
}
