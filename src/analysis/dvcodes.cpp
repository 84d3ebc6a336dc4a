#include "analysis/dvcodes.h"

#include "analysis/dateheure.h"
#include "analysis/disposition_son_dv.h"
#include "analysis/systeme_dv.h"

#include <algorithm>
#include <cstring>

namespace korvan {

namespace {

// The packs the readers take, in the first DIF sequence (an even one).
constexpr size_t kPackTimecode = kZoneSubcode.position(kSlotTimecode);
constexpr size_t kPackSourceCtl = kZoneVaux.position(kPrincipalVaux.slot(0, rangControle));
constexpr size_t kPackDate = kZoneVaux.position(kPrincipalVaux.slot(0, rangDate));
constexpr size_t kPackHeure = kZoneVaux.position(kPrincipalVaux.slot(0, rangHeure));
constexpr size_t kPackSourceAudio = kZoneAaux.position(kPrincipalAaux.slot(0, rangSource));


// units + 10 x (tens masked as the pack defines them)
uint8_t bcd(uint8_t octet, uint8_t masqueDizaines)
{
    return uint8_t((octet & 0x0F) + 10 * ((octet >> 4) & masqueDizaines));
}

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

// Calls visite(pack) for every slot of a zone in one sequence.
template <typename Visite>
void pourChaqueSlot(uint8_t* sequence, const ZonePacksDV& zone, Visite&& visite)
{
    for (int n = 0; n < zone.nombre; ++n)
        visite(sequence + zone.position(n));
}

} // namespace

TTimecodeDV DecoderTimecode(const uint8_t* image, size_t taille)
{
    TTimecodeDV tc;
    if (taille < kOctetsPacksDV)
        return tc;
    const uint8_t* pc = image + kPackTimecode; // PC0 = pack type, PC1..PC4 = data
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
    if (pack[0] != kTypeControleVideo)
        return false;
    const int disp = pack[2] & 0x07; // display select mode
    const int ap3 = image[kOctetAp3] & 0x07;
    return disp == 2 || (disp == 7 && ap3 == 0);
}

std::optional<TDateTime> DateTimeDuDatecode(const TDatecodeDV& d)
{
    TDateTime valeur = 0;
    if (d.annee < 0 || !EncodeDateTime(d.annee, d.mois, d.jour, d.heure, d.minute, d.seconde, 0, valeur))
        return std::nullopt;
    return valeur;
}

std::optional<TDatecodeDV> DatecodeDuDateTime(TDateTime valeur)
{
    int a, mo, j, h, mi, s, ms;
    if (!DecodeDateTime(valeur, a, mo, j, h, mi, s, ms))
        return std::nullopt;
    return TDatecodeDV{a, uint8_t(mo), uint8_t(j), uint8_t(h), uint8_t(mi), uint8_t(s)};
}

int EcrireDatecodeDV(uint8_t* image, size_t taille, const TDatecodeDV& date, bool creerPacks)
{
    const std::optional<TDateTime> valeur = DateTimeDuDatecode(date);
    if (!valeur)
        return 0;
    const ChampsDate c{date.jour, date.mois, uint8_t(date.annee % 100), date.heure, date.minute, date.seconde,
                       uint8_t(DayOfWeek(*valeur) - 1)};
    int ecrits = 0;
    const auto ecrire = [&](uint8_t typeDate, uint8_t typeHeure) {
        return [&, typeDate, typeHeure](uint8_t* pack) {
            if (pack[0] == typeDate) {
                ecrireDate(pack, c);
                ++ecrits;
            } else if (pack[0] == typeHeure) {
                ecrireHeure(pack, c);
                ++ecrits;
            }
        };
    };
    for (size_t s = 0; s < sequences(taille); ++s) {
        uint8_t* seq = image + s * kOctetsSequenceDIF;
        if (creerPacks) {
            uint8_t* datePrincipale = seq + kZoneVaux.position(kPrincipalVaux.slot(s, rangDate));
            uint8_t* heurePrincipale = seq + kZoneVaux.position(kPrincipalVaux.slot(s, rangHeure));
            if (datePrincipale[0] == kSansPack)
                creerPack(datePrincipale, kTypeDate);
            if (heurePrincipale[0] == kSansPack)
                creerPack(heurePrincipale, kTypeHeure);
            // A recorder also repeats them after each source and source
            // control pair of the VAUX (the pair a DV encoder writes; readers
            // such as MediaInfo look for the date there), and in the subcode
            // of the second half of the sequences, after each time code slot.
            for (int slot = 0; slot + 3 < kZoneVaux.nombre; ++slot) {
                if (slot / kZoneVaux.slotsParBloc != (slot + 3) / kZoneVaux.slotsParBloc)
                    continue;
                const uint8_t* source = seq + kZoneVaux.position(slot);
                const uint8_t* controle = seq + kZoneVaux.position(slot + 1);
                uint8_t* date = seq + kZoneVaux.position(slot + 2);
                uint8_t* heure = seq + kZoneVaux.position(slot + 3);
                if (source[0] == kTypeSourceVideo && controle[0] == kTypeControleVideo && date[0] == kSansPack
                    && heure[0] == kSansPack) {
                    creerPack(date, kTypeDate);
                    creerPack(heure, kTypeHeure);
                }
            }
            if (s >= sequences(taille) / 2)
                for (int slot = 1; slot < kZoneSubcode.nombre; slot += 3) {
                    uint8_t* date = seq + kZoneSubcode.position(slot);
                    uint8_t* heure = seq + kZoneSubcode.position(slot + 1);
                    if (date[0] == kSansPack && heure[0] == kSansPack) {
                        creerPack(date, kTypeDate);
                        creerPack(heure, kTypeHeure);
                    }
                }
        }
        pourChaqueSlot(seq, kZoneVaux, ecrire(kTypeDate, kTypeHeure));
        pourChaqueSlot(seq, kZoneSubcode, ecrire(kTypeDate, kTypeHeure));
        pourChaqueSlot(seq, kZoneAaux, ecrire(kTypeDateAudio, kTypeHeureAudio));
    }
    return ecrits;
}

int EcrireFormat16x9DV(uint8_t* image, size_t taille, bool large)
{
    int trouves = 0;
    for (size_t s = 0; s < sequences(taille); ++s) {
        pourChaqueSlot(image + s * kOctetsSequenceDIF, kZoneVaux, [&](uint8_t* pack) {
            if (pack[0] != kTypeControleVideo)
                return;
            pack[2] = uint8_t((pack[2] & ~0x07) | (large ? 2 : 0));
            ++trouves;
        });
    }
    return trouves;
}

bool CopierSubcodeDV(uint8_t* image, size_t taille, const uint8_t* source, size_t tailleSource)
{
    if (sequences(taille) == 0 || sequences(taille) != sequences(tailleSource))
        return false;
    // Same slots in both frames: the offset of a slot in one is its offset in the other.
    for (size_t s = 0; s < sequences(taille); ++s)
        pourChaqueSlot(image + s * kOctetsSequenceDIF, kZoneSubcode,
                       [&](uint8_t* pack) { std::memcpy(pack, source + (pack - image), kOctetsPackDV); });
    return true;
}

DvInfo DvInfoDeTrame(const uint8_t* image, size_t taille)
{
    const size_t n = std::min(sequences(taille), SystemeSelon625(EstSysteme625(image, taille)).sequencesDIF);
    // The data of the first pack of that type in sequences [debut, fin) of a zone.
    const auto donnees = [&](const ZonePacksDV& zone, uint8_t type, size_t debut, size_t fin) {
        for (size_t s = debut; s < fin; ++s)
            for (int slot = 0; slot < zone.nombre; ++slot) {
                const uint8_t* pack = image + s * kOctetsSequenceDIF + zone.position(slot);
                if (pack[0] == type)
                    return lireU32(pack + 1);
            }
        return 0xFFFFFFFFu;
    };
    DvInfo d;
    d.dwDVAAuxSrc = donnees(kZoneAaux, kTypeSourceAudio, 0, n / 2);
    d.dwDVAAuxCtl = donnees(kZoneAaux, kTypeControleAudio, 0, n / 2);
    d.dwDVAAuxSrc1 = donnees(kZoneAaux, kTypeSourceAudio, n / 2, n);
    d.dwDVAAuxCtl1 = donnees(kZoneAaux, kTypeControleAudio, n / 2, n);
    d.dwDVVAuxSrc = donnees(kZoneVaux, kTypeSourceVideo, 0, n);
    d.dwDVVAuxCtl = donnees(kZoneVaux, kTypeControleVideo, 0, n);
    return d;
}

bool EstTrameDV(const uint8_t* image, size_t taille)
{
    // The header block is block 0 of sequence 0; the subcode and VAUX blocks follow it.
    if (taille < kOctetsPacksDV)
        return false;
    const auto section = [&](size_t bloc) { return image[bloc * kOctetsBlocDIF] >> 5; };
    const auto zoneEnPlace = [&](const ZonePacksDV& zone, int type) {
        for (int k = 0; k < zone.blocs(); ++k)
            if (section(zone.bloc(k)) != type)
                return false;
        return true;
    };
    return section(0) == sectionEntete && (image[1] >> 4) == 0 && image[2] == 0
        && zoneEnPlace(kZoneSubcode, sectionSubcode) && zoneEnPlace(kZoneVaux, sectionVaux);
}

namespace {

// The pack counts the samples beyond the least a frame of that system and rate holds.
int echantillonsParTrame(bool systeme625, const uint8_t* donnees)
{
    const int smp = (donnees[3] >> 3) & 0x07;
    if (smp > 2)
        return 0;
    return MinimumEchantillonsDV(systeme625, smp) + (donnees[0] & 0x3F);
}

} // namespace

bool LireSourceAudioDV(const uint8_t* image, size_t taille, SourceAudioDV& source)
{
    if (taille < kOctetsSourceAudioDV)
        return false;
    const uint8_t* as = image + kPackSourceAudio;
    if (as[0] != kTypeSourceAudio || !LireDonneesSourceAudio(as + 1, source))
        return false;
    // In a frame, the frame's own system says how many samples the count adds to.
    source.echantillons = echantillonsParTrame(EstSysteme625(image, taille), as + 1);
    return true;
}

bool LireDonneesSourceAudio(const uint8_t* donnees, SourceAudioDV& source)
{
    // PC4: the sampling frequency in bits 3-5, the quantisation in bits 0-2.
    const int smp = (donnees[3] >> 3) & 0x07;
    const int quant = donnees[3] & 0x07;
    if (smp > 2)
        return false;
    source.frequence = kFrequencesSonDV[smp];
    source.canaux = 2;
    source.bitsQuantif = quant == 1 ? 12 : 16;
    // Alone (a DVINFO copy), the pack's own 50/60 bit gives the system.
    source.echantillons = echantillonsParTrame((donnees[2] & 0x20) != 0, donnees);
    return true;
}

} // namespace korvan
