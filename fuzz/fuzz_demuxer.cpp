// libFuzzer target: the AVI demuxer (headers, OpenDML and idx1 indexes, movi
// walk) and the media probe over arbitrary bytes.
#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!korvan::fuzz::fuzzDemuxer(data, size))
        __builtin_trap();
    return 0;
}
