#include "analysis/aviinfo.h"

#include <algorithm>

namespace korvan {

TAviParam::TAviParam(const std::string& path)
{
    const BinaryFile file(path, BinaryFile::Mode::Read);
    parcourirFichier(RiffReader(file));
}

TAviParam::TAviParam(const ByteSource& source)
{
    parcourirFichier(RiffReader(source));
}

FourCC TAviParam::CodecVideo() const
{
    if (indexVideo < 0 || size_t(indexVideo) >= flux.size())
        return FourCC("####");
    return flux[size_t(indexVideo)].fccHandler;
}

// Top level: a valid file is a first RIFF chunk of an AVI form (AVI or the
// OpenDML extension AVIX) lying wholly in the file and walking cleanly; a
// later complete RIFF chunk that fails makes it invalid again, while anything
// after the last good one that is not a complete RIFF chunk is ignored.
void TAviParam::parcourirFichier(const RiffReader& r)
{
    int64_t reste = r.fileSize();
    int64_t pos = 0;
    while (reste >= 8) {
        pos = RiffReader::alignEven(pos);
        const auto h = r.headerAt(pos);
        if (!h) {
            valide = false;
            return;
        }
        if (int64_t(h->size) + 8 > reste)
            return;
        reste -= int64_t(h->size) + 8;
        if (!(h->id == FourCC("RIFF")) || h->size <= 3)
            return;
        const auto forme = r.fourccAt(h->dataPosition());
        if (!forme)
            return;
        if (forme->startsWith("AVI") && parcourirRiff(r, h->dataPosition() + 4, int64_t(h->size) - 4)) {
            valide = true;
            pos = h->dataPosition() + h->size;
        } else {
            valide = false;
            return;
        }
    }
}

bool TAviParam::parcourirRiff(const RiffReader& r, int64_t pos, int64_t reste)
{
    while (reste >= 8) {
        pos = RiffReader::alignEven(pos);
        const auto h = r.headerAt(pos);
        if (!h)
            return true; // end of data
        reste -= int64_t(h->size) + 8;
        if (h->id == FourCC("LIST")) {
            if (h->size <= 3)
                return false;
            const auto type = r.fourccAt(h->dataPosition());
            if (!type)
                return false;
            if (*type == FourCC("hdrl") && !parcourirHdrl(r, h->dataPosition() + 4, int64_t(h->size) - 4))
                return false;
        }
        pos = h->dataPosition() + h->size;
    }
    return true;
}

bool TAviParam::parcourirHdrl(const RiffReader& r, int64_t pos, int64_t reste)
{
    while (reste >= 8) {
        pos = RiffReader::alignEven(pos);
        const auto h = r.headerAt(pos);
        if (!h)
            return false;
        reste -= int64_t(h->size) + 8;
        if (h->id == FourCC("avih")) {
            // The main header must be readable in full; it is not used further.
            if (r.bytesFrom(h->dataPosition()) < int64_t(h->size))
                return false;
        } else if (h->id == FourCC("LIST")) {
            if (h->size <= 3)
                return false;
            const auto type = r.fourccAt(h->dataPosition());
            if (!type)
                return false;
            if (*type == FourCC("strl"))
                parcourirStrl(r, h->dataPosition() + 4, int64_t(h->size) - 4);
        }
        pos = h->dataPosition() + h->size;
    }
    return true;
}

void TAviParam::parcourirStrl(const RiffReader& r, int64_t pos, int64_t reste)
{
    flux.emplace_back();
    const int32_t index = int32_t(flux.size() - 1);
    while (reste >= 8) {
        pos = RiffReader::alignEven(pos);
        const auto h = r.headerAt(pos);
        if (!h)
            return;
        reste -= int64_t(h->size) + 8;
        if (h->id == FourCC("strh")) {
            uint8_t b[TAvistream::kSize] = {};
            const size_t voulu = std::min<size_t>(h->size, TAvistream::kSize);
            const size_t lu = r.readSomeAt(h->dataPosition(), b, voulu);
            flux[size_t(index)] = TAvistream::decode(b, lu);
            const FourCC type = flux[size_t(index)].fccType;
            if (lu >= 4 && (type == FourCC("vids") || type == FourCC("iavs")) && indexVideo == -1)
                indexVideo = index;
            if (lu < voulu)
                return;
        }
        pos = h->dataPosition() + h->size;
    }
}

} // namespace korvan
