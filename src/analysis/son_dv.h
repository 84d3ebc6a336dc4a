#pragma once
// The sound of a DV frame: the first stereo pair, as a DV splitter delivers
// it (16-bit samples; 12-bit non-linear sound expanded to 16 bits).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvan {

// Appends the frame's samples to sortie, interleaved left then right, and
// returns the number of sample pairs appended. Nothing (0) when the frame has
// no AAUX source pack, an unknown rate or quantisation, or fewer bytes than
// its DIF sequences need. Samples the recorder marked as errors become 0.
size_t DecoderSonDV(const uint8_t* image, size_t taille, std::vector<int16_t>& sortie);

// A 12-bit non-linear sample (two's complement, -2047..2047) as 16 bits.
int16_t Son12Vers16(int echantillon12);

} // namespace korvan
