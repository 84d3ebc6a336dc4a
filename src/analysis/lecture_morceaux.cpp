#include "analysis/lecture_morceaux.h"

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
        if (m.offset < fin || m.offset - fin > kEcartMax || finM - premier.offset > int64_t(kFenetre))
            break;
        fin = finM;
    }
    const size_t n = size_t(fin - premier.offset);
    if (tampon_.size() < n)
        tampon_.resize(std::max(n, std::min(kFenetre, size_t(2) * n)));
    if (!source_.readExactAt(premier.offset, tampon_.data(), n))
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
    return {tampon_.data() + (m.offset - debutTampon_), m.size};
}

} // namespace korvan
