#include "scenes/lectures_groupees.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <liburing.h>
#include <unistd.h>

namespace korvan {

struct LecturesGroupees::Anneau {
    io_uring io{};
    bool fichierInscrit = false;
};

namespace {

// The result of a request still in the kernel's hands.
constexpr int64_t kEnAttente = INT64_MIN;

} // namespace

LecturesGroupees::LecturesGroupees(int fd, Voie voie) : fd_(fd)
{
    if (voie == Voie::Automatique)
        ouvrirAnneau();
}

LecturesGroupees::~LecturesGroupees()
{
    // The kernel may still write into buffers of lots never waited for.
    while (anneau_ && enVol_ > 0 && recevoir(true)) {
    }
    fermerAnneau();
}

void LecturesGroupees::ouvrirAnneau()
{
    auto anneau = std::make_unique<Anneau>();
    if (io_uring_queue_init(kProfondeur * kLotsEnVol, &anneau->io, 0) < 0)
        return; // ENOSYS, EPERM (seccomp), ENOMEM...: pread will do
    // The file registered once: each read then skips taking and dropping a
    // reference to it, which costs as much as a small read from the cache
    // and bounces between cores when two queues read the same file.
    anneau->fichierInscrit = io_uring_register_files(&anneau->io, &fd_, 1) == 0;
    anneau_ = std::move(anneau);
}

void LecturesGroupees::fermerAnneau()
{
    if (anneau_)
        io_uring_queue_exit(&anneau_->io);
    anneau_.reset();
    enVol_ = 0;
}

void LecturesGroupees::lireParPread(Demande& d) const
{
    size_t fait = 0;
    auto* sortie = static_cast<char*>(d.tampon);
    while (fait < d.taille) {
        const ssize_t n = ::pread(fd_, sortie + fait, d.taille - fait, off_t(d.position + int64_t(fait)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            d.resultat = -errno;
            return;
        }
        if (n == 0)
            break;
        fait += size_t(n);
    }
    d.resultat = int64_t(fait);
}

bool LecturesGroupees::recevoir(bool attendre)
{
    io_uring& io = anneau_->io;
    int essais = 0;
    for (;;) {
        const int r = attendre ? io_uring_submit_and_wait(&io, 1) : io_uring_submit(&io);
        if (r >= 0)
            break;
        // Read errors come back in the completions; the call itself only
        // fails on a signal or a passing shortage. Anything else, or one
        // that lasts, and the queue is given up.
        if ((r == -EINTR || r == -EAGAIN || r == -EBUSY) && ++essais < 1000)
            continue;
        return false;
    }
    unsigned tete = 0;
    unsigned vues = 0;
    io_uring_cqe* c = nullptr;
    io_uring_for_each_cqe(&io, tete, c) {
        if (auto* d = reinterpret_cast<Demande*>(io_uring_cqe_get_data(c)))
            d->resultat = c->res;
        ++vues;
    }
    io_uring_cq_advance(&io, vues);
    enVol_ -= std::min(enVol_, vues);
    return true;
}

void LecturesGroupees::soumettre(std::span<Demande> lot)
{
    for (Demande& d : lot)
        d.resultat = kEnAttente;
    if (!anneau_)
        return;
    io_uring& io = anneau_->io;
    for (Demande& d : lot) {
        io_uring_sqe* e = io_uring_get_sqe(&io);
        // Full only when the caller has more lots in flight than allowed:
        // those requests are read by attendre the plain way.
        if (!e)
            break;
        if (anneau_->fichierInscrit) {
            io_uring_prep_read(e, 0, d.tampon, d.taille, uint64_t(d.position));
            e->flags |= IOSQE_FIXED_FILE;
        } else {
            io_uring_prep_read(e, fd_, d.tampon, d.taille, uint64_t(d.position));
        }
        io_uring_sqe_set_data(e, &d);
        ++enVol_;
    }
    if (!recevoir(false))
        fermerAnneau();
}

void LecturesGroupees::attendre(std::span<Demande> lot)
{
    for (Demande& d : lot) {
        while (anneau_ && enVol_ > 0 && d.resultat == kEnAttente)
            if (!recevoir(true))
                fermerAnneau();
        // A request the queue never took, a failed or short one: pread
        // either finishes it or gives the real error.
        if (d.resultat < 0 || uint64_t(d.resultat) < d.taille)
            lireParPread(d);
    }
}

} // namespace korvan
