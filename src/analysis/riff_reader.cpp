#include "analysis/riff_reader.h"

namespace korvan {

std::optional<ChunkHeader> RiffReader::headerAt(int64_t pos) const
{
    uint8_t b[8];
    if (pos < 0 || !source_.readExactAt(pos, b, 8))
        return std::nullopt;
    ChunkHeader h;
    h.position = pos;
    h.id = FourCC::fromBytes(b);
    h.size = lireU32(b + 4);
    return h;
}

std::optional<FourCC> RiffReader::fourccAt(int64_t pos) const
{
    uint8_t b[4];
    if (pos < 0 || !source_.readExactAt(pos, b, 4))
        return std::nullopt;
    return FourCC::fromBytes(b);
}

} // namespace korvan
