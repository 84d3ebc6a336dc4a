#pragma once
// The chunks of one stream read in order, many at a time: chunks that follow
// each other in the file (with at most a small gap, such as another
// stream's chunk between two of them) are fetched with one read of up to a
// few megabytes, so that a conversion reads a clip at the speed of the disk
// rather than one system call per chunk.
#include "analysis/avi_demuxer.h"

#include <cstdint>
#include <span>
#include <vector>

namespace korvan {

class LecteurMorceaux {
public:
    static constexpr size_t kFenetre = 4 << 20;
    static constexpr int64_t kEcartMax = 256 << 10;

    // The source must outlive the reader; the chunk list is copied.
    LecteurMorceaux(const ByteSource& source, std::vector<AviFrame> morceaux);

    size_t nombre() const { return morceaux_.size(); }
    size_t suivant() const { return suivant_; }
    bool fini() const { return suivant_ >= morceaux_.size(); }
    const AviFrame& morceau(size_t i) const { return morceaux_[i]; }

    // The bytes of the next chunk, valid until the next call; they may be
    // changed in place. Throws FileError on a read error or when the file
    // ends before the chunk (it was cut since the index was read).
    std::span<uint8_t> lire();

private:
    void remplir();

    const ByteSource& source_;
    std::vector<AviFrame> morceaux_;
    size_t suivant_ = 0;
    std::vector<uint8_t> tampon_;
    int64_t debutTampon_ = 0; // file offset of tampon_[0]
    size_t finFenetre_ = 0;   // chunks [suivant_, finFenetre_) are in the buffer
};

} // namespace korvan
