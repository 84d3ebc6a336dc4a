#include "analysis/fpsunit.h"

#include "analysis/bytes.h"
#include "analysis/riff_reader.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace korvan {

namespace {

constexpr int64_t kTailleEnTete = 8;
// The handler code ends at offset 8 of the stream header and the rate at
// offset 28. A shorter header cannot hold the fields: writing "there" would
// overwrite the next chunk, so such a header is not a patch target.
constexpr int64_t kTailleStrhUtile = 28;

// Content of a list still to be walked: next child and bytes left.
struct Contenu {
    int64_t position;
    int64_t reste;
};

struct Morceau {
    int64_t couvert = 0; // bytes covered, header and pad byte included
    std::optional<Contenu> contenu;
};

// One walk over a source. A list whose child claims more than the list has
// left still walks that child to the end of the file, and the list's parent
// then carries on inside the child: crafted nestings make such overlaps walk
// the same bytes again and again, exponentially in their depth. Chunk
// headers of a properly nested file never overlap, so one read per 8 bytes is
// the most an honest file needs; the budget allows twice that, which leaves
// room for the odd overlap of a sloppy writer, and a walk that runs out of it
// finds nothing.
class Parcours {
public:
    explicit Parcours(const ByteSource& source)
        : r_(source), lecturesRestantes_(r_.fileSize() / 4 + 1024)
    {
    }

    PositionsEntetes executer()
    {
        int64_t pos = 0;
        int64_t reste = r_.fileSize();
        while (reste > 0) {
            const auto n = parcourirRacine(pos);
            if (!n || *n == kTailleEnTete)
                break;
            reste -= *n;
            pos += *n;
        }
        return abandonne_ ? PositionsEntetes{} : res_;
    }

private:
    // Reads the chunk at pos and notes a video stream header. None at the
    // end of the file (or of the budget), which ends the whole walk.
    std::optional<Morceau> lireMorceau(int64_t pos, bool racine)
    {
        if (--lecturesRestantes_ < 0) {
            abandonne_ = true;
            return std::nullopt;
        }
        const auto h = r_.headerAt(pos);
        if (!h)
            return std::nullopt;
        // Anything but RIFF at the top level (trailing garbage, a foreign
        // file) ends the walk like an empty chunk.
        if (racine && !(h->id == FourCC("RIFF")))
            return Morceau{kTailleEnTete, std::nullopt};
        // A capture cut short still claims its full size: keep what is there.
        const int64_t disponible = r_.bytesFrom(h->dataPosition());
        const int64_t taille = std::min(ChunkHeader::paddedSize(h->size), disponible);
        if (taille == 0)
            return Morceau{kTailleEnTete, std::nullopt};
        Morceau m{taille + kTailleEnTete, std::nullopt};

        if (h->id == FourCC("RIFF") || h->id == FourCC("LIST")) {
            if (taille < 4)
                return m;
            const auto type = r_.fourccAt(h->dataPosition());
            if (!type)
                return std::nullopt;
            // Stream data never holds headers; skipping it keeps the walk to
            // a few hundred reads whatever the clip length.
            if (!(*type == FourCC("movi")))
                m.contenu = Contenu{h->dataPosition() + 4, taille - 4};
        } else if (h->id == FourCC("strh")) {
            const int64_t utile = std::min<int64_t>(h->size, disponible);
            const auto type = utile >= kTailleStrhUtile ? r_.fourccAt(h->dataPosition()) : std::nullopt;
            if (type && (*type == FourCC("vids") || *type == FourCC("iavs"))) {
                res_.trouve = true;
                res_.positionCodec = h->dataPosition() + 4;
                res_.positionEchelle = h->dataPosition() + 20;
            }
        }
        return m;
    }

