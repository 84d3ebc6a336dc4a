#pragma once
// Many small positioned reads of one file handed to the kernel at once. A
// scene scan reads a few hundred bytes from every frame: one system call per
// frame costs more than the reading itself, so the reads go through an
// io_uring submission queue (liburing) when the kernel offers one, and
// through pread one by one otherwise (older kernels, sandboxes that forbid
// io_uring). From a cold disk the reads are many and scattered: two lots can
// be in flight at once, so the disk always has the next lot to serve while
// the caller works on one.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace korvan {

class LecturesGroupees {
public:
    struct Demande {
        int64_t position = 0;
        void* tampon = nullptr;
        uint32_t taille = 0;
        int64_t resultat = 0; // bytes read (short at the end of the file), or -errno
    };

    enum class Voie { Automatique, PreadSeul };

    // fd stays owned by the caller and must outlive this object.
    explicit LecturesGroupees(int fd, Voie voie = Voie::Automatique);
    ~LecturesGroupees();
    LecturesGroupees(const LecturesGroupees&) = delete;
    LecturesGroupees& operator=(const LecturesGroupees&) = delete;

    // soumettre hands a lot (at most kProfondeur requests) to the kernel and
    // returns at once; attendre waits for its results and fills each
    // request's resultat. Requests the queue could not serve are read again
    // with pread, so the results never depend on the path taken. At most
    // kLotsEnVol lots are submitted and not yet waited for; their requests
    // and buffers must stay in place until then.
    void soumettre(std::span<Demande> lot);
    void attendre(std::span<Demande> lot);

    // The kernel queue is in use (false: plain pread).
    bool fileNoyau() const { return anneau_ != nullptr; }

    // Requests submitted together, and lots in flight at once.
    static constexpr unsigned kProfondeur = 128;
    static constexpr unsigned kLotsEnVol = 2;

private:
    struct Anneau; // liburing's queue, kept out of this header

    void ouvrirAnneau();
    void fermerAnneau();
    // Takes the completions that have arrived; with attendre, waits for one first. False when the queue broke down.
    bool recevoir(bool attendre);
    void lireParPread(Demande& d) const;

    int fd_;
    std::unique_ptr<Anneau> anneau_;
    unsigned enVol_ = 0; // requests submitted whose completion has not arrived
};

} // namespace korvan
