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

// A new file (an existing one is truncated), written in large sequential
// writes by a thread of its own while the caller fills the next buffer, so
// that producing the data and handing it to the kernel overlap. Throws
// FileError when it cannot be created; a write that failed is reported by
// the next call.
class SortieFichier final : public SortieOctets {
public:
    static constexpr size_t kTampon = 8 << 20;

    explicit SortieFichier(const std::string& chemin);
    ~SortieFichier() override;
    SortieFichier(const SortieFichier&) = delete;
    SortieFichier& operator=(const SortieFichier&) = delete;

    void ajouter(const void* octets, size_t n) override;
    void recrire(int64_t position, const void* octets, size_t n) override;
    int64_t taille() const override { return envoyes_ + int64_t(tampon_.size()); }
    void terminer() override;

private:
    void envoyer();      // hands the buffer to the writing thread
    void attendreVide(); // until the writing thread has written all it was given
    void ecrireEnFond();
    void signalerEchec();

    BinaryFile fichier_;
    std::vector<uint8_t> tampon_;  // being filled
    std::vector<uint8_t> enCours_; // being written, from positionEnCours_
    int64_t positionEnCours_ = 0;
    int64_t envoyes_ = 0;          // bytes handed to the writing thread
    std::mutex mutex_;
    std::condition_variable signal_;
    bool aEcrire_ = false;
    bool fin_ = false;
    std::exception_ptr echec_;
    std::thread fil_;
};

} // namespace korvan
