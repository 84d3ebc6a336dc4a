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
    enCours_.reserve(kTampon);
    fil_ = std::thread([this] { ecrireEnFond(); });
}

SortieFichier::~SortieFichier()
{
    {
        const std::lock_guard l(mutex_);
        fin_ = true;
    }
    signal_.notify_all();
    fil_.join();
}

void SortieFichier::ecrireEnFond()
{
    std::unique_lock l(mutex_);
    for (;;) {
        signal_.wait(l, [this] { return aEcrire_ || fin_; });
        if (!aEcrire_)
            return;
        l.unlock();
        std::exception_ptr e;
        try {
            fichier_.writeAt(positionEnCours_, enCours_.data(), enCours_.size());
        } catch (...) {
            e = std::current_exception();
        }
        l.lock();
        if (e && !echec_)
            echec_ = e;
        aEcrire_ = false;
        signal_.notify_all();
    }
}

void SortieFichier::attendreVide()
{
    std::unique_lock l(mutex_);
    signal_.wait(l, [this] { return !aEcrire_; });
}

void SortieFichier::signalerEchec()
{
    const std::lock_guard l(mutex_);
    if (echec_)
        std::rethrow_exception(echec_);
}

void SortieFichier::envoyer()
{
    if (tampon_.empty())
        return;
    attendreVide();
    signalerEchec();
    {
        const std::lock_guard l(mutex_);
        enCours_.swap(tampon_);
        positionEnCours_ = envoyes_;
        envoyes_ += int64_t(enCours_.size());
        aEcrire_ = true;
    }
    signal_.notify_all();
    tampon_.clear();
}

void SortieFichier::ajouter(const void* octets, size_t n)
{
    const auto* o = static_cast<const uint8_t*>(octets);
    while (n > 0) {
        if (tampon_.size() == kTampon)
            envoyer();
        const size_t k = std::min(n, kTampon - tampon_.size());
        tampon_.insert(tampon_.end(), o, o + k);
        o += k;
        n -= k;
    }
}

void SortieFichier::recrire(int64_t position, const void* octets, size_t n)
{
    if (position < 0 || position + int64_t(n) > taille())
        throw FileError("rewrite past the end", EINVAL);
    // Bytes already handed over are rewritten in the file once they are there.
    attendreVide();
    signalerEchec();
    const auto* o = static_cast<const uint8_t*>(octets);
    const size_t dansFichier = size_t(std::clamp<int64_t>(envoyes_ - position, 0, int64_t(n)));
    if (dansFichier > 0)
        fichier_.writeAt(position, o, dansFichier);
    if (dansFichier < n)
        std::memcpy(tampon_.data() + (position + int64_t(dansFichier) - envoyes_), o + dansFichier, n - dansFichier);
}

void SortieFichier::terminer()
{
    envoyer();
    attendreVide();
    signalerEchec();
}

} // namespace korvan
