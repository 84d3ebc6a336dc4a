#pragma once
// Sound written into DV frames, as a DV muxer does: 16-bit stereo samples
// shuffled into the audio blocks, and the AAUX source packs made to say how
// many samples the frame holds, at which rate and quantisation. The video
// blocks and every other pack stay as they were.
#include <cstddef>
#include <cstdint>

namespace korvan {

// Writes paires stereo samples (interleaved left, right) into a whole DV
// frame. Every AAUX source pack of the frame gets the count, the rate, 16-bit
// quantisation and the locked flag; a sequence whose main-area source or
// source-control slot is empty (a frame fresh from an encoder) gets a new
// pack there. Block slots past the count keep what they held. False, and nothing
// written, when the frame is not whole, the rate is not a DV rate or the
// count is outside what a frame of that system holds at that rate.
bool EcrireSonDV(uint8_t* image, size_t taille, const int16_t* pcm, size_t paires, int frequence, bool verrouille);

// Copies the nine audio blocks of every DIF sequence of the source (their
// AAUX packs and samples) into the same blocks of the frame, as a DV muxer
// passing the source's sound through does. False, nothing copied, when the
// frames are not whole frames of the same system.
bool CopierSonDV(uint8_t* image, size_t taille, const uint8_t* source, size_t tailleSource);

// Frame n's share of a rate: the samples between n and n + 1 frame times
// (each boundary rounded down), within what a frame holds; 0 for a rate DV
// does not record.
int EchantillonsNominauxDV(bool systeme625, int frequence, int64_t trame);

// How many samples each frame of a clip receives. A frame that already
// holds sound at the rate being written keeps its count and locked flag (a
// recorder's locked sequence is kept); any other frame gets its nominal
// share, as unlocked sound.
class RepartitionSonDV {
public:
    explicit RepartitionSonDV(int frequence) : frequence_(frequence) {}

    // For the next frame of the clip, as the source holds it; 0 when the
    // frame is not a whole DV frame or the rate is not a DV rate.
    int echantillons(const uint8_t* image, size_t taille, bool& verrouille);

private:
    int frequence_;
    int64_t trame_ = 0;
};

} // namespace korvan
