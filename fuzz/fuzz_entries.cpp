#include "fuzz_entries.h"

#include "analysis/avi_demuxer.h"
#include "analysis/aviinfo.h"
#include "analysis/buildlist.h"
#include "analysis/fpsunit.h"
#include "analysis/riffunit.h"

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
        const std::vector<AviFrame> index = avi.frameIndex(s.number);
        for (const AviFrame& f : index)
            if (!dedans(f))
                return false;
        // Read from the far end back, the cursor gives the same frames.
        AviFrameCursor curseur = avi.frameCursor(s.number);
        if (curseur.size() != int64_t(index.size()))
            return false;
        for (int64_t i = curseur.size() - 1; i >= 0; --i) {
            const AviFrame f = curseur.at(i);
            const AviFrame& e = index[size_t(i)];
            if (f.offset != e.offset || f.size != e.size || f.keyframe != e.keyframe)
                return false;
        }
    }
    TResultatSonde r;
    Sonder(avi, r);
    return r.nombreFlux == int32_t(avi.streams().size()) || !avi.isAvi();
}

bool fuzzRapportRiff(const uint8_t* data, size_t size)
{
    const MemorySource source(data, size);
    const QString chemin = QStringLiteral("/tmp/fuzz.avi");
    const QStringList l = RapportRiff(source, chemin, {QStringLiteral("5.3.6"), QStringLiteral("https://x"), 38000.5});
    // One chunk read gives at most 27 lines (a video format with its DV
    // block, after the size correction); the walk reads at most one chunk
    // header per four bytes, plus 1024, plus the read that finds the budget spent.
    const qsizetype lecturesMax = qsizetype(size / 4) + 1025;
    if (l.size() > 30 + 27 * lecturesMax)
        return false;
    const qsizetype largeurMax = 4 * kProfondeurMaxRapport + 80;
    for (const QString& ligne : l)
        if (ligne.size() > largeurMax)
            return false;
    const QString tirets(50, u'-');
    return l.size() >= 16 && l.first() == tirets && l.last() == tirets && l[l.size() - 2].isEmpty()
        && l[l.size() - 3].trimmed() == chemin && l[l.size() - 4].contains(QStringLiteral(" Fin de l'en-tête "))
        && l[10].contains(QStringLiteral("Début du RIFF Avi"));
}

} // namespace korvan::fuzz
