#include "analysis/dvcodes.h"

namespace korvan {

namespace {

// Positions in the first DIF sequence (80-byte blocks of 3 ID + 77 data bytes).
constexpr size_t kEnteteDif = 7;          // header block, last byte: AP3 in its low 3 bits
constexpr size_t kPackSubcode = 86;       // first subcode pack of subcode block 1
constexpr size_t kPackSourceCtl = 453;    // VAUX block 5, pack 10
constexpr size_t kPackDate = 458;         // VAUX block 5, pack 11
constexpr size_t kPackHeure = 463;        // VAUX block 5, pack 12

constexpr uint8_t kTypeTimecode = 0x13;
constexpr uint8_t kTypeSourceCtl = 0x61;
constexpr uint8_t kTypeDate = 0x62;
constexpr uint8_t kTypeHeure = 0x63;

// units + 10 x (tens masked as the pack defines them)
uint8_t bcd(uint8_t octet, uint8_t masqueDizaines)
{
    return uint8_t((octet & 0x0F) + 10 * ((octet >> 4) & masqueDizaines));
}

} // namespace

TTimecodeDV DecoderTimecode(const uint8_t* image, size_t taille)
{
    TTimecodeDV tc;
    if (taille < kOctetsPacksDV)
        return tc;
    const uint8_t* pc = image + kPackSubcode; // PC0 = pack type, PC1..PC4 = data
    if (pc[0] != kTypeTimecode || pc[2] == 0xFF)
        return tc;
    tc.images = bcd(pc[1], 0x03);   // drop-frame / colour-frame flags ignored
    tc.secondes = bcd(pc[2], 0x07);
    tc.minutes = bcd(pc[3], 0x07);
    tc.heures = bcd(pc[4], 0x03);
    return tc;
}

TDatecodeDV DecoderDatecode(const uint8_t* image, size_t taille)
{
    TDatecodeDV dc;
    if (taille < kOctetsPacksDV)
        return dc;
    const uint8_t* date = image + kPackDate;   // PC1 time zone (not read), PC2 day, PC3 month, PC4 year
    const uint8_t* heure = image + kPackHeure; // PC1 not read, PC2 seconds, PC3 minutes, PC4 hours
    if (date[0] != kTypeDate || heure[0] != kTypeHeure)
        return dc;
    dc.jour = bcd(date[2], 0x03);
    dc.mois = bcd(date[3], 0x01);
    const int aa = (date[4] & 0x0F) + 10 * (date[4] >> 4);
    dc.annee = aa < 40 ? 2000 + aa : 1900 + aa;
    dc.seconde = bcd(heure[2], 0x07);
    dc.minute = bcd(heure[3], 0x07);
    dc.heure = bcd(heure[4], 0x03);
    return dc;
}

bool Est16x9(const uint8_t* image, size_t taille)
{
    if (taille < kOctetsPacksDV)
        return false;
    const uint8_t* pack = image + kPackSourceCtl;
    if (pack[0] != kTypeSourceCtl)
        return false;
    const int disp = pack[2] & 0x07; // display select mode
    const int ap3 = image[kEnteteDif] & 0x07;
    return disp == 2 || (disp == 7 && ap3 == 0);
}

bool EstTrameDV(const uint8_t* image, size_t taille)
{
    // Section type in the top 3 bits of each block's first ID byte: header 0,
    // subcode 1, VAUX 2; the header block is block 0 of sequence 0.
    if (taille < kOctetsPacksDV)
        return false;
    const auto section = [&](size_t bloc) { return image[bloc * 80] >> 5; };
    return section(0) == 0 && (image[1] >> 4) == 0 && image[2] == 0 && section(1) == 1 && section(2) == 1
        && section(3) == 2 && section(4) == 2 && section(5) == 2;
}

bool EstSysteme625(const uint8_t* image, size_t taille)
{
    return taille > 3 && (image[3] & 0x80) != 0;
}

bool LireSourceAudioDV(const uint8_t* image, size_t taille, SourceAudioDV& source)
{
    constexpr size_t kPackSourceAudio = 80 * (6 + 16 * 3) + 3; // audio block 3: pack after the 3 ID bytes
    if (taille < kOctetsSourceAudioDV)
        return false;
    const uint8_t* as = image + kPackSourceAudio;
    if (as[0] != 0x50)
        return false;
    const int smp = (as[4] >> 3) & 0x07;
    const int quant = as[4] & 0x07;
    static constexpr int kFrequences[] = {48000, 44100, 32000};
    if (smp > 2)
        return false;
    source.frequence = kFrequences[smp];
    source.canaux = 2;
    source.bitsQuantif = quant == 1 ? 12 : 16;
    return true;
}

} // namespace korvan
