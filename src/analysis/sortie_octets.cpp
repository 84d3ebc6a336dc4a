#include "analysis/sortie_octets.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/uio.h>

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

void SortieFichier::Lot::vider()
{
    copie.clear();
    morceaux.clear();
    octets = 0;
}

SortieFichier::SortieFichier(const std::string& chemin) : fichier_(chemin, BinaryFile::Mode::Create)
{
    remplissage_.copie.reserve(kLot);
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

void SortieFichier::ecrireLot(const Lot& lot)
{
    std::vector<iovec> v;
    v.reserve(lot.morceaux.size());
    for (const Morceau& m : lot.morceaux)
        v.push_back({const_cast<uint8_t*>(m.externe ? m.externe : lot.copie.data() + m.debut), m.taille});
    fichier_.writeVAt(lot.position, v);
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
            ecrireLot(enCours_);
        } catch (...) {
            e = std::current_exception();
        }
        l.lock();
        if (e && !echec_)
            echec_ = e;
        ecrits_ = enCours_.position + int64_t(enCours_.octets);
        aEcrire_ = false;
        signal_.notify_all();
    }
}

void SortieFichier::signalerEchec()
{
    if (echec_)
        std::rethrow_exception(echec_);
}

void SortieFichier::envoyer()
{
    if (remplissage_.octets == 0)
        return;
    std::unique_lock l(mutex_);
    signal_.wait(l, [this] { return !aEcrire_; });
    signalerEchec();
    std::swap(enCours_, remplissage_);
    aEcrire_ = true;
    l.unlock();
    signal_.notify_all();
    remplissage_.vider();
    remplissage_.position = taille_;
}

void SortieFichier::ajouter(const void* octets, size_t n)
{
    if (n == 0)
        return;
    if (remplissage_.octets + n > kLot)
        envoyer();
    const auto* o = static_cast<const uint8_t*>(octets);
    Lot& lot = remplissage_;
    const size_t debut = lot.copie.size();
    lot.copie.insert(lot.copie.end(), o, o + n);
    // Bytes that follow a copy of their own extend it.
    if (!lot.morceaux.empty() && !lot.morceaux.back().externe && lot.morceaux.back().debut + lot.morceaux.back().taille == debut)
        lot.morceaux.back().taille += n;
    else
        lot.morceaux.push_back({nullptr, debut, n});
    lot.octets += n;
    taille_ += int64_t(n);
}

void SortieFichier::ajouterSansCopie(const void* octets, size_t n)
{
    if (n == 0)
        return;
    if (remplissage_.octets + n > kLot)
        envoyer();
    remplissage_.morceaux.push_back({static_cast<const uint8_t*>(octets), 0, n});
    remplissage_.octets += n;
    taille_ += int64_t(n);
}

void SortieFichier::attendreEcrit(int64_t marque)
{
    // Bytes still in the lot being filled go first.
    if (marque > remplissage_.position)
        envoyer();
    std::unique_lock l(mutex_);
    signal_.wait(l, [&] { return ecrits_ >= marque || (!aEcrire_ && echec_); });
    signalerEchec();
}

void SortieFichier::recrire(int64_t position, const void* octets, size_t n)
{
    if (position < 0 || position + int64_t(n) > taille())
        throw FileError("rewrite past the end", EINVAL);
    // Bytes the writing thread is done with are rewritten at once; others
    // once everything before them is written, so that no later write of
    // theirs can undo the rewrite.
    bool ecrit = false;
    {
        const std::lock_guard l(mutex_);
        signalerEchec();
        ecrit = position + int64_t(n) <= ecrits_;
    }
    if (!ecrit)
        attendreEcrit(taille_);
    fichier_.writeAt(position, octets, n);
}

void SortieFichier::terminer()
{
    attendreEcrit(taille_);
}

} // namespace korvan
