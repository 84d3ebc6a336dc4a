#pragma once
// The bytes a file entry is built from. Listing a folder of captures must cost
// what the disk costs, not what the walkers' small reads cost: the file is
// opened and stat'ed once, its first kilobytes (the RIFF headers, the
// indexes' locations, the first frame's packs) come in one read, and every
// walker (container verdict, probe, header locator) reads them from memory.
// What lies further (headers larger than the first read, the chunks after
// 'movi', an index) is read in blocks as the walkers ask for it.
#include "analysis/file_io.h"

#include <cstdint>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace korvan {

// What one stat says of a file, as the entry keeps it.
struct EtatFichier {
    bool existe = false;    // found, and not a folder
    bool reguliere = false; // a regular file (only those are read)
    int64_t taille = 0;
    mode_t mode = 0;
    timespec modification {};
    timespec acces {};
    timespec changement {};
    timespec naissance {};  // 0 when the file system keeps no birth time
};

// One stat of a path (statx where the kernel has it: the birth time comes
// with the rest). False when nothing is there.
bool LireEtatFichier(const std::string& chemin, EtatFichier& etat);

// The names of folders read once, for many existence questions: an entry
// asks whether its clip has a scene file, and for a folder of two thousand
// clips one listing answers what would otherwise take two thousand stats.
// A path whose folder was not listed gets its own stat. The listing is a
// snapshot: it serves one pass over the files (one korvan-info run).
class NomsDossiers {
public:
    // Reads the names of a folder; false (nothing kept) when it cannot be read.
    bool lister(const std::string& dossier);
    // Something is at that path (as LireEtatFichier says), from the listing
    // when its folder was listed.
    bool existe(const std::string& chemin) const;

private:
    struct Dossier {
        std::string chemin;
        std::vector<std::string> presents;  // sorted
        std::vector<std::string> aVerifier; // links, names of unknown kind: sorted
    };
    std::vector<Dossier> dossiers_;
};

class SourceEntete : public ByteSource {
public:
    // Bytes read at open; ffmpeg's and capture tools' headers with the first
    // DV frame's packs fit in them.
    static constexpr size_t kPremiereLecture = 32 << 10;
    // Reads beyond the first ones come in blocks of this size, so that a walk
    // of chunk headers costs one call per block, not per header.
    static constexpr size_t kBloc = 4 << 10;

    // Opens the file read-only without locking anyone out. Never throws:
    // ouverte() says whether it worked, erreur() why not.
    explicit SourceEntete(const std::string& chemin);
    ~SourceEntete() override;
    SourceEntete(const SourceEntete&) = delete;
    SourceEntete& operator=(const SourceEntete&) = delete;

    bool ouverte() const { return fd_ >= 0; }
    int erreur() const { return erreur_; }
    // What BinaryFile would have thrown on opening; empty when open.
    std::string messageErreur() const;
    const std::string& chemin() const { return chemin_; }
    // The stat of the open file (valid when ouverte()).
    const EtatFichier& etat() const { return etat_; }

    // The size at open: one entry sees one state of a capture still growing.
    int64_t size() const override { return etat_.taille; }
    // Throws FileError on an I/O error, or when the file could not be opened.
    size_t readAt(int64_t offset, void* buffer, size_t n) const override;

    // System calls made to read so far (for the tests of the read pattern).
    int lectures() const { return lectures_; }

private:
    struct Fenetre {
        int64_t debut = 0;
        // Not zeroed first: the read fills it, and zeroing 32 KiB per file
        // costs as much as reading them from the page cache.
        std::unique_ptr<uint8_t[]> tampon;
        size_t capacite = 0;
        size_t taille = 0;
        const uint8_t* octets() const { return tampon.get(); }
        bool contient(int64_t offset, size_t n) const
        {
            return offset >= debut && offset + int64_t(n) <= debut + int64_t(taille);
        }
    };
    size_t lireFichier(int64_t offset, void* buffer, size_t n) const;
    void remplir(Fenetre& f, int64_t debut, size_t n) const;

    std::string chemin_;
    int fd_ = -1;
    int erreur_ = 0;
    bool pasReguliere_ = false; // opened, but a folder, a FIFO, a device
    EtatFichier etat_;
    // The first read, and the last block read beyond it.
    mutable Fenetre tete_;
    mutable Fenetre bloc_;
    mutable int lectures_ = 0;
};

} // namespace korvan
