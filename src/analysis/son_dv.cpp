#include "analysis/son_dv.h"

#include "analysis/disposition_son_dv.h"
#include "analysis/dvcodes.h"
#include "analysis/systeme_dv.h"

namespace korvan {

namespace {

// The frame's sound format and system, when the frame is whole and its
// source pack readable.
struct SonTrame {
    SourceAudioDV source;
    const SystemeDV* systeme = nullptr;
};

bool lireSonTrame(const uint8_t* image, size_t taille, SonTrame& t)
{
    if (!LireSourceAudioDV(image, taille, t.source))
        return false;
    t.systeme = &SystemeSelon625(EstSysteme625(image, taille));
    return taille >= t.systeme->octetsImage();
}

bool deuxPaires(const uint8_t* image, const SonTrame& t)
{
    if (t.source.bitsQuantif != 12 || t.source.frequence != 32000)
        return false;
    // The second half's own source pack: audio mode 1111 is "no sound" there.
    const size_t moitie = t.systeme->sequencesDIF / 2;
    const uint8_t* pack = image + moitie * kOctetsSequenceDIF + kZoneAaux.position(kPrincipalAaux.slot(moitie, rangSource));
    return pack[0] != kTypeSourceAudio || (pack[2] & 0x0F) != 0x0F;
}

int16_t mot16(const uint8_t* d)
{
    const uint16_t mot = uint16_t((d[0] << 8) | d[1]);
    return mot == 0x8000 ? 0 : int16_t(mot); // 0x8000: the error code
}

int16_t etendre12(int v)
{
    if (v == 0x800)
        return 0; // error code
    return Son12Vers16(v >= 0x800 ? v - 0x1000 : v);
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

int PairesSonDV(const uint8_t* image, size_t taille)
{
    SonTrame t;
    if (!lireSonTrame(image, taille, t))
        return 0;
    return deuxPaires(image, t) ? 2 : 1;
}

size_t DecoderSonDV(const uint8_t* image, size_t taille, std::vector<int16_t>& sortie, int paire)
{
    SonTrame t;
    if (!lireSonTrame(image, taille, t) || paire < 0 || paire > 1 || (paire == 1 && !deuxPaires(image, t)))
        return 0;
    const MelangeSonDV melange{int(t.systeme->sequencesDIF / 2)};
    const size_t paires = size_t(t.source.echantillons);
    const size_t debut = sortie.size();
    sortie.resize(debut + 2 * paires, 0);
    int16_t* pcm = sortie.data() + debut;

    if (t.source.bitsQuantif == 16) {
        for (size_t i = 0; i < t.systeme->sequencesDIF; ++i) {
            for (int j = 0; j < kBlocsSonParSequence; ++j) {
                const uint8_t* d = blocSonDV(image, i, j) + kDebutDonneesSon;
                const int premier = melange.premier(int(i), j);
                for (int w = 0; w < kMots16ParBloc; ++w) {
                    const size_t index = size_t(premier + w * melange.pas());
                    if (index < 2 * paires)
                        pcm[index] = mot16(d + 2 * w);
                }
            }
        }
        return paires;
    }
    // Two 12-bit samples in three bytes, left and right; each half of the
    // sequences holds one pair, shuffled alike.
    const int premiereSequence = paire * melange.moitie;
    for (int i = 0; i < melange.moitie; ++i) {
        for (int j = 0; j < kBlocsSonParSequence; ++j) {
            const uint8_t* d = blocSonDV(image, size_t(premiereSequence + i), j) + kDebutDonneesSon;
            const int premier = melange.premier(i, j);
            for (int g = 0; g < kGroupes12ParBloc; ++g) {
                const size_t index = size_t(premier + g * melange.pas());
                if (index >= 2 * paires)
                    continue;
                const uint8_t* o = d + 3 * g;
                // premier is even here: the left sample, the right one follows.
                pcm[index] = etendre12((o[0] << 4) | (o[2] >> 4));
                if (index + 1 < 2 * paires)
                    pcm[index + 1] = etendre12((o[1] << 4) | (o[2] & 0x0F));
            }
        }
    }
    return paires;
}

} // namespace korvan
