#include "scenes/lectures_groupees.h"

#include <algorithm>
#include <cerrno>
#include <liburing.h>
#include <unistd.h>

namespace korvan {

struct LecturesGroupees::Anneau {
    io_uring io{};
};

LecturesGroupees::LecturesGroupees(int fd, Voie voie) : fd_(fd)
{
    if (voie == Voie::Automatique)
        ouvrirAnneau();
}

LecturesGroupees::~LecturesGroupees()
{
    fermerAnneau();
}

void LecturesGroupees::ouvrirAnneau()
{
    auto anneau = std::make_unique<Anneau>();
    if (io_uring_queue_init(kProfondeur, &anneau->io, 0) < 0)
        return; // ENOSYS, EPERM (seccomp), ENOMEM...: pread will do
    anneau_ = std::move(anneau);
}

void LecturesGroupees::fermerAnneau()
{
    if (anneau_)
        io_uring_queue_exit(&anneau_->io);
    anneau_.reset();
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

bool LecturesGroupees::lireParAnneau(std::span<Demande> demandes)
{
    io_uring& io = anneau_->io;
    const unsigned n = unsigned(demandes.size());
    for (unsigned i = 0; i < n; ++i) {
        // Only this thread submits and every call waits for all it submitted:
        // the queue is empty here and holds a whole batch.
        io_uring_sqe* e = io_uring_get_sqe(&io);
        if (!e)
            return false;
        io_uring_prep_read(e, fd_, demandes[i].tampon, demandes[i].taille, uint64_t(demandes[i].position));
        io_uring_sqe_set_data64(e, i);
        demandes[i].resultat = -ECANCELED; // until its completion arrives
    }

    unsigned recues = 0;
    int essais = 0;
    while (recues < n) {
        const int r = io_uring_submit_and_wait(&io, n - recues);
        if (r < 0) {
            // Read errors come back in the completions; the call itself only
            // fails on a signal or a passing shortage. Anything else, or one
            // that lasts, and the queue is given up (the caller closes it).
            if ((r == -EINTR || r == -EAGAIN || r == -EBUSY) && ++essais < 1000)
                continue;
            return false;
        }
        unsigned tete = 0;
        unsigned vues = 0;
        io_uring_cqe* c = nullptr;
        io_uring_for_each_cqe(&io, tete, c) {
            const uint64_t i = io_uring_cqe_get_data64(c);
            if (i < n) {
                demandes[i].resultat = c->res;
                ++recues;
            }
            ++vues;
        }
        io_uring_cq_advance(&io, vues);
    }
    return true;
}

void LecturesGroupees::lire(std::span<Demande> demandes)
{
    while (!demandes.empty()) {
        const auto lot = demandes.first(std::min<size_t>(demandes.size(), kProfondeur));
        if (anneau_ && !lireParAnneau(lot))
            fermerAnneau();
        if (!anneau_)
            for (Demande& d : lot)
                d.resultat = -ECANCELED;
        // A short or failed completion is read again the plain way: pread
        // either finishes it or gives the real error.
        for (Demande& d : lot)
            if (d.resultat < 0 || uint64_t(d.resultat) < d.taille)
                lireParPread(d);
        demandes = demandes.subspan(lot.size());
    }
}

} // namespace korvan
