#pragma once
// In-place correction of an AVI clip's video stream header: its handler code
// (4 bytes) and its frame rate (scale and rate, 8 bytes). Nothing else in the
// file is touched: not the main header, not the stream format, not the
// OpenDML headers, not the audio stream.
#include "analysis/file_io.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace korvan {

// Where the fields of the last video ('vids') or interleaved DV ('iavs')
// stream header of the file lie. Both positions are 0 when none was found.
struct PositionsEntetes {
    bool trouve = false;
    int64_t positionCodec = 0;   // handler code, 4 bytes at offset 4 of the strh data
    int64_t positionEchelle = 0; // scale at offset 20, followed by the rate at offset 24

    explicit operator bool() const { return trouve; }
};

// Raised by EcrireFrequence when the file has no video stream header.
class EnteteVideoAbsente : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Walks the RIFF headers of the source. Never throws for malformed data; an
// I/O error of the source propagates (FileError). Lists whose overlaps would
// make the walk read far more headers than the file can hold (only a crafted
// file does that) give nothing found.
PositionsEntetes LocaliserEntetes(const ByteSource& source);
// Same on a file: not found when the file does not exist. Throws FileError
// when it exists but cannot be opened or read.
PositionsEntetes LocaliserEntetes(const std::string& chemin);

// The handler code stored in the video stream header, as its 32-bit
// little-endian value; none when there is no such header or on any error.
std::optional<uint32_t> LireCodec(const std::string& chemin);

// Overwrites the handler code (4 bytes). True when written; false when the
// file has no video stream header or on any error (missing, read-only...).
bool EcrireCodec(const std::string& chemin, uint32_t code);

// Sets the video frame rate: scale := 1,000,000 / fps rounded to the nearest
// integer (halves to even), rate := 1,000,000, 8 bytes written in one call.
// Throws std::invalid_argument for a rate that gives no usable scale (not
// finite, <= 0, or a scale of 0 or beyond 32 bits) before anything is
// opened, EnteteVideoAbsente when the file has no video stream header and
// FileError when it cannot be opened or written.
void EcrireFrequence(const std::string& chemin, double fps);

// The scale EcrireFrequence writes for fps, or none when fps is refused.
std::optional<uint32_t> EchellePourFrequence(double fps);

// A code typed as text: its characters in order, the first in the lowest
// byte; missing characters are zero bytes, characters past the fourth are
// dropped.
uint32_t CodeDepuisTexte(std::string_view texte);

} // namespace korvan
