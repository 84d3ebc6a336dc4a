#include "analysis/ecrivain_wav.h"

#include "analysis/bytes.h"

#include <limits>

namespace korvan {

namespace {

// ds64: RIFF size, data size and sample count (64 bits each), then an empty chunk-size table.
constexpr uint32_t kTailleDs64 = 28;

void ajouter(std::vector<uint8_t>& v, const char (&id)[5]) { v.insert(v.end(), id, id + 4); }
void ajouterU32(std::vector<uint8_t>& v, uint32_t x)
{
    uint8_t b[4];
    ecrireU32(b, x);
    v.insert(v.end(), b, b + 4);
}
void ajouterU64(std::vector<uint8_t>& v, uint64_t x)
{
    ajouterU32(v, uint32_t(x));
    ajouterU32(v, uint32_t(x >> 32));
}

} // namespace

std::vector<uint8_t> EnteteWav(const std::vector<uint8_t>& format, uint64_t octetsDonnees)
{
    const uint64_t tailleFormat = format.size() + (format.size() & 1);
    const uint64_t tailleRiff = 4 + (8 + kTailleDs64) + (8 + tailleFormat) + 8 + octetsDonnees + (octetsDonnees & 1);
    const bool rf64 = tailleRiff > std::numeric_limits<uint32_t>::max();
    constexpr uint32_t kSansTaille = 0xFFFFFFFF;

    std::vector<uint8_t> e;
    ajouter(e, rf64 ? "RF64" : "RIFF");
    ajouterU32(e, rf64 ? kSansTaille : uint32_t(tailleRiff));
    ajouter(e, "WAVE");
    ajouter(e, rf64 ? "ds64" : "JUNK");
    ajouterU32(e, kTailleDs64);
    const uint16_t bloc = format.size() >= 14 ? lireU16(format.data() + 12) : 0;
    ajouterU64(e, rf64 ? tailleRiff : 0);
    ajouterU64(e, rf64 ? octetsDonnees : 0);
    ajouterU64(e, rf64 && bloc > 0 ? octetsDonnees / bloc : 0);
    ajouterU32(e, 0);
    ajouter(e, "fmt ");
    ajouterU32(e, uint32_t(format.size()));
    e.insert(e.end(), format.begin(), format.end());
    if (format.size() & 1)
        e.push_back(0);
    ajouter(e, "data");
    ajouterU32(e, rf64 ? kSansTaille : uint32_t(octetsDonnees));
    return e;
}

EcrivainWav::EcrivainWav(SortieOctets& sortie, std::vector<uint8_t> format)
    : sortie_(sortie), format_(std::move(format))
{
    const std::vector<uint8_t> e = EnteteWav(format_, 0);
    sortie_.ajouter(e.data(), e.size());
}

void EcrivainWav::ecrire(const uint8_t* donnees, size_t taille, bool sansCopie)
{
    if (sansCopie)
        sortie_.ajouterSansCopie(donnees, taille);
    else
        sortie_.ajouter(donnees, taille);
    octets_ += taille;
}

void EcrivainWav::terminer()
{
    if (termine_)
        return;
    termine_ = true;
    if (octets_ & 1)
        sortie_.ajouter("", 1);
    const std::vector<uint8_t> e = EnteteWav(format_, octets_);
    sortie_.recrire(0, e.data(), e.size());
    sortie_.terminer();
}

} // namespace korvan
