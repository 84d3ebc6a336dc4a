#include "fuzz_entries.h"

#include "analysis/avi_demuxer.h"
#include "analysis/aviinfo.h"
#include "analysis/buildlist.h"
#include "analysis/fpsunit.h"

#include <cstring>

namespace korvan::fuzz {

bool fuzzAviParam(const uint8_t* data, size_t size)
{
    const MemorySource source(data, size);
    const TAviParam avi(source);
    if (avi.indexVideo == -1)
        return avi.CodecVideo() == FourCC("####");
    // A later strh in the same strl may replace the record's type, so only
    // the index itself is checked.
    if (avi.indexVideo < 0 || size_t(avi.indexVideo) >= avi.flux.size())
        return false;
    return avi.CodecVideo() == avi.flux[size_t(avi.indexVideo)].fccHandler;
}

bool fuzzHeaderLocator(const uint8_t* data, size_t size)
{
    const MemorySource source(data, size);
    const PositionsEntetes p = LocaliserEntetes(source);
    if (!p)
        return p.positionCodec == 0 && p.positionEchelle == 0;
    const int64_t n = int64_t(size);
    // positionCodec is 4 bytes into the data of a chunk whose header starts
    // 12 bytes before it.
    if (p.positionCodec < 12 || p.positionEchelle != p.positionCodec + 16 || p.positionEchelle + 8 > n)
        return false;
    const uint8_t* enTete = data + p.positionCodec - 12;
    const uint8_t* type = data + p.positionCodec - 4;
    return std::memcmp(enTete, "strh", 4) == 0
        && (std::memcmp(type, "vids", 4) == 0 || std::memcmp(type, "iavs", 4) == 0);
}

bool fuzzDemuxer(const uint8_t* data, size_t size)
{
    // The source must outlive the demuxer: a non-owning shared pointer.
    const MemorySource source(data, size);
    const std::shared_ptr<const ByteSource> partage(&source, [](const ByteSource*) {});
    const AviDemuxer avi(partage);
    const auto dedans = [size](const AviFrame& f) { return f.offset >= 0 && uint64_t(f.offset) + f.size <= size; };
    for (const AviStreamInfo& s : avi.streams()) {
        if (const auto premiere = avi.firstFrame(s.number); premiere && !dedans(*premiere))
            return false;
        for (const AviFrame& f : avi.frameIndex(s.number))
            if (!dedans(f))
                return false;
    }
    TResultatSonde r;
    Sonder(avi, r);
    return r.nombreFlux == int32_t(avi.streams().size()) || !avi.isAvi();
}

} // namespace korvan::fuzz
