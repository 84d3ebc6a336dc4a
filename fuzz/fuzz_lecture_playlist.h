#pragma once
// The body of the playlist reader fuzz target, apart from
// LLVMFuzzerTestOneInput so that the ordinary test suite runs it too.
#include <cstddef>
#include <cstdint>

namespace korvan::fuzz {

// Reads the bytes as a playlist, whole and then stopped after a number of
// entries the first byte chooses. False when an entry is empty, starts with
// "#" or a blank, ends with a blank, holds a line break, differs from the
// trimmed line of the bytes it comes from, or when a stop is not heeded.
bool fuzzLecturePlaylist(const uint8_t* data, size_t size);

} // namespace korvan::fuzz
