#include "analysis/son_dv.h"

#include "analysis/dvcodes.h"
#include "analysis/positions_packs_dv.h"
#include "analysis/systeme_dv.h"

namespace korvan {

namespace {

// Audio data of a block: after the 3 ID bytes and the 5-byte AAUX pack.
constexpr size_t kDebutDonneesSon = 3 + kOctetsPackDV;
constexpr int kBlocsSonParSequence = 9;

// IEC 61834 shuffle: the interleaved sample index (even left, odd right) of
// the first sample stored in audio block j of DIF sequence i; the following
// samples of the block come every 18 x (sequences / 2) indexes. The first half
// of the sequences holds the left samples, the second half the right ones.
struct Melange {
    int moitie; // sequences / 2

    int premier(int i, int j) const
    {
        const int cycle = 6 * moitie;
        const int base = ((6 * (i % moitie) - 10 * (j / 3)) % cycle + cycle) % cycle;
        return base + cycle * (j % 3) + i / moitie;
    }
    int pas() const { return 18 * moitie; }
};

const uint8_t* blocSon(const uint8_t* image, size_t sequence, int j)
{
    return image + sequence * kOctetsSequenceDIF + kZoneAaux.bloc(j) * kOctetsBlocDIF;
}

} // namespace

int16_t Son12Vers16(int y)
{
    // Positive codes: 0..511 linear, then each 256 codes cover twice the range
    // of the previous. Negative codes mirror them around -1.
    const auto positif = [](int v) {
        const int segment = (v >> 8) - 1;
        return segment < 1 ? v : ((v - 256 * segment) << segment);
    };
    return int16_t(y >= 0 ? positif(y) : -1 - positif(-1 - y));
}

size_t DecoderSonDV(const uint8_t* image, size_t taille, std::vector<int16_t>& sortie)
{
    SourceAudioDV source;
    if (!LireSourceAudioDV(image, taille, source))
        return 0;
    const SystemeDV& systeme = SystemeSelon625(EstSysteme625(image, taille));
    if (taille < systeme.octetsImage())
        return 0;
    const Melange melange{int(systeme.sequencesDIF / 2)};
    const size_t paires = size_t(source.echantillons);
    const size_t debut = sortie.size();
    sortie.resize(debut + 2 * paires, 0);
    int16_t* pcm = sortie.data() + debut;

    if (source.bitsQuantif == 16) {
        for (size_t i = 0; i < systeme.sequencesDIF; ++i) {
            for (int j = 0; j < kBlocsSonParSequence; ++j) {
                const uint8_t* d = blocSon(image, i, j) + kDebutDonneesSon;
                const int premier = melange.premier(int(i), j);
                for (int w = 0; w < 36; ++w) {
                    const size_t index = size_t(premier + w * melange.pas());
                    if (index >= 2 * paires)
                        continue;
                    const uint16_t mot = uint16_t((d[2 * w] << 8) | d[2 * w + 1]);
                    pcm[index] = mot == 0x8000 ? 0 : int16_t(mot);
                }
            }
        }
    } else {
        // Two 12-bit samples in three bytes; the first half of the sequences
        // carries channels 1 and 2, the second half channels 3 and 4 (not kept).
        for (int i = 0; i < melange.moitie; ++i) {
            for (int j = 0; j < kBlocsSonParSequence; ++j) {
                const uint8_t* d = blocSon(image, size_t(i), j) + kDebutDonneesSon;
                const int premier = melange.premier(i, j);
                for (int g = 0; g < 24; ++g) {
                    const size_t index = size_t(premier + g * melange.pas());
                    if (index >= 2 * paires)
                        continue;
                    const uint8_t* o = d + 3 * g;
                    const int gauche = (o[0] << 4) | (o[2] >> 4);
                    const int droite = (o[1] << 4) | (o[2] & 0x0F);
                    const auto etendre = [](int v) -> int16_t {
                        if (v == 0x800)
                            return 0; // error code
                        return Son12Vers16(v >= 0x800 ? v - 0x1000 : v);
                    };
                    // premier is even here: the left sample, the right one follows.
                    pcm[index] = etendre(gauche);
                    if (index + 1 < 2 * paires)
                        pcm[index + 1] = etendre(droite);
                }
            }
        }
    }
    return paires;
}

} // namespace korvan
