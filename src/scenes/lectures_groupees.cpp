#include "scenes/lectures_groupees.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <linux/io_uring.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace korvan {

namespace {

// The queue's shared indexes are written by one side and read by the other.
unsigned lireIndex(unsigned* p)
{
    return std::atomic_ref<unsigned>(*p).load(std::memory_order_acquire);
}

void ecrireIndex(unsigned* p, unsigned v)
{
    std::atomic_ref<unsigned>(*p).store(v, std::memory_order_release);
}

void* projeter(int anneau, size_t taille, off_t decalage)
{
    void* p = ::mmap(nullptr, taille, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, anneau, decalage);
    return p == MAP_FAILED ? nullptr : p;
}

} // namespace

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
    io_uring_params p{};
    const long r = ::syscall(__NR_io_uring_setup, kProfondeur, &p);
    if (r < 0)
        return; // ENOSYS, EPERM (seccomp), ENOMEM...: pread will do
    anneau_ = int(r);
    tailleSq_ = p.sq_off.array + p.sq_entries * sizeof(unsigned);
    tailleCq_ = p.cq_off.cqes + p.cq_entries * sizeof(io_uring_cqe);
    tailleSqes_ = p.sq_entries * sizeof(io_uring_sqe);
    sq_ = projeter(anneau_, tailleSq_, IORING_OFF_SQ_RING);
    cq_ = projeter(anneau_, tailleCq_, IORING_OFF_CQ_RING);
    sqes_ = projeter(anneau_, tailleSqes_, IORING_OFF_SQES);
    if (!sq_ || !cq_ || !sqes_) {
        fermerAnneau();
        return;
    }
    auto* sq = static_cast<char*>(sq_);
    auto* cq = static_cast<char*>(cq_);
    sqTete_ = reinterpret_cast<unsigned*>(sq + p.sq_off.head);
    sqQueue_ = reinterpret_cast<unsigned*>(sq + p.sq_off.tail);
    sqMasque_ = *reinterpret_cast<unsigned*>(sq + p.sq_off.ring_mask);
    sqTableau_ = reinterpret_cast<unsigned*>(sq + p.sq_off.array);
    cqTete_ = reinterpret_cast<unsigned*>(cq + p.cq_off.head);
    cqQueue_ = reinterpret_cast<unsigned*>(cq + p.cq_off.tail);
    cqMasque_ = *reinterpret_cast<unsigned*>(cq + p.cq_off.ring_mask);
    cqes_ = cq + p.cq_off.cqes;
}

void LecturesGroupees::fermerAnneau()
{
    if (sqes_)
        ::munmap(sqes_, tailleSqes_);
    if (cq_)
        ::munmap(cq_, tailleCq_);
    if (sq_)
        ::munmap(sq_, tailleSq_);
    sq_ = cq_ = sqes_ = nullptr;
    if (anneau_ >= 0)
        ::close(anneau_);
    anneau_ = -1;
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
    const unsigned n = unsigned(demandes.size());
    // Only this thread submits: the queue is empty between two calls.
    const unsigned queue = *sqQueue_;
    if (queue - lireIndex(sqTete_) + n > kProfondeur)
        return false;
    auto* sqes = static_cast<io_uring_sqe*>(sqes_);
    for (unsigned i = 0; i < n; ++i) {
        const unsigned idx = (queue + i) & sqMasque_;
        io_uring_sqe& e = sqes[idx];
        std::memset(&e, 0, sizeof e);
        e.opcode = IORING_OP_READ;
        e.fd = fd_;
        e.off = uint64_t(demandes[i].position);
        e.addr = reinterpret_cast<uint64_t>(demandes[i].tampon);
        e.len = demandes[i].taille;
        e.user_data = i;
        sqTableau_[idx] = idx;
        demandes[i].resultat = -ECANCELED; // until its completion arrives
    }
    ecrireIndex(sqQueue_, queue + n);

    unsigned aSoumettre = n;
    unsigned recues = 0;
    int essais = 0;
    auto* cqes = static_cast<io_uring_cqe*>(cqes_);
    while (recues < n) {
        const long r = ::syscall(__NR_io_uring_enter, anneau_, aSoumettre, n - recues, IORING_ENTER_GETEVENTS,
                                 nullptr, 0);
        if (r < 0) {
            // Read errors come back in the completions; the call itself only
            // fails on a signal or a passing shortage. Anything else, or one
            // that lasts, and the queue is given up (the caller closes it).
            if ((errno == EINTR || errno == EAGAIN || errno == EBUSY) && ++essais < 1000)
                continue;
            return false;
        }
        aSoumettre -= std::min(aSoumettre, unsigned(r));
        unsigned tete = *cqTete_;
        const unsigned fin = lireIndex(cqQueue_);
        for (; tete != fin; ++tete) {
            const io_uring_cqe& c = cqes[tete & cqMasque_];
            if (c.user_data < n) {
                demandes[c.user_data].resultat = c.res;
                ++recues;
            }
        }
        ecrireIndex(cqTete_, tete);
    }
    return true;
}

void LecturesGroupees::lire(std::span<Demande> demandes)
{
    while (!demandes.empty()) {
        const auto lot = demandes.first(std::min<size_t>(demandes.size(), kProfondeur));
        if (anneau_ >= 0 && !lireParAnneau(lot))
            fermerAnneau();
        if (anneau_ < 0)
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
