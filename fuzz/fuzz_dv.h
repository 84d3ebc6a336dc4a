#pragma once
// The bodies of the DV frame and AVI writer fuzz targets, apart from
// LLVMFuzzerTestOneInput so that the ordinary test suite runs them too.
#include <cstddef>
#include <cstdint>

namespace korvan::fuzz {

// Decodes the bytes as a DV frame (time code, recording date, picture
// format, DVINFO, sound format), then writes a date, the picture format and
// the subcode into copies and reads them back. False when a decoder reports
// a value from fewer bytes than it needs, a date does not survive its
// date-time conversion, a writer changes more bytes than the packs it
// counts, or what was written does not read back.
bool fuzzPacksDV(const uint8_t* data, size_t size);

// Extracts the sound of the bytes as a DV frame (both stereo pairs), then,
// for a whole frame, writes samples drawn from the bytes into a copy and
// extracts them again. False when the extractor's count disagrees with the
// samples it appended, with the pairs the frame says it carries or with its
// source pack, when an error code survives as a sample, or when written
// samples do not come back.
bool fuzzSonDV(const uint8_t* data, size_t size);

// Reads the bytes as a recipe (streams, RIFF size, chunk sizes), writes the
// chunks with the AVI writer in memory and reads the result back with the
// demuxer and the container reader. False when the file read back is not a
// whole AVI file with the streams, formats and chunk bytes written.
bool fuzzEcrivainAvi(const uint8_t* data, size_t size);

} // namespace korvan::fuzz
