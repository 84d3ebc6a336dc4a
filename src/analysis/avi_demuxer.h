#pragma once
// A lenient AVI demuxer: the stream headers and formats of the first RIFF
// chunk, where the stream data lies, and per stream the frame index. It reads
// what a damaged or interrupted capture still holds: a RIFF size beyond the
// end of the file, a missing or broken index, OpenDML files with AVIX
// extension chunks and files over 4 GiB.
//
// Opening reads the headers only; the frame index of a stream is built on
// demand (a scan, the preview or a conversion), from the OpenDML indexes, from
// 'idx1', or by walking the 'movi' lists.
#include "analysis/avi_structs.h"
#include "analysis/file_io.h"
#include "analysis/riff_reader.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvan {

// One data chunk of a stream: where its bytes start and how many there are.
struct AviFrame {
    int64_t offset = 0; // first data byte (after the chunk header)
    uint32_t size = 0;
    bool keyframe = true;
};

struct AviStreamInfo {
    int number = 0;              // stream number, as in the chunk ids ("00dc" is stream 0)
    TAvistream header;           // 'strh'
    std::vector<uint8_t> format; // 'strf' as stored
    int64_t superIndexPosition = -1; // 'indx' chunk data, -1 without one
    uint32_t superIndexSize = 0;

    // Length in 100 ns from the stream header (length x scale / rate).
    int64_t dureeHeader() const;
    // Average frame time in 100 ns from scale / rate, rounded; 0 when unknown.
    int64_t tempsParImage() const;
};

enum class AviIndexSource { None, OpenDml, Idx1, MoviWalk };

// How a stream's frame index was made.
struct AviIndexOrigin {
    AviIndexSource source = AviIndexSource::None;
    // Chunks that lie past what the index names (an interrupted capture), found by walking 'movi'.
    size_t recovered = 0;
};

class AviDemuxer {
public:
    explicit AviDemuxer(std::shared_ptr<const ByteSource> source);
    // Opens a file on disk; throws FileError when it cannot be opened.
    static AviDemuxer ouvrir(const std::string& path);

    // The source starts as a RIFF chunk of an AVI form with a header list.
    bool isAvi() const { return isAvi_; }
    // The capture was cut short: a RIFF chunk (the first or an extension)
    // claims more bytes than the file holds, or was never closed (size 0).
    // The stream headers then still claim what was never written.
    bool interrupted() const { return interrupted_; }
    const std::vector<AviStreamInfo>& streams() const { return streams_; }
    const ByteSource& source() const { return *source_; }

    // First data chunk of a stream, found from the start of 'movi' by reading
    // chunk headers only (cheap: it is normally the first chunk or close to it).
    std::optional<AviFrame> firstFrame(int stream) const;
    // The first `count` non-empty data chunks of a stream, found the same way.
    std::vector<AviFrame> firstFrames(int stream, size_t count) const;
    // Every data chunk of a stream in order; chunks cut by the end of the file
    // are left out. The index is trusted as far as it goes: only the data past
    // the last chunk it names in each 'movi' list is walked.
    std::vector<AviFrame> frameIndex(int stream, AviIndexOrigin* origin = nullptr) const;

    // Stream number of a data chunk id ("01wb" -> 1); -1 for other chunks.
    static int streamOfChunk(const FourCC& id);

private:
    struct Span {
        int64_t begin;
        int64_t end;
    };
    void readHeaders();
    void readHeaderList(int64_t pos, int64_t end);
    void readStreamList(int64_t pos, int64_t end);
    bool indexFromOpenDml(const AviStreamInfo& s, std::vector<AviFrame>& out) const;
    bool readStandardIndex(int64_t chunkPos, std::vector<AviFrame>& out) const;
    // lastChunkEnd: end of the chunk (of any stream) furthest into 'movi' that idx1 names, -1 when it cannot be checked.
    bool indexFromIdx1(int stream, std::vector<AviFrame>& out, int64_t& lastChunkEnd) const;
    // Adds to the indexed chunks of each 'movi' list the stream's chunks lying past them; returns how many.
    size_t completeFromMovi(int stream, std::vector<AviFrame>& frames, int64_t idx1End) const;
    // The chunk header before a frame's data is the stream's, of the frame's size.
    bool namesChunk(int stream, const AviFrame& f) const;
    // Calls visit(header) for each data chunk of a span, descending 'rec ' lists; stops when visit returns false.
    template <typename Visit>
    void walkSpan(const Span& span, Visit&& visit) const;
    bool complete(const AviFrame& f) const;

    std::shared_ptr<const ByteSource> source_;
    RiffReader reader_;
    bool isAvi_ = false;
    bool interrupted_ = false;
    std::vector<AviStreamInfo> streams_;
    std::vector<Span> movi_;          // content of each 'movi' list (first RIFF, then AVIX)
    int64_t moviTypePosition_ = -1;   // the 'movi' code of the first RIFF: base of idx1 offsets
    std::optional<ChunkHeader> idx1_;
};

} // namespace korvan
