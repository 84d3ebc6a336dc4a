#pragma once
// Many small positioned reads of one file handed to the kernel at once. A
// scene scan reads a few hundred bytes from every frame: one system call per
// frame costs more than the reading itself, so the reads go through an
// io_uring submission queue (liburing) when the kernel offers one, and
// through pread one by one otherwise (older kernels, sandboxes that forbid
// io_uring).
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

    // Fills each request's resultat. Requests the queue could not serve are
    // read again with pread, so the results never depend on the path taken.
    void lire(std::span<Demande> demandes);

    // The kernel queue is in use (false: plain pread).
    bool fileNoyau() const { return anneau_ != nullptr; }

    // Requests submitted together.
    static constexpr unsigned kProfondeur = 64;

private:
    struct Anneau; // liburing's queue, kept out of this header

    void ouvrirAnneau();
    void fermerAnneau();
    bool lireParAnneau(std::span<Demande> demandes);
    void lireParPread(Demande& d) const;

    int fd_;
    std::unique_ptr<Anneau> anneau_;
};

} // namespace korvan
