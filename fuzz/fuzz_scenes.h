#pragma once
// The body of the scene file fuzz target, apart from LLVMFuzzerTestOneInput so
// that the ordinary test suite runs the same inputs without libFuzzer.
#include <cstddef>
#include <cstdint>

namespace korvan::fuzz {

// Reads the bytes as a scene file and steps through its scenes from a few
// frames. False when a step leaves the clip or goes the wrong way, or when the
// reader reports more than the bytes can hold.
bool fuzzLecteurScn(const uint8_t* data, size_t size);

} // namespace korvan::fuzz
