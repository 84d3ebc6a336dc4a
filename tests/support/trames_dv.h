#pragma once
// The DV frames of a fixture clip (its first stream: the video of a type 2
// file, the interleaved stream of a type 1 file), read with the program's demuxer.
#include "analysis/avi_demuxer.h"
#include "support/fixtures.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvan::test {

using TrameDV = std::vector<uint8_t>;

// The chunks of a stream of any clip.
inline std::vector<TrameDV> tramesDe(const std::string& chemin, int flux = 0)
{
    const AviDemuxer avi = AviDemuxer::ouvrir(chemin);
    std::vector<TrameDV> trames;
    for (const AviFrame& f : avi.frameIndex(flux)) {
        TrameDV t(f.size);
        if (!avi.source().readExactAt(f.offset, t.data(), t.size()))
            break;
        trames.push_back(std::move(t));
    }
    return trames;
}

inline std::vector<TrameDV> tramesFixture(const std::string& nom)
{
    return tramesDe(fixture(nom));
}

} // namespace korvan::test
