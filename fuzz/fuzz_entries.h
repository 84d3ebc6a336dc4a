#pragma once
// The bodies of the libFuzzer targets, kept apart from LLVMFuzzerTestOneInput
// so that the ordinary test suite can run the same inputs without libFuzzer.
#include <cstddef>
#include <cstdint>

namespace korvan::fuzz {

// Runs the container verdict over the bytes. False when the result breaks an
// invariant (a video stream index outside the stream list).
bool fuzzAviParam(const uint8_t* data, size_t size);

// Runs the header locator over the bytes. False when a reported position is
// not the handler/scale field of a video stream header lying inside the bytes.
bool fuzzHeaderLocator(const uint8_t* data, size_t size);

// Runs the demuxer (headers, first frames, every stream's frame index) and the
// media probe over the bytes. False when a frame lies outside the bytes, or
// the frame cursor read backwards gives other frames than the whole index.
bool fuzzDemuxer(const uint8_t* data, size_t size);

// Writes the RIFF structure report of the bytes. False when the report
// breaks its frame (first and last lines, the closing block) or grows beyond
// what the bytes can account for: more lines than the walk's read budget
// allows, or a line longer than the deepest indent and widest field.
bool fuzzRapportRiff(const uint8_t* data, size_t size);

} // namespace korvan::fuzz
