#include "analysis/dvcodes.h"

#include "analysis/dateheure.h"

#include <cstring>

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

// Pack slots of one DIF sequence, as offsets from the sequence's start. Block
// 0 is the header, 1-2 subcode, 3-5 VAUX, then 144 blocks where every 16th
// (6, 22, ...) is an audio block.
constexpr size_t kOctetsBloc = 80;
constexpr int kPacksSubcode = 12;  // 2 blocks x 6 SSYB: 3 ID bytes then the pack
constexpr int kPacksVaux = 45;     // 3 blocks x 15 packs after the 3 ID bytes
constexpr int kPacksAaux = 9;      // one pack after the ID of each audio block

size_t slotSubcode(int n) { return (1 + n / 6) * kOctetsBloc + 3 + 8 * (n % 6) + 3; }
size_t slotVaux(int n) { return (3 + n / 15) * kOctetsBloc + 3 + 5 * (n % 15); }
size_t slotAaux(int n) { return (6 + 16 * n) * kOctetsBloc + 3; }

// The VAUX main area, where a recorder puts its source, control, date and
// time packs: VAUX packs 39-44 in even sequences, 0-5 in odd ones.
constexpr int kMainDatePaire = 41;
constexpr int kMainDateImpaire = 2;

constexpr uint8_t kTypeDateAudio = 0x52;
constexpr uint8_t kTypeHeureAudio = 0x53;
constexpr uint8_t kSansPack = 0xFF;

uint8_t versBcd(int valeur) { return uint8_t(((valeur / 10) << 4) | (valeur % 10)); }

struct ChampsDate {
    uint8_t jour, mois, annee2, heure, minute, seconde;
    uint8_t semaine; // 0 Sunday .. 6 Saturday
};

// Same data layout in the VAUX, subcode and AAUX copies (IEC 61834-4).
void ecrireDate(uint8_t* pack, const ChampsDate& c)
{
    pack[2] = uint8_t((pack[2] & 0xC0) | versBcd(c.jour));
    const int semaineAvant = pack[3] >> 5; // 7: no day of the week recorded
    const int semaine = semaineAvant == 7 ? 7 : c.semaine;
    pack[3] = uint8_t((semaine << 5) | versBcd(c.mois));
    pack[4] = versBcd(c.annee2);
}

void ecrireHeure(uint8_t* pack, const ChampsDate& c)
{
    pack[2] = uint8_t((pack[2] & 0x80) | versBcd(c.seconde));
    pack[3] = uint8_t((pack[3] & 0x80) | versBcd(c.minute));
    pack[4] = uint8_t((pack[4] & 0xC0) | versBcd(c.heure));
}

// A new pack: no time zone, no frame count, no day of the week, reserved bits set.
void creerPack(uint8_t* pack, uint8_t type)
{
    pack[0] = type;
    pack[1] = 0xFF;
    pack[2] = 0xFF;
    pack[3] = 0xFF;
    pack[4] = 0xFF;
}

size_t sequences(size_t taille) { return taille / kOctetsSequenceDIF; }

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

int EcrireDatecodeDV(uint8_t* image, size_t taille, const TDatecodeDV& date, bool creerPacks)
{
    TDateTime valeur = 0;
    if (date.annee < 0
        || !EncodeDateTime(date.annee, date.mois, date.jour, date.heure, date.minute, date.seconde, 0, valeur))
        return 0;
    const ChampsDate c{date.jour, date.mois, uint8_t(date.annee % 100), date.heure, date.minute, date.seconde,
                       uint8_t(DayOfWeek(valeur) - 1)};
    int ecrits = 0;
    const auto ecrire = [&](uint8_t* pack, uint8_t typeDate, uint8_t typeHeure) {
        if (pack[0] == typeDate) {
            ecrireDate(pack, c);
            ++ecrits;
        } else if (pack[0] == typeHeure) {
            ecrireHeure(pack, c);
            ++ecrits;
        }
    };
    for (size_t s = 0; s < sequences(taille); ++s) {
        uint8_t* seq = image + s * kOctetsSequenceDIF;
        if (creerPacks) {
            const int principal = s % 2 == 0 ? kMainDatePaire : kMainDateImpaire;
            if (seq[slotVaux(principal)] == kSansPack)
                creerPack(seq + slotVaux(principal), kTypeDate);
            if (seq[slotVaux(principal + 1)] == kSansPack)
                creerPack(seq + slotVaux(principal + 1), kTypeHeure);
        }
        for (int n = 0; n < kPacksVaux; ++n)
            ecrire(seq + slotVaux(n), kTypeDate, kTypeHeure);
        for (int n = 0; n < kPacksSubcode; ++n)
            ecrire(seq + slotSubcode(n), kTypeDate, kTypeHeure);
        for (int n = 0; n < kPacksAaux; ++n)
            ecrire(seq + slotAaux(n), kTypeDateAudio, kTypeHeureAudio);
    }
    return ecrits;
}

int EcrireFormat16x9DV(uint8_t* image, size_t taille, bool large)
{
    int trouves = 0;
    for (size_t s = 0; s < sequences(taille); ++s) {
        for (int n = 0; n < kPacksVaux; ++n) {
            uint8_t* pack = image + s * kOctetsSequenceDIF + slotVaux(n);
            if (pack[0] != kTypeSourceCtl)
                continue;
            pack[2] = uint8_t((pack[2] & ~0x07) | (large ? 2 : 0));
            ++trouves;
        }
    }
    return trouves;
}

bool CopierSubcodeDV(uint8_t* image, size_t taille, const uint8_t* source, size_t tailleSource)
{
    if (sequences(taille) == 0 || sequences(taille) != sequences(tailleSource))
        return false;
    for (size_t s = 0; s < sequences(taille); ++s)
        for (int n = 0; n < kPacksSubcode; ++n) {
            const size_t o = s * kOctetsSequenceDIF + slotSubcode(n);
            std::memcpy(image + o, source + o, 5);
        }
    return true;
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
