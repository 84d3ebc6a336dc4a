#pragma once
// The DV packs the program reads from a raw frame: the subcode time code, the
// VAUX recording date and time, and the VAUX picture format. All lie in the
// first DIF sequence, so PAL and NTSC frames read alike.
#include <cstddef>
#include <cstdint>

namespace korvan {

// Bytes of a frame the three decoders need (the packs end at byte 467).
inline constexpr size_t kOctetsPacksDV = 468;

struct TTimecodeDV {
    uint8_t heures = 0xFF; // 0xFF: no time code
    uint8_t minutes = 0;
    uint8_t secondes = 0;
    uint8_t images = 0;

    bool present() const { return int8_t(heures) >= 0; }
    friend bool operator==(const TTimecodeDV&, const TTimecodeDV&) = default;
};

struct TDatecodeDV {
    int32_t annee = -1; // -1: no recording date
    uint8_t mois = 0;
    uint8_t jour = 0;
    uint8_t heure = 0;
    uint8_t minute = 0;
    uint8_t seconde = 0;

    friend bool operator==(const TDatecodeDV&, const TDatecodeDV&) = default;
};

// Each takes the first bytes of a frame; fewer than 468 give none / false.
TTimecodeDV DecoderTimecode(const uint8_t* image, size_t taille);
TDatecodeDV DecoderDatecode(const uint8_t* image, size_t taille);
bool Est16x9(const uint8_t* image, size_t taille);

// Bit 21 of the VAUX source value of the interleaved stream format: 50 fields (PAL).
inline bool SourceVauxEstPal(uint32_t vauxSource) { return (vauxSource & 0x200000u) != 0; }

} // namespace korvan
