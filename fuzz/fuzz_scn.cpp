// libFuzzer target: the scene file reader and the scene stepping over arbitrary bytes.
#include "fuzz_scenes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!korvan::fuzz::fuzzLecteurScn(data, size))
        __builtin_trap();
    return 0;
}
