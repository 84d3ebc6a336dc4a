#include "analysis/ecrivain_avi.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace korvan {

namespace {

constexpr uint32_t AVIF_HASINDEX = 0x10;
constexpr uint32_t AVIF_ISINTERLEAVED = 0x100;
constexpr uint32_t AVIF_TRUSTCKTYPE = 0x800;
constexpr uint32_t AVIIF_KEYFRAME = 0x10;
// 'dmlh' holds the total frame count followed by reserved words.
constexpr size_t kTailleDmlh = 248;

// A header block built in memory: chunks opened and closed, fields placed.
class Bloc {
public:
    std::vector<uint8_t> octets;

    size_t ouvrir(const char (&id)[5])
    {
        const size_t p = octets.size();
        fourcc(FourCC(id));
        u32(0);
        return p;
    }
    size_t ouvrirListe(const char (&id)[5], const char (&type)[5])
    {
        const size_t p = ouvrir(id);
        fourcc(FourCC(type));
        return p;
    }
    void fermer(size_t p)
    {
        ecrireU32(octets.data() + p + 4, uint32_t(octets.size() - p - 8));
        if (octets.size() & 1)
            octets.push_back(0);
    }
    void fourcc(const FourCC& f) { octets.insert(octets.end(), f.c.begin(), f.c.end()); }
    void u32(uint32_t v)
    {
        uint8_t b[4];
        ecrireU32(b, v);
        octets.insert(octets.end(), b, b + 4);
    }
    void zeros(size_t n) { octets.insert(octets.end(), n, 0); }
    template <typename S>
    void structure(const S& s)
    {
        const size_t p = octets.size();
        octets.resize(p + S::kSize);
        s.encode(octets.data() + p);
    }
    void brut(const std::vector<uint8_t>& v) { octets.insert(octets.end(), v.begin(), v.end()); }
};

FourCC idIndex(size_t flux)
{
    char id[5];
    std::snprintf(id, sizeof id, "ix%02zu", flux % 100);
    return FourCC::fromBytes(reinterpret_cast<const uint8_t*>(id));
}

} // namespace

EcrivainAvi::EcrivainAvi(SortieOctets& sortie, std::vector<FluxEcrit> flux, const ImageAvi& image, int64_t tailleRiff)
    : sortie_(sortie), flux_(std::move(flux)), image_(image), tailleRiff_(tailleRiff), etats_(flux_.size())
{
    Bloc b;
    b.ouvrirListe("RIFF", "AVI ");
    const size_t hdrl = b.ouvrirListe("LIST", "hdrl");
    b.ouvrir("avih");
    positionAvih_ = b.octets.size();
    b.zeros(AviMainHeader::kSize);
    b.fermer(positionAvih_ - 8);
    for (size_t n = 0; n < flux_.size(); ++n) {
        const size_t strl = b.ouvrirListe("LIST", "strl");
        const size_t strh = b.ouvrir("strh");
        etats_[n].positionStrh = b.octets.size();
        b.structure(flux_[n].entete);
        b.fermer(strh);
        const size_t strf = b.ouvrir("strf");
        etats_[n].positionStrf = b.octets.size();
        b.brut(flux_[n].format);
        b.fermer(strf);
        const size_t indx = b.ouvrir("indx");
        etats_[n].positionIndx = b.octets.size();
        b.zeros(AviIndexHeader::kSize + 16 * size_t(kEntreesSuperIndex));
        b.fermer(indx);
        b.fermer(strl);
    }
    const size_t odml = b.ouvrirListe("LIST", "odml");
    const size_t dmlh = b.ouvrir("dmlh");
    positionDmlh_ = b.octets.size();
    b.zeros(kTailleDmlh);
    b.fermer(dmlh);
    b.fermer(odml);
    b.fermer(hdrl);
    entete_ = std::move(b.octets);
    sortie_.ajouter(entete_.data(), entete_.size());
    debutRiff_ = 0;
    ouvrirRiff(true);
}

void EcrivainAvi::ajouter(const void* octets, size_t n)
{
    sortie_.ajouter(octets, n);
}

void EcrivainAvi::ajouterU32(uint32_t v)
{
    uint8_t b[4];
    ecrireU32(b, v);
    ajouter(b, 4);
}

