#pragma once
// The sound of a DV frame as a DV splitter delivers it: 16-bit samples, one
// stereo pair at a time (12-bit non-linear sound expanded to 16 bits; its
// second pair, where the recorder wrote one, as a second stream).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvan {

// Stereo pairs the frame carries: 0 without an AAUX source pack (or an
// unknown rate or quantisation, or fewer bytes than its DIF sequences need),
// 2 for 12-bit 32 kHz sound unless the source pack of the second half of the
// sequences says it holds no sound, 1 otherwise.
int PairesSonDV(const uint8_t* image, size_t taille);

// Appends the samples of a stereo pair (0 or 1) of the frame to sortie,
// interleaved left then right, and returns the number of sample pairs
// appended. Nothing (0) when the frame does not carry that pair (see
// PairesSonDV). Samples the recorder marked as errors become 0.
size_t DecoderSonDV(const uint8_t* image, size_t taille, std::vector<int16_t>& sortie, int paire = 0);

// A 12-bit non-linear sample (two's complement, -2047..2047) as 16 bits.
int16_t Son12Vers16(int echantillon12);

} // namespace korvan
