#pragma once
// Many small positioned reads of one file handed to the kernel at once. A
// scene scan reads a few hundred bytes from every frame: one system call per
// frame costs more than the reading itself, so the reads go through an
// io_uring submission queue when the kernel offers one, and through pread
// one by one otherwise (older kernels, sandboxes that forbid io_uring).
#include <cstddef>
#include <cstdint>
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
    bool fileNoyau() const { return anneau_ >= 0; }

    // Requests submitted together.
    static constexpr unsigned kProfondeur = 64;

private:
    void ouvrirAnneau();
    void fermerAnneau();
    bool lireParAnneau(std::span<Demande> demandes);
    void lireParPread(Demande& d) const;

    int fd_;
    int anneau_ = -1;
    void* sq_ = nullptr;
    size_t tailleSq_ = 0;
    void* cq_ = nullptr;
    size_t tailleCq_ = 0;
    void* sqes_ = nullptr;
    size_t tailleSqes_ = 0;
    unsigned* sqTete_ = nullptr;
    unsigned* sqQueue_ = nullptr;
    unsigned sqMasque_ = 0;
    unsigned* sqTableau_ = nullptr;
    unsigned* cqTete_ = nullptr;
    unsigned* cqQueue_ = nullptr;
    unsigned cqMasque_ = 0;
    void* cqes_ = nullptr;
};

} // namespace korvan
