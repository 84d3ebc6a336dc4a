#include "analysis/sortie_octets.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace korvan {

void SortieMemoire::ajouter(const void* octets, size_t n)
{
    const auto* o = static_cast<const uint8_t*>(octets);
    octets_.insert(octets_.end(), o, o + n);
}

void SortieMemoire::recrire(int64_t position, const void* octets, size_t n)
{
    if (position < 0 || position + int64_t(n) > taille())
        throw FileError("rewrite past the end", EINVAL);
    std::memcpy(octets_.data() + position, octets, n);
}

SortieFichier::SortieFichier(const std::string& chemin) : fichier_(chemin, BinaryFile::Mode::Create)
{
    tampon_.reserve(kTampon);
}

void SortieFichier::vider()
{
    if (tampon_.empty())
        return;
    fichier_.writeAt(ecrits_, tampon_.data(), tampon_.size());
    ecrits_ += int64_t(tampon_.size());
    tampon_.clear();
}

void SortieFichier::ajouter(const void* octets, size_t n)
{
    const auto* o = static_cast<const uint8_t*>(octets);
    if (tampon_.size() + n > kTampon)
        vider();
    // A block larger than the buffer goes straight to the file.
    if (n >= kTampon) {
        fichier_.writeAt(ecrits_, o, n);
        ecrits_ += int64_t(n);
        return;
    }
    tampon_.insert(tampon_.end(), o, o + n);
}

void SortieFichier::recrire(int64_t position, const void* octets, size_t n)
{
    if (position < 0 || position + int64_t(n) > taille())
        throw FileError("rewrite past the end", EINVAL);
    const auto* o = static_cast<const uint8_t*>(octets);
    // The part already in the file, then the part still in the buffer.
    const size_t dansFichier = size_t(std::clamp<int64_t>(ecrits_ - position, 0, int64_t(n)));
    if (dansFichier > 0)
        fichier_.writeAt(position, o, dansFichier);
    if (dansFichier < n)
        std::memcpy(tampon_.data() + (position + int64_t(dansFichier) - ecrits_), o + dansFichier, n - dansFichier);
}

void SortieFichier::terminer()
{
    vider();
}

} // namespace korvan
