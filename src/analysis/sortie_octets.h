#pragma once
// Where the program's writers put the files they make: appended in order,
// with the headers rewritten in place once the sizes are known. A file on
// disk written through a large buffer, or memory in tests and fuzzing.
#include "analysis/file_io.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace korvan {

class SortieOctets {
public:
    virtual ~SortieOctets() = default;
    // Appends n bytes at the end. Throws FileError when they cannot be written.
    virtual void ajouter(const void* octets, size_t n) = 0;
    // The same for bytes that stay where they are until attendreEcrit has
    // returned for a mark at or past their end: they may be written from
    // there without a copy.
    virtual void ajouterSansCopie(const void* octets, size_t n) { ajouter(octets, n); }
    // Waits until every byte appended before the mark (a taille() value) is
    // written; the caller may then reuse the memory of those bytes.
    virtual void attendreEcrit(int64_t marque) {}
    // Rewrites n bytes already appended, from position.
    virtual void recrire(int64_t position, const void* octets, size_t n) = 0;
    // Bytes appended so far.
    virtual int64_t taille() const = 0;
    // Hands everything to the file; throws FileError when it cannot.
    virtual void terminer() = 0;
};

class SortieMemoire final : public SortieOctets {
public:
    void ajouter(const void* octets, size_t n) override;
    void recrire(int64_t position, const void* octets, size_t n) override;
    int64_t taille() const override { return int64_t(octets_.size()); }
    void terminer() override {}
    const std::vector<uint8_t>& octets() const { return octets_; }

private:
    std::vector<uint8_t> octets_;
};

// A new file (an existing one is truncated), written by a thread of its own
// while the caller produces the next bytes: appends are gathered into lots of
// several megabytes, each written with one vectored write, the bytes appended
// without a copy straight from the caller's memory. Throws FileError when it
// cannot be created; a write that failed is reported by the next call.
class SortieFichier final : public SortieOctets {
public:
    // Small against the readers' windows, so that a window has left for the
    // disk by the time its reader needs it again.
    static constexpr size_t kLot = 1 << 20;

    explicit SortieFichier(const std::string& chemin);
    ~SortieFichier() override;
    SortieFichier(const SortieFichier&) = delete;
    SortieFichier& operator=(const SortieFichier&) = delete;

    void ajouter(const void* octets, size_t n) override;
    void ajouterSansCopie(const void* octets, size_t n) override;
    void attendreEcrit(int64_t marque) override;
    // Writes in place, once the bytes there are written.
    void recrire(int64_t position, const void* octets, size_t n) override;
    int64_t taille() const override { return taille_; }
    void terminer() override;

private:
    struct Morceau {
        const uint8_t* externe; // null: `taille` bytes of the lot's own copy, from `debut`
        size_t debut;
        size_t taille;
    };
    struct Lot {
        std::vector<uint8_t> copie;
        std::vector<Morceau> morceaux;
        int64_t position = 0; // in the file
        size_t octets = 0;
        void vider();
    };

    void envoyer();     // hands the lot being filled to the writing thread
    void ecrireEnFond();
    void ecrireLot(const Lot& lot);
    void signalerEchec(); // under the lock

    BinaryFile fichier_;
    Lot remplissage_;
    Lot enCours_;
    bool aEcrire_ = false;
    int64_t taille_ = 0;
    int64_t ecrits_ = 0; // bytes the writing thread has written
    std::mutex mutex_;
    std::condition_variable signal_;
    bool fin_ = false;
    std::exception_ptr echec_;
    std::thread fil_;
};

} // namespace korvan