void EcrivainAvi::finChunk(int64_t position)
{
    const int64_t taille = sortie_.taille() - position - 8;
    uint8_t b[4];
    ecrireU32(b, uint32_t(taille));
    sortie_.recrire(position + 4, b, 4);
}

void EcrivainAvi::ouvrirRiff(bool premier)
{
    premierRiff_ = premier;
    if (!premier) {
        debutRiff_ = sortie_.taille();
        ajouter("RIFF", 4);
        ajouterU32(0);
        ajouter("AVIX", 4);
    }
    debutMovi_ = sortie_.taille();
    ajouter("LIST", 4);
    ajouterU32(0);
    ajouter("movi", 4);
}

int64_t EcrivainAvi::tailleIndexes() const
{
    int64_t t = 0;
    size_t chunks = 0;
    for (const EtatFlux& e : etats_) {
        t += 8 + int64_t(AviIndexHeader::kSize) + 8 * int64_t(e.index.size() + 1);
        chunks += e.index.size() + 1;
    }
    if (premierRiff_ && avecIdx1_)
        t += 8 + 16 * int64_t(chunks);
    return t;
}

void EcrivainAvi::ecrire(size_t flux, const uint8_t* donnees, uint32_t taille, bool sansCopie)
{
    EtatFlux& e = etats_.at(flux);
    const int64_t place = 8 + int64_t(taille) + (taille & 1);
    const bool vide = std::all_of(etats_.begin(), etats_.end(), [](const EtatFlux& x) { return x.index.empty(); });
    if (!vide && sortie_.taille() - debutRiff_ + place + tailleIndexes() > tailleRiff_) {
        fermerRiff();
        ouvrirRiff(false);
    }
    const int64_t position = sortie_.taille();
    const int64_t base = debutMovi_ + 8; // the 'movi' code: base of idx1 and of the standard indexes
    ajouter(flux_[flux].idMorceau.c.data(), 4);
    ajouterU32(taille);
    if (sansCopie)
        sortie_.ajouterSansCopie(donnees, taille);
    else
        ajouter(donnees, taille);
    if (taille & 1)
        ajouter("", 1);

    e.index.push_back({uint32_t(position + 8 - base), taille});
    if (premierRiff_)
        ++e.morceauxPremierRiff;
    if (premierRiff_ && avecIdx1_) {
        uint8_t entree[16];
        std::copy(flux_[flux].idMorceau.c.begin(), flux_[flux].idMorceau.c.end(), entree);
        ecrireU32(entree + 4, AVIIF_KEYFRAME);
        ecrireU32(entree + 8, uint32_t(position - base));
        ecrireU32(entree + 12, taille);
        idx1_.insert(idx1_.end(), entree, entree + 16);
    }
    ++e.morceaux;
    e.octets += taille;
    e.plusGrand = std::max(e.plusGrand, taille);
}

void EcrivainAvi::remplacerFormat(size_t flux, const std::vector<uint8_t>& format)
{
    if (format.size() != flux_.at(flux).format.size())
        throw FileError("format block of another size", EINVAL);
    flux_[flux].format = format;
}