    // Covers one top-level chunk and everything under it. The open lists are
    // kept on a vector rather than the call stack: a crafted file can nest
    // lists as deep as its size allows.
    std::optional<int64_t> parcourirRacine(int64_t pos)
    {
        const auto racine = lireMorceau(pos, true);
        if (!racine)
            return std::nullopt;
        std::vector<Contenu> ouvertes;
        if (racine->contenu)
            ouvertes.push_back(*racine->contenu);
        while (!ouvertes.empty()) {
            Contenu& liste = ouvertes.back();
            if (liste.reste < kTailleEnTete) { // leftover bytes are skipped
                ouvertes.pop_back();
                continue;
            }
            const auto enfant = lireMorceau(liste.position, false);
            if (!enfant)
                return std::nullopt;
            // A child larger than what its list has left is still walked, but
            // the list ends with it.
            if (enfant->couvert > liste.reste) {
                liste.reste = 0;
            } else {
                liste.reste -= enfant->couvert;
                liste.position += enfant->couvert;
            }
            if (enfant->contenu)
                ouvertes.push_back(*enfant->contenu);
        }
        return racine->couvert;
    }

    const RiffReader r_;
    int64_t lecturesRestantes_;
    bool abandonne_ = false;
    PositionsEntetes res_;
};

double arrondiPair(double x)
{
    const double bas = std::floor(x);
    const double ecart = x - bas;
    if (ecart < 0.5)
        return bas;
    if (ecart > 0.5)
        return bas + 1;
    return std::fmod(bas, 2.0) == 0.0 ? bas : bas + 1;
}

} // namespace

PositionsEntetes LocaliserEntetes(const ByteSource& source)
{
    return Parcours(source).executer();
}

PositionsEntetes LocaliserEntetes(const std::string& chemin)
{
    if (!fileExists(chemin))
        return {};
    const BinaryFile fichier(chemin, BinaryFile::Mode::Read);
    return LocaliserEntetes(fichier);
}

std::optional<uint32_t> LireCodec(const std::string& chemin)
{
    try {
        if (!fileExists(chemin))
            return std::nullopt;
        const BinaryFile fichier(chemin, BinaryFile::Mode::Read);
        const PositionsEntetes p = LocaliserEntetes(fichier);
        uint8_t b[4];
        if (!p || !fichier.readExactAt(p.positionCodec, b, sizeof b))
            return std::nullopt;
        return lireU32(b);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool EcrireCodec(const std::string& chemin, uint32_t code)
{
    try {
        if (!fileExists(chemin))
            return false;
        // The same handle locates and writes, so the bytes written are the
        // ones just found even if another program replaces the file meanwhile.
        BinaryFile fichier(chemin, BinaryFile::Mode::ReadWrite);
        const PositionsEntetes p = LocaliserEntetes(fichier);
        if (!p)
            return false;
        uint8_t b[4];
        ecrireU32(b, code);
        fichier.writeAt(p.positionCodec, b, sizeof b);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::optional<uint32_t> EchellePourFrequence(double fps)
{
    if (!std::isfinite(fps) || fps <= 0)
        return std::nullopt;
    const double echelle = arrondiPair(1'000'000.0 / fps);
    // A scale of 0 would make readers divide by zero; one beyond 32 bits
    // cannot be stored.
    if (!std::isfinite(echelle) || echelle < 1 || echelle > double(std::numeric_limits<uint32_t>::max()))
        return std::nullopt;
    return uint32_t(echelle);
}

void EcrireFrequence(const std::string& chemin, double fps)
{
    const auto echelle = EchellePourFrequence(fps);
    if (!echelle)
        throw std::invalid_argument("unusable frame rate " + std::to_string(fps));
    if (!fileExists(chemin))
        throw FileError("cannot open " + chemin, ENOENT);
    BinaryFile fichier(chemin, BinaryFile::Mode::ReadWrite);
    const PositionsEntetes p = LocaliserEntetes(fichier);
    if (!p)
        throw EnteteVideoAbsente("no video stream header in " + chemin);
    uint8_t b[8];
    ecrireU32(b, *echelle);
    ecrireU32(b + 4, 1'000'000);
    fichier.writeAt(p.positionEchelle, b, sizeof b);
}

uint32_t CodeDepuisTexte(std::string_view texte)
{
    uint8_t b[4] = {};
    for (size_t i = 0; i < texte.size() && i < 4; ++i)
        b[i] = uint8_t(texte[i]);
    return lireU32(b);
}

} // namespace korvan
