#pragma once
// The one RIFF chunk reader. The container verdict, the header locator, the
// RIFF report and the demuxer are each a short walk over it; they differ only
// in how they count what remains and how lenient they are.
#include "analysis/bytes.h"
#include "analysis/file_io.h"

#include <cstdint>
#include <optional>

namespace korvan {

struct ChunkHeader {
    int64_t position = 0; // offset of the identifier
    FourCC id;
    uint32_t size = 0;    // size as stored (odd sizes are followed by a pad byte)

    int64_t dataPosition() const { return position + 8; }
    // End of the chunk including its pad byte.
    int64_t paddedEnd() const { return dataPosition() + paddedSize(size); }
    static int64_t paddedSize(uint32_t n) { return int64_t(n) + (n & 1); }
};

class RiffReader {
public:
    explicit RiffReader(const ByteSource& source) : source_(source), fileSize_(source.size()) {}

    int64_t fileSize() const { return fileSize_; }

    // The 8-byte chunk header at pos; none when fewer than 8 bytes remain there.
    std::optional<ChunkHeader> headerAt(int64_t pos) const;
    // A four-character code at pos (list and form types); none at the end.
    std::optional<FourCC> fourccAt(int64_t pos) const;
    bool readAt(int64_t pos, void* buffer, size_t n) const { return source_.readExactAt(pos, buffer, n); }
    size_t readSomeAt(int64_t pos, void* buffer, size_t n) const { return source_.readAt(pos, buffer, n); }
    // Bytes of the file from pos to its end (0 past the end).
    int64_t bytesFrom(int64_t pos) const { return pos >= fileSize_ ? 0 : fileSize_ - pos; }

    static int64_t alignEven(int64_t pos) { return pos + (pos & 1); }

private:
    const ByteSource& source_;
    int64_t fileSize_;
};

} // namespace korvan
