#pragma once
// The body of the command-line switch fuzz target, apart from
// LLVMFuzzerTestOneInput so that the ordinary test suite runs it too.
#include <cstddef>
#include <cstdint>

namespace korvan::fuzz {

// Reads the bytes as command-line arguments (one per line, UTF-8) and checks
// what the switch parsing says of them: switch arguments start with "+" or
// "/" and hold no dot, a switch is found exactly where its text occurs, and
// the start-up decision and the window-mode letters agree with the switches
// found. False when one of these does not hold.
bool fuzzArguments(const uint8_t* data, size_t size);

} // namespace korvan::fuzz
