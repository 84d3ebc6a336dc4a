#include "analysis/lecture_morceaux.h"

#include <algorithm>
#include <cerrno>

namespace korvan {

LecteurMorceaux::LecteurMorceaux(const ByteSource& source, std::vector<AviFrame> morceaux)
    : source_(source), morceaux_(std::move(morceaux))
{
}

void LecteurMorceaux::remplir()
{
    // The next chunk and those that follow it closely, up to the window.
    const AviFrame& premier = morceaux_[suivant_];
    int64_t fin = premier.offset + premier.size;
    size_t k = suivant_ + 1;
    for (; k < morceaux_.size(); ++k) {
        const AviFrame& m = morceaux_[k];
        const int64_t finM = m.offset + m.size;
        // A gap is read along only when the chunk after it is worth it: the
        // small sound chunks between two frames are, the frames between two
        // sound chunks are not (another reader takes them).
        const int64_t ecart = m.offset - fin;
        if (ecart < 0 || ecart > std::min<int64_t>(kEcartMax, m.size) || finM - premier.offset > int64_t(kFenetre))
            break;
        fin = finM;
    }
    fenetre_ = 1 - fenetre_;
    if (utilise_[fenetre_] && avantRelecture)
        avantRelecture(fenetre_);
    utilise_[fenetre_] = true;
    std::vector<uint8_t>& tampon = tampons_[fenetre_];
    const size_t n = size_t(fin - premier.offset);
    if (tampon.size() < n)
        tampon.resize(std::max(n, std::min(kFenetre, size_t(2) * n)));
    if (!source_.readExactAt(premier.offset, tampon.data(), n))
        throw FileError("unexpected end of the source", EIO);
    debutTampon_ = premier.offset;
    finFenetre_ = k;
}

std::span<uint8_t> LecteurMorceaux::lire()
{
    if (fini())
        return {};
    if (suivant_ >= finFenetre_)
        remplir();
    const AviFrame& m = morceaux_[suivant_++];
    return {tampons_[fenetre_].data() + (m.offset - debutTampon_), m.size};
}

} // namespace korvan