void EcrivainAvi::fermerRiff()
{
    const int64_t base = debutMovi_ + 8;
    for (size_t n = 0; n < etats_.size(); ++n) {
        EtatFlux& e = etats_[n];
        if (e.index.empty())
            continue;
        if (e.entreesSuperIndex >= kEntreesSuperIndex)
            throw FileError("AVI file too large for its super index", EFBIG);
        // The standard index of this RIFF's chunks of the stream.
        const int64_t position = sortie_.taille();
        AviIndexHeader h;
        h.wLongsPerEntry = 2;
        h.bIndexType = AviIndexHeader::kIndexOfChunks;
        h.nEntriesInUse = uint32_t(e.index.size());
        h.dwChunkId = flux_[n].idMorceau;
        h.qwBaseOffset = uint64_t(base);
        std::vector<uint8_t> ix(8 + AviIndexHeader::kSize + 8 * e.index.size());
        const FourCC id = idIndex(n);
        std::copy(id.c.begin(), id.c.end(), ix.begin());
        ecrireU32(ix.data() + 4, uint32_t(ix.size() - 8));
        h.encode(ix.data() + 8);
        uint8_t* p = ix.data() + 8 + AviIndexHeader::kSize;
        uint64_t octets = 0;
        for (const EntreeIndex& x : e.index) {
            ecrireU32(p, x.decalage);
            ecrireU32(p + 4, x.taille); // bit 31 clear: every chunk is a key frame
            p += 8;
            octets += x.taille;
        }
        ajouter(ix.data(), ix.size());
        // Its entry in the super index: where, how long, and how many ticks
        // it covers (frames, or samples for a stream of fixed-size samples).
        const uint32_t echantillon = flux_[n].entete.dwSampleSize;
        uint8_t entree[16];
        ecrireU64(entree, uint64_t(position));
        ecrireU32(entree + 8, uint32_t(ix.size()));
        ecrireU32(entree + 12, uint32_t(echantillon > 0 ? octets / echantillon : e.index.size()));
        e.superIndex.insert(e.superIndex.end(), entree, entree + 16);
        ++e.entreesSuperIndex;
        e.index.clear();
    }
    finChunk(debutMovi_);
    if (premierRiff_ && avecIdx1_) {
        ajouter("idx1", 4);
        ajouterU32(uint32_t(idx1_.size()));
        ajouter(idx1_.data(), idx1_.size());
        idx1_.clear();
        idx1_.shrink_to_fit();
    }
    finChunk(debutRiff_);
}

void EcrivainAvi::terminer()
{
    if (termine_)
        return;
    termine_ = true;
    fermerRiff();

    // The header values once the counts are known.
    const EtatFlux* principal = etats_.empty() ? nullptr : &etats_[0];
    uint32_t plusGrand = 0;
    int64_t octets = 0;
    for (const EtatFlux& e : etats_) {
        plusGrand = std::max(plusGrand, e.plusGrand);
        octets += e.octets;
    }
    AviMainHeader avih;
    avih.dwMicroSecPerFrame = image_.microSecondesParImage;
    const int64_t duree = principal ? principal->morceaux * int64_t(image_.microSecondesParImage) : 0;
    avih.dwMaxBytesPerSec = duree > 0 ? uint32_t(std::min<int64_t>(octets * 1000000 / duree, UINT32_MAX)) : 0;
    avih.dwFlags = (avecIdx1_ ? AVIF_HASINDEX : 0) | AVIF_ISINTERLEAVED | AVIF_TRUSTCKTYPE;
    // AVI 1.0 readers see the first RIFF only; the total is in 'dmlh'.
    avih.dwTotalFrames = principal ? uint32_t(principal->morceauxPremierRiff) : 0;
    avih.dwStreams = uint32_t(flux_.size());
    avih.dwSuggestedBufferSize = plusGrand;
    avih.dwWidth = uint32_t(image_.largeur);
    avih.dwHeight = uint32_t(image_.hauteur);
    avih.encode(entete_.data() + positionAvih_);

    for (size_t n = 0; n < flux_.size(); ++n) {
        EtatFlux& e = etats_[n];
        TAvistream h = flux_[n].entete;
        h.dwLength = uint32_t(h.dwSampleSize > 0 ? e.octets / h.dwSampleSize : e.morceaux);
        h.dwSuggestedBufferSize = e.plusGrand;
        h.encode(entete_.data() + e.positionStrh);
        std::copy(flux_[n].format.begin(), flux_[n].format.end(), entete_.begin() + ptrdiff_t(e.positionStrf));
        AviIndexHeader s;
        s.wLongsPerEntry = 4;
        s.bIndexType = AviIndexHeader::kIndexOfIndexes;
        s.nEntriesInUse = e.entreesSuperIndex;
        s.dwChunkId = flux_[n].idMorceau;
        s.encode(entete_.data() + e.positionIndx);
        std::copy(e.superIndex.begin(), e.superIndex.end(), entete_.begin() + ptrdiff_t(e.positionIndx + AviIndexHeader::kSize));
    }
    ecrireU32(entete_.data() + positionDmlh_, principal ? uint32_t(principal->morceaux) : 0);
    // The RIFF and 'hdrl' sizes before avih stay as the chunks closed them.
    sortie_.recrire(int64_t(positionAvih_), entete_.data() + positionAvih_, entete_.size() - positionAvih_);
    sortie_.terminer();
}

} // namespace korvan
