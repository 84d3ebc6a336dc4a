// libFuzzer target: the playlist reader over arbitrary bytes.
#include "fuzz_lecture_playlist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!korvan::fuzz::fuzzLecturePlaylist(data, size))
        __builtin_trap();
    return 0;
}
