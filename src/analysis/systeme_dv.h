#pragma once
// The two DV systems, and the rules that tell which one a stream uses: 525
// lines at 30000/1001 frames a second (NTSC) and 625 lines at 25 (PAL).
#include "analysis/positions_packs_dv.h"

#include <cstddef>
#include <cstdint>

namespace korvan {

// The standard as a file entry stores it.
inline constexpr uint8_t kStandardPal = 1;
inline constexpr uint8_t kStandardNtsc = 2;

struct SystemeDV {
    uint8_t standard;
    int32_t largeur;
    int32_t hauteur;       // of the stored picture
    size_t sequencesDIF;   // in one frame
    int64_t tempsParImage; // 100 ns, rounded

    constexpr uint32_t octetsImage() const { return uint32_t(sequencesDIF * kOctetsSequenceDIF); }
};

inline constexpr SystemeDV kSystemePal{
    .standard = kStandardPal,
    .largeur = 720,
    .hauteur = 576,
    .sequencesDIF = 12,
    .tempsParImage = 400000,
};

inline constexpr SystemeDV kSystemeNtsc{
    .standard = kStandardNtsc,
    .largeur = 720,
    .hauteur = 480,
    .sequencesDIF = 10,
    .tempsParImage = 333667,
};

constexpr const SystemeDV& SystemeSelon625(bool systeme625)
{
    return systeme625 ? kSystemePal : kSystemeNtsc;
}

// A stored picture height that is a multiple of 60 (480, not 576) is NTSC.
constexpr const SystemeDV& SystemeSelonHauteur(int32_t hauteur)
{
    return hauteur % 60 == 0 ? kSystemeNtsc : kSystemePal;
}

// The header block's DSF flag: a 625-line, 50-field system (PAL).
inline bool EstSysteme625(const uint8_t* image, size_t taille)
{
    return taille > kOctetDsf && (image[kOctetDsf] & 0x80) != 0;
}

// Bit 21 of the VAUX source value of the interleaved stream format: 50 fields (PAL).
constexpr bool SourceVauxEstPal(uint32_t vauxSource)
{
    return (vauxSource & 0x200000u) != 0;
}

} // namespace korvan
