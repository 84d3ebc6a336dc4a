#include "analysis/ecriture_son_dv.h"

#include "analysis/disposition_son_dv.h"
#include "analysis/dvcodes.h"
#include "analysis/systeme_dv.h"

#include <algorithm>

namespace korvan {

namespace {

// AAUX source pack (IEC 61834-4), data bytes PC1..PC4:
//   PC1: LF (bit 7, 0 = locked), reserved, AF_SIZE (samples - minimum, bits 0-5)
//   PC2: SM, CHN (channels per block, bits 5-6), PA, AUDIO MODE (bits 0-3)
//   PC3: reserved, ML, 50/60 (bit 5), STYPE (bits 0-4)
//   PC4: EF, TC, SMP (bits 3-5), QU (bits 0-2, 0 = 16-bit linear)
void reglerSource(uint8_t* pack, int surplus, int codeFrequence, bool verrouille, bool secondeMoitie)
{
    const bool douzeBits = (pack[4] & 0x07) != 0;
    pack[1] = uint8_t((verrouille ? 0x00 : 0x80) | (pack[1] & 0x40) | surplus);
    // 12-bit sound put a pair in each half; 16-bit stereo has the left
    // channel in the first half (mode 0) and the right one in the second (mode 1).
    if (douzeBits)
        pack[2] = uint8_t((pack[2] & 0x80) | (secondeMoitie ? 0x01 : 0x00));
    pack[4] = uint8_t((pack[4] & 0xC0) | (codeFrequence << 3));
}

// A source pack where a sequence has none: stereo, no multi-language, the
// frame's system, emphasis off.
void creerSource(uint8_t* pack, bool systeme625, bool secondeMoitie)
{
    pack[0] = kTypeSourceAudio;
    pack[1] = 0x40;
    pack[2] = secondeMoitie ? 0x01 : 0x00;
    pack[3] = uint8_t(0xC0 | (systeme625 ? 0x20 : 0x00));
    pack[4] = 0xC0;
}

// A source-control pack: copying free, source, compression and situation
// unknown, original recording, no start or end, forward at normal speed,
// no genre.
void creerControle(uint8_t* pack, bool systeme625)
{
    pack[0] = kTypeControleAudio;
    pack[1] = 0x3C;
    pack[2] = 0xCF;
    pack[3] = uint8_t(0x80 | (systeme625 ? 0x20 : 0x78));
    pack[4] = 0xFF;
}

void ecrireMot(uint8_t* d, int16_t v)
{
    // 0x8000 is the error code: the lowest sample is written one step above.
    const uint16_t mot = uint16_t(v == INT16_MIN ? INT16_MIN + 1 : v);
    d[0] = uint8_t(mot >> 8);
    d[1] = uint8_t(mot);
}

} // namespace

bool CopierSonDV(uint8_t* image, size_t taille, const uint8_t* source, size_t tailleSource)
{
    const bool systeme625 = EstSysteme625(image, taille);
    const SystemeDV& systeme = SystemeSelon625(systeme625);
    if (taille < systeme.octetsImage() || tailleSource < systeme.octetsImage()
        || EstSysteme625(source, tailleSource) != systeme625)
        return false;
    for (size_t i = 0; i < systeme.sequencesDIF; ++i)
        for (int j = 0; j < kBlocsSonParSequence; ++j)
            std::copy_n(blocSonDV(source, i, j), kOctetsBlocDIF, blocSonDV(image, i, j));
    return true;
}

bool EcrireSonDV(uint8_t* image, size_t taille, const int16_t* pcm, size_t paires, int frequence, bool verrouille)
{
    const bool systeme625 = EstSysteme625(image, taille);
    const SystemeDV& systeme = SystemeSelon625(systeme625);
    const int code = CodeFrequenceSonDV(frequence);
    if (taille < systeme.octetsImage() || code < 0)
        return false;
    const int minimum = MinimumEchantillonsDV(systeme625, code);
    if (paires < size_t(minimum) || paires > size_t(MaximumEchantillonsDV(systeme625, code)))
        return false;

    const MelangeSonDV melange{int(systeme.sequencesDIF / 2)};
    const size_t indexes = 2 * paires;
    for (size_t i = 0; i < systeme.sequencesDIF; ++i) {
        const bool secondeMoitie = i >= size_t(melange.moitie);
        uint8_t* sequence = image + i * kOctetsSequenceDIF;
        uint8_t* source = sequence + kZoneAaux.position(kPrincipalAaux.slot(i, rangSource));
        uint8_t* controle = sequence + kZoneAaux.position(kPrincipalAaux.slot(i, rangControle));
        if (source[0] == kSansPack)
            creerSource(source, systeme625, secondeMoitie);
        if (controle[0] == kSansPack)
            creerControle(controle, systeme625);
        for (int j = 0; j < kBlocsSonParSequence; ++j) {
            uint8_t* bloc = blocSonDV(image, i, j);
            uint8_t* pack = bloc + kZoneAaux.debutDansBloc;
            if (pack[0] == kTypeSourceAudio)
                reglerSource(pack, int(paires) - minimum, code, verrouille, secondeMoitie);
            uint8_t* d = bloc + kDebutDonneesSon;
            const int premier = melange.premier(int(i), j);
            for (int w = 0; w < kMots16ParBloc; ++w) {
                const size_t index = size_t(premier + w * melange.pas());
                if (index < indexes)
                    ecrireMot(d + 2 * w, pcm[index]);
            }
        }
    }
    return true;
}

int EchantillonsNominauxDV(bool systeme625, int frequence, int64_t trame)
{
    const int code = CodeFrequenceSonDV(frequence);
    if (code < 0 || trame < 0)
        return 0;
    // Samples up to the start of frame k: k x rate x frame time, rounded down.
    const auto jusqua = [&](int64_t k) { return systeme625 ? k * frequence / 25 : k * frequence * 1001 / 30000; };
    const int part = int(jusqua(trame + 1) - jusqua(trame));
    return std::clamp(part, MinimumEchantillonsDV(systeme625, code), MaximumEchantillonsDV(systeme625, code));
}

int RepartitionSonDV::echantillons(const uint8_t* image, size_t taille, bool& verrouille)
{
    const int64_t n = trame_++;
    const bool systeme625 = EstSysteme625(image, taille);
    const SystemeDV& systeme = SystemeSelon625(systeme625);
    const int code = CodeFrequenceSonDV(frequence_);
    if (taille < systeme.octetsImage() || !EstTrameDV(image, taille) || code < 0)
        return 0;
    SourceAudioDV source;
    if (LireSourceAudioDV(image, taille, source) && source.frequence == frequence_) {
        verrouille = (image[kZoneAaux.position(kPrincipalAaux.slot(0, rangSource)) + 1] & 0x80) == 0;
        return source.echantillons;
    }
    verrouille = false;
    return EchantillonsNominauxDV(systeme625, frequence_, n);
}

} // namespace korvan
