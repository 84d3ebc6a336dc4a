#pragma once
// The chunks of one stream read in order, many at a time: chunks that follow
// each other in the file (with at most a small gap, such as another
// stream's chunk between two of them, no larger than the chunk after it)
// are fetched with one read of up to a few megabytes, so that a conversion reads a clip at the speed of the disk
// rather than one system call per chunk. Two windows take turns, so that the
// bytes of one may still be on their way to an output (written from there
// without a copy) while the other is read into.
#include "analysis/avi_demuxer.h"

#include <cstdint>
#include <functional>
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

    // The bytes of the next chunk; they may be changed in place and stay
    // until their window is read into again, two windows later. Throws
    // FileError on a read error or when the file ends before the chunk (it
    // was cut since the index was read).
    std::span<uint8_t> lire();
    // The window (0 or 1) of the chunk lire() last gave.
    int fenetre() const { return fenetre_; }
    // Called before a window is read into again, with its number: the
    // caller's last chance to let go of the bytes it still holds there.
    std::function<void(int fenetre)> avantRelecture;

private:
    void remplir();

    const ByteSource& source_;
    std::vector<AviFrame> morceaux_;
    size_t suivant_ = 0;
    std::vector<uint8_t> tampons_[2];
    bool utilise_[2] = {false, false};
    int fenetre_ = 1;
    int64_t debutTampon_ = 0; // file offset of the current window's first byte
    size_t finFenetre_ = 0;   // chunks [suivant_, finFenetre_) are in the current window
};

} // namespace korvan
