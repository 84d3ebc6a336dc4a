#pragma once
// Where the sound of a DV frame lies and how much of it a frame holds
// (IEC 61834-2): the nine audio blocks of every DIF sequence, the shuffle
// that spreads the samples over them, and the sample counts of each system
// and rate. The reader, the writer and the pack decoders all take them here.
#include "analysis/positions_packs_dv.h"

#include <cstddef>
#include <cstdint>

namespace korvan {

inline constexpr int kBlocsSonParSequence = 9;
// Audio data of a block: after the 3 ID bytes and the 5-byte AAUX pack.
inline constexpr size_t kDebutDonneesSon = 3 + kOctetsPackDV;
inline constexpr size_t kOctetsDonneesSon = kOctetsBlocDIF - kDebutDonneesSon; // 72
// 16-bit samples in a block's data; 12-bit samples come in pairs of three bytes.
inline constexpr int kMots16ParBloc = int(kOctetsDonneesSon / 2);  // 36
inline constexpr int kGroupes12ParBloc = int(kOctetsDonneesSon / 3); // 24

inline const uint8_t* blocSonDV(const uint8_t* image, size_t sequence, int bloc)
{
    return image + sequence * kOctetsSequenceDIF + kZoneAaux.bloc(bloc) * kOctetsBlocDIF;
}
inline uint8_t* blocSonDV(uint8_t* image, size_t sequence, int bloc)
{
    return image + sequence * kOctetsSequenceDIF + kZoneAaux.bloc(bloc) * kOctetsBlocDIF;
}

// The shuffle: the interleaved sample index (even left, odd right) of the
// first sample stored in audio block j of DIF sequence i; the following
// samples of the block come every 18 x (sequences / 2) indexes. With 16-bit
// sound the first half of the sequences holds the left samples and the
// second half the right ones; with 12-bit sound each half holds a whole
// stereo pair (two channels per block), the second half the second pair.
struct MelangeSonDV {
    int moitie; // sequences / 2

    constexpr int premier(int i, int j) const
    {
        const int cycle = 6 * moitie;
        const int base = ((6 * (i % moitie) - 10 * (j / 3)) % cycle + cycle) % cycle;
        return base + cycle * (j % 3) + i / moitie;
    }
    constexpr int pas() const { return 18 * moitie; }
    // 16-bit samples of one channel the frame can hold.
    constexpr int capacite16() const { return moitie * kBlocsSonParSequence * kMots16ParBloc; }
};

// Sampling frequencies by their code in the AAUX source pack (SMP).
inline constexpr int kFrequencesSonDV[] = {48000, 44100, 32000};

// The code of a frequency, -1 for one DV does not record.
constexpr int CodeFrequenceSonDV(int frequence)
{
    for (int c = 0; c < 3; ++c)
        if (kFrequencesSonDV[c] == frequence)
            return c;
    return -1;
}

// The least number of samples a frame of that system holds at that rate;
// the source pack counts the samples beyond it (AF_SIZE, 6 bits).
constexpr int MinimumEchantillonsDV(bool systeme625, int codeFrequence)
{
    constexpr int kMinimum625[] = {1896, 1742, 1264};
    constexpr int kMinimum525[] = {1580, 1452, 1053};
    return systeme625 ? kMinimum625[codeFrequence] : kMinimum525[codeFrequence];
}

// The most: what the pack can count, and no more than 16-bit blocks hold.
constexpr int MaximumEchantillonsDV(bool systeme625, int codeFrequence)
{
    const int compte = MinimumEchantillonsDV(systeme625, codeFrequence) + 63;
    const int place = MelangeSonDV{systeme625 ? 6 : 5}.capacite16();
    return compte < place ? compte : place;
}

} // namespace korvan
