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

// The frames of one stream, in the order frameIndex gives them, read from
// the file a window at a time: what it holds is bounded whatever the length
// of the clip (the entries of OpenDML standard indexes are read where they
// lie; frames found by walking 'movi' are found again from a mark kept every
// window). Only 'idx1' frames are held, and 'idx1' lies in the first RIFF
// chunk (4 GiB at most).
class AviFrameCursor {
public:
    int64_t size() const { return total_; }
    // Frame i, 0 <= i < size(); a frame the file no longer holds reads as an empty one at offset 0.
    AviFrame at(int64_t i);
    // Every frame, in order.
    std::vector<AviFrame> all();

    static constexpr int64_t kWindow = 2048;

private:
    friend class AviDemuxer;
    struct Segment {
        enum class Kind { Frames, Entries, Walk };
        Kind kind = Kind::Frames;
        int64_t first = 0; // the cursor's number of its first frame
        int64_t count = 0;
        std::vector<AviFrame> frames; // Frames
        int64_t entries = 0;          // Entries: where the first entry lies, their size and base
        uint32_t entrySize = 0;
        uint64_t base = 0;
        std::vector<int64_t> marks; // Walk: the chunk header of every kWindow-th frame, and the span's end
        int64_t end = 0;
    };
    AviFrameCursor(std::shared_ptr<const ByteSource> source, int stream);
    void add(Segment s);
    void fill(const Segment& s, int64_t from);

    std::shared_ptr<const ByteSource> source_;
    RiffReader reader_;
    int stream_;
    std::vector<Segment> segments_;
    int64_t total_ = 0;
    std::vector<AviFrame> window_;
    int64_t windowFirst_ = -1;
    std::vector<uint8_t> bytes_;
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
    // The same frames, read as they are asked for.
    AviFrameCursor frameCursor(int stream, AviIndexOrigin* origin = nullptr) const;

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
    // A standard index chunk's entries: where they lie, how many name whole
    // chunks of the file, the 'movi' list they lie in (mixed: more than one)
    // and the frame lying furthest into it.
    struct StandardIndex {
        int64_t entries = 0;
        uint32_t entrySize = 0;
        uint64_t base = 0;
        uint32_t available = 0; // entries the chunk holds and the file has
        uint32_t count = 0;
        size_t list = 0;
        bool mixed = false;
        AviFrame furthest{};
    };
    // The standard index chunk at chunkPos, its entries not read yet.
    std::optional<StandardIndex> locateStandardIndex(int64_t chunkPos) const;
    // Visits the frames of ix's entries up to the first the file does not
    // hold whole, a block at a time; fills ix.count. False when no entry could be read.
    template <typename Visit>
    bool visitStandardIndex(StandardIndex& ix, Visit&& visit) const;
    std::vector<StandardIndex> indexFromOpenDml(const AviStreamInfo& s) const;
    // The 'movi' list an offset lies in: the last one starting at or before it.
    size_t listOf(int64_t offset) const;
    // lastChunkEnd: end of the chunk (of any stream) furthest into 'movi' that idx1 names, -1 when it cannot be checked.
    bool indexFromIdx1(int stream, std::vector<AviFrame>& out, int64_t& lastChunkEnd) const;
    // The indexed frames of each 'movi' list in order, each list followed by
    // the stream's chunks lying past them; returns how many of those.
    size_t completeFromMovi(int stream, AviFrameCursor& cursor, const std::vector<StandardIndex>& openDml,
                            const std::vector<AviFrame>& idx1, int64_t idx1End) const;
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
