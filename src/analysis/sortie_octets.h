#pragma once
// Where the program's writers put the files they make: appended in order,
// with the headers rewritten in place once the sizes are known. A file on
// disk written through a large buffer, or memory in tests and fuzzing.
#include "analysis/file_io.h"

#include <cstdint>
#include <string>
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
// writes. Throws FileError when it cannot be created.
class SortieFichier final : public SortieOctets {
public:
    static constexpr size_t kTampon = 8 << 20;

    explicit SortieFichier(const std::string& chemin);
    void ajouter(const void* octets, size_t n) override;
    void recrire(int64_t position, const void* octets, size_t n) override;
    int64_t taille() const override { return ecrits_ + int64_t(tampon_.size()); }
    void terminer() override;

private:
    void vider();

    BinaryFile fichier_;
    std::vector<uint8_t> tampon_;
    int64_t ecrits_ = 0; // bytes already in the file
};

} // namespace korvan
