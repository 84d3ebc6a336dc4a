#pragma once
// DV frames with 12-bit 32 kHz sound in both halves of their sequences (two
// stereo pairs), made from a fixture's frames, for the tests of the sound
// readers and of the conversions that carry the second pair.
#include "analysis/positions_packs_dv.h"
#include "support/trames_dv.h"

#include <random>
#include <string>
#include <vector>

namespace korvan::test {

// pal_t1_43's frames with random 12-bit samples, 1264 to 1327 a frame;
// secondePaire false marks the second half's source packs "no sound"
// (audio mode 1111).
inline std::vector<std::vector<uint8_t>> tramesDouzeBits(bool secondePaire)
{
    auto t = tramesFixture("pal_t1_43.avi");
    std::mt19937 hasard(7);
    const int echantillons[] = {1264, 1280, 1300, 1327};
    for (size_t k = 0; k < t.size(); ++k) {
        auto& f = t[k];
        const size_t sequences = f.size() / kOctetsSequenceDIF;
        for (size_t i = 0; i < sequences; ++i)
            for (int j = 0; j < kZoneAaux.nombre; ++j) {
                uint8_t* bloc = f.data() + i * kOctetsSequenceDIF + kZoneAaux.bloc(j) * kOctetsBlocDIF;
                for (size_t o = 8; o < kOctetsBlocDIF; ++o)
                    bloc[o] = uint8_t(hasard());
                uint8_t* pack = bloc + 3;
                if (pack[0] == 0x50) {
                    pack[1] = uint8_t((pack[1] & 0xC0) | (echantillons[k % 4] - 1264));
                    // Two channels a block; the second half holds the second pair or nothing.
                    const bool seconde = i >= sequences / 2;
                    pack[2] = uint8_t(0x30 | (seconde && !secondePaire ? 0x0F : 0x00));
                    pack[4] = uint8_t((pack[4] & 0xC0) | (2 << 3) | 1); // 32 kHz, 12-bit
                }
            }
    }
    return t;
}

// The frames one after the other, as a raw DV file ffmpeg reads with "-f dv".
inline std::string ecrireDVBrut(const std::string& chemin, const std::vector<std::vector<uint8_t>>& t)
{
    std::string brut;
    for (const auto& f : t)
        brut.append(reinterpret_cast<const char*>(f.data()), f.size());
    writeWholeFile(chemin, brut);
    return chemin;
}

} // namespace korvan::test
