#include "analysis/avi_demuxer.h"

#include <algorithm>
#include <cmath>

namespace korvan {

namespace {

// Format blocks larger than this are not media formats anyone writes; keeping
// the bound stops a corrupt size from costing memory.
constexpr uint32_t kMaxFormatSize = 64 * 1024;
// Chunks examined when looking for a stream's first frame before falling back to the index.
constexpr int kMaxChunksFirstFrame = 4096;

// a x b / c rounded, in extended precision and kept within 64 bits: header
// fields are 32-bit and a corrupt one must not overflow.
int64_t muldiv(long double a, long double b, long double c)
{
    if (c == 0)
        return 0;
    const long double r = std::round(a * b / c);
    constexpr long double kMax = 9.2e18L;
    return int64_t(std::clamp(r, -kMax, kMax));
}

// Calls visit(header) for each data chunk from begin to end, descending
// 'rec ' lists (they interleave the streams' chunks: their content is walked
// as if it lay at the top); stops when visit returns false.
template <typename Visit>
void walkChunks(const RiffReader& reader, int64_t begin, int64_t end, Visit&& visit)
{
    for (int64_t pos = begin; pos + 8 <= end;) {
        const auto h = reader.headerAt(pos);
        if (!h)
            return;
        if (h->id == FourCC("LIST")) {
            if (h->size >= 4 && reader.fourccAt(h->dataPosition()) == FourCC("rec ")) {
                pos = h->dataPosition() + 4;
                continue;
            }
        } else if (!visit(*h)) {
            return;
        }
        pos = h->paddedEnd();
    }
}

} // namespace

int64_t AviStreamInfo::dureeHeader() const
{
    if (header.dwRate == 0)
        return 0;
    return muldiv((long double)header.dwLength * header.dwScale, 10000000, header.dwRate);
}

int64_t AviStreamInfo::tempsParImage() const
{
    if (header.dwRate == 0)
        return 0;
    return muldiv(header.dwScale, 10000000, header.dwRate);
}

AviDemuxer::AviDemuxer(std::shared_ptr<const ByteSource> source)
    : source_(std::move(source)), reader_(*source_)
{
    readHeaders();
}

AviDemuxer AviDemuxer::ouvrir(const std::string& path)
{
    return AviDemuxer(std::make_shared<BinaryFile>(path, BinaryFile::Mode::Read));
}

int AviDemuxer::streamOfChunk(const FourCC& id)
{
    const char a = id.c[0], b = id.c[1];
    if (a < '0' || a > '9' || b < '0' || b > '9')
        return -1;
    if (id.c[2] == 'p' && id.c[3] == 'c') // palette change, not a frame
        return -1;
    return (a - '0') * 10 + (b - '0');
}

void AviDemuxer::readHeaders()
{
    const auto riff = reader_.headerAt(0);
    if (!riff || !(riff->id == FourCC("RIFF")))
        return;
    const auto form = reader_.fourccAt(8);
    if (!form || !form->startsWith("AVI"))
        return;
    const int64_t fileSize = reader_.fileSize();
    // The end of a chunk as far as the file holds it. A zero size is left by
    // capture tools that never closed the chunk: it runs to the end.
    const auto endOf = [](const ChunkHeader& h, int64_t limit) {
        return h.size == 0 ? limit : std::min(h.dataPosition() + int64_t(h.size), limit);
    };
    const auto cut = [&](const ChunkHeader& h) { return h.size == 0 || h.dataPosition() + int64_t(h.size) > fileSize; };
    const bool firstCut = cut(*riff);
    interrupted_ = firstCut;
    const int64_t end = endOf(*riff, fileSize);

    bool headerList = false;
    for (int64_t pos = 12; pos + 8 <= end;) {
        const auto h = reader_.headerAt(pos);
        if (!h)
            break;
        const auto type = h->id == FourCC("LIST") ? reader_.fourccAt(h->dataPosition()) : std::nullopt;
        if (type == FourCC("movi") && (h->size >= 4 || h->size == 0)) {
            moviTypePosition_ = h->dataPosition();
            movi_.push_back({h->dataPosition() + 4, endOf(*h, end)});
            if (h->size == 0) {
                interrupted_ = true;
                break; // the rest of the file is its data
            }
        } else if (type == FourCC("hdrl") && h->size >= 4) {
            headerList = true;
            readHeaderList(h->dataPosition() + 4, std::min(h->dataPosition() + int64_t(h->size), end));
        } else if (h->id == FourCC("idx1")) {
            idx1_ = h;
        }
        pos = h->paddedEnd();
    }
    isAvi_ = headerList;
    if (!isAvi_)
        return;

    // OpenDML extension chunks: each RIFF 'AVIX' holds one more 'movi' list.
    int64_t pos = riff->paddedEnd();
    while (!firstCut && pos + 12 <= fileSize) {
        const auto h = reader_.headerAt(pos);
        if (!h || !(h->id == FourCC("RIFF")))
            break;
        const auto xform = reader_.fourccAt(h->dataPosition());
        if (!xform || !(*xform == FourCC("AVIX")))
            break;
        interrupted_ = interrupted_ || cut(*h);
        const int64_t xend = endOf(*h, fileSize);
        for (int64_t p = h->dataPosition() + 4; p + 8 <= xend;) {
            const auto c = reader_.headerAt(p);
            if (!c)
                break;
            if (c->id == FourCC("LIST") && (c->size >= 4 || c->size == 0) && reader_.fourccAt(c->dataPosition()) == FourCC("movi")) {
                movi_.push_back({c->dataPosition() + 4, endOf(*c, xend)});
                if (c->size == 0) {
                    interrupted_ = true;
                    break;
                }
            }
            p = c->paddedEnd();
        }
        if (h->size == 0)
            break;
        pos = h->paddedEnd();
    }
}

void AviDemuxer::readHeaderList(int64_t pos, int64_t end)
{
    while (pos + 8 <= end) {
        const auto h = reader_.headerAt(pos);
        if (!h)
            return;
        if (h->id == FourCC("LIST") && h->size >= 4 && reader_.fourccAt(h->dataPosition()) == FourCC("strl"))
            readStreamList(h->dataPosition() + 4, std::min(h->dataPosition() + int64_t(h->size), end));
        pos = h->paddedEnd();
    }
}

void AviDemuxer::readStreamList(int64_t pos, int64_t end)
{
    AviStreamInfo s;
    s.number = int(streams_.size());
    while (pos + 8 <= end) {
        const auto h = reader_.headerAt(pos);
        if (!h)
            break;
        if (h->id == FourCC("strh")) {
            uint8_t b[TAvistream::kSize] = {};
            const size_t n = reader_.readSomeAt(h->dataPosition(), b, std::min<size_t>(h->size, sizeof b));
            s.header = TAvistream::decode(b, n);
        } else if (h->id == FourCC("strf")) {
            s.format.resize(std::min(h->size, kMaxFormatSize));
            s.format.resize(reader_.readSomeAt(h->dataPosition(), s.format.data(), s.format.size()));
        } else if (h->id == FourCC("indx")) {
            s.superIndexPosition = h->dataPosition();
            s.superIndexSize = h->size;
        }
        pos = h->paddedEnd();
    }
    streams_.push_back(std::move(s));
}

template <typename Visit>
void AviDemuxer::walkSpan(const Span& span, Visit&& visit) const
{
    walkChunks(reader_, span.begin, span.end, visit);
}

bool AviDemuxer::complete(const AviFrame& f) const
{
    return f.offset >= 0 && f.offset + int64_t(f.size) <= reader_.fileSize();
}

std::optional<AviFrame> AviDemuxer::firstFrame(int stream) const
{
    const auto frames = firstFrames(stream, 1);
    if (frames.empty())
        return std::nullopt;
    return frames.front();
}

std::vector<AviFrame> AviDemuxer::firstFrames(int stream, size_t count) const
{
    std::vector<AviFrame> found;
    if (stream < 0 || size_t(stream) >= streams_.size() || count == 0)
        return found;
    int examined = 0;
    for (const Span& span : movi_) {
        walkSpan(span, [&](const ChunkHeader& h) {
            if (++examined > kMaxChunksFirstFrame)
                return false;
            if (streamOfChunk(h.id) == stream && h.size > 0) {
                const int64_t avail = reader_.bytesFrom(h.dataPosition());
                found.push_back(AviFrame{h.dataPosition(), uint32_t(std::min<int64_t>(h.size, avail)), true});
            }
            return found.size() < count;
        });
        if (found.size() >= count || examined > kMaxChunksFirstFrame)
            break;
    }
    // The stream's chunks lie far into 'movi' (a file that is not interleaved): the index finds them.
    if (found.size() < count && examined > kMaxChunksFirstFrame) {
        found.clear();
        for (const AviFrame& f : frameIndex(stream)) {
            if (f.size > 0)
                found.push_back(f);
            if (found.size() >= count)
                break;
        }
    }
    return found;
}

AviFrameCursor::AviFrameCursor(std::shared_ptr<const ByteSource> source, int stream)
    : source_(std::move(source)), reader_(*source_), stream_(stream)
{
}

void AviFrameCursor::add(Segment s)
{
    if (s.count <= 0)
        return;
    // Frames named one by one join the segment before when it is of their kind.
    if (s.kind == Segment::Kind::Frames && !segments_.empty() && segments_.back().kind == Segment::Kind::Frames) {
        Segment& last = segments_.back();
        last.frames.insert(last.frames.end(), s.frames.begin(), s.frames.end());
        last.count += s.count;
    } else {
        s.first = total_;
        segments_.push_back(std::move(s));
    }
    total_ = segments_.back().first + segments_.back().count;
    windowFirst_ = -1;
}

void AviFrameCursor::fill(const Segment& s, int64_t from)
{
    const int64_t k = from - s.first;
    const size_t n = size_t(std::min(kWindow, s.count - k));
    window_.assign(n, AviFrame{0, 0, true}); // what the file no longer holds stays empty
    windowFirst_ = from;
    switch (s.kind) {
    case Segment::Kind::Frames:
        std::copy_n(s.frames.begin() + k, n, window_.begin());
        break;
    case Segment::Kind::Entries: {
        bytes_.resize(n * s.entrySize);
        const size_t got = reader_.readSomeAt(s.entries + k * int64_t(s.entrySize), bytes_.data(), bytes_.size()) / s.entrySize;
        for (size_t i = 0; i < got; ++i) {
            const uint8_t* e = bytes_.data() + i * s.entrySize;
            const uint32_t dwSize = lireU32(e + 4);
            window_[i] = AviFrame{int64_t(s.base + lireU32(e)), dwSize & 0x7FFFFFFFu, (dwSize & 0x80000000u) == 0};
        }
        break;
    }
    case Segment::Kind::Walk: {
        size_t found = 0;
        walkChunks(reader_, s.marks[size_t(k / kWindow)], s.end, [&](const ChunkHeader& h) {
            if (AviDemuxer::streamOfChunk(h.id) == stream_)
                window_[found++] = AviFrame{h.dataPosition(), h.size, true};
            return found < n;
        });
        break;
    }
    }
}

AviFrame AviFrameCursor::at(int64_t i)
{
    if (i < 0 || i >= total_)
        return AviFrame{0, 0, true};
    if (windowFirst_ < 0 || i < windowFirst_ || i >= windowFirst_ + int64_t(window_.size())) {
        const auto after = std::upper_bound(segments_.begin(), segments_.end(), i,
                                            [](int64_t v, const Segment& s) { return v < s.first; });
        const Segment& s = *(after - 1);
        fill(s, s.first + (i - s.first) / kWindow * kWindow);
    }
    return window_[size_t(i - windowFirst_)];
}

std::vector<AviFrame> AviFrameCursor::all()
{
    std::vector<AviFrame> frames;
    frames.reserve(size_t(total_));
    for (const Segment& s : segments_) {
        if (s.kind == Segment::Kind::Frames) {
            frames.insert(frames.end(), s.frames.begin(), s.frames.end());
            continue;
        }
        for (int64_t from = s.first; from < s.first + s.count; from += kWindow) {
            fill(s, from);
            frames.insert(frames.end(), window_.begin(), window_.end());
        }
    }
    return frames;
}

std::vector<AviFrame> AviDemuxer::frameIndex(int stream, AviIndexOrigin* origin) const
{
    return frameCursor(stream, origin).all();
}

AviFrameCursor AviDemuxer::frameCursor(int stream, AviIndexOrigin* origin) const
{
    AviFrameCursor cursor(source_, stream);
    AviIndexOrigin o;
    if (stream >= 0 && size_t(stream) < streams_.size()) {
        int64_t idx1End = -1;
        std::vector<StandardIndex> openDml;
        std::vector<AviFrame> idx1;
        if (!(openDml = indexFromOpenDml(streams_[size_t(stream)])).empty()) {
            o.source = AviIndexSource::OpenDml;
        } else if (indexFromIdx1(stream, idx1, idx1End)) {
            o.source = AviIndexSource::Idx1;
        } else {
            idx1.clear();
            idx1End = -1;
        }
        // Without an index every 'movi' list is walked from its start.
        const size_t walked = completeFromMovi(stream, cursor, openDml, idx1, idx1End);
        if (o.source == AviIndexSource::None)
            o.source = AviIndexSource::MoviWalk;
        else
            o.recovered = walked;
    }
    if (origin)
        *origin = o;
    return cursor;
}

bool AviDemuxer::namesChunk(int stream, const AviFrame& f) const
{
    const auto h = reader_.headerAt(f.offset - 8);
    return h && streamOfChunk(h->id) == stream && h->size == f.size;
}

size_t AviDemuxer::completeFromMovi(int stream, AviFrameCursor& cursor, const std::vector<StandardIndex>& openDml,
                                    const std::vector<AviFrame>& idx1, int64_t idx1End) const
{
    using Segment = AviFrameCursor::Segment;
    const auto entries = [](const StandardIndex& ix) {
        Segment s;
        s.kind = Segment::Kind::Entries;
        s.entries = ix.entries;
        s.entrySize = ix.entrySize;
        s.base = ix.base;
        s.count = ix.count;
        return s;
    };
    const auto frames = [](std::vector<AviFrame> f) {
        Segment s;
        s.count = int64_t(f.size());
        s.frames = std::move(f);
        return s;
    };
    if (movi_.empty()) {
        for (const StandardIndex& ix : openDml)
            cursor.add(entries(ix));
        cursor.add(frames(idx1));
        return 0;
    }
    // The indexed frames by the 'movi' list they lie in (the last one
    // starting at or before them), in the index's order, and the one lying
    // furthest into each list.
    struct Indexed {
        std::vector<Segment> segments;
        std::optional<AviFrame> furthest;
    };
    std::vector<Indexed> lists(movi_.size());
    const auto note = [&](size_t l, const AviFrame& f) {
        if (!lists[l].furthest || f.offset > lists[l].furthest->offset)
            lists[l].furthest = f;
    };
    const auto one = [&](size_t l, const AviFrame& f) {
        std::vector<Segment>& in = lists[l].segments;
        if (in.empty() || in.back().kind != Segment::Kind::Frames)
            in.push_back(frames({}));
        in.back().frames.push_back(f);
        ++in.back().count;
    };
    for (const StandardIndex& ix : openDml) {
        if (ix.count == 0)
            continue;
        // A chunk indexing one list (as writers do) stays where it lies; one
        // spanning lists is taken apart frame by frame.
        if (!ix.mixed) {
            note(ix.list, ix.furthest);
            lists[ix.list].segments.push_back(entries(ix));
            continue;
        }
        StandardIndex again = ix;
        visitStandardIndex(again, [&](const AviFrame& f) {
            note(listOf(f.offset), f);
            one(listOf(f.offset), f);
        });
    }
    for (const AviFrame& f : idx1) {
        const size_t l = listOf(f.offset);
        note(l, f);
        one(l, f);
    }

    size_t recovered = 0;
    bool cut = false;
    for (size_t i = 0; i < movi_.size() && !cut; ++i) {
        for (Segment& s : lists[i].segments)
            cursor.add(std::move(s));
        // Where the index stops naming chunks in this list: after the last
        // one it names, or after the last chunk idx1 names for any stream
        // (idx1 covers the first list). A complete index leaves only its
        // own tail to read: the other streams' last chunks, the ix## chunks.
        int64_t from = movi_[i].begin;
        if (const auto& last = lists[i].furthest) {
            if (!namesChunk(stream, *last))
                continue; // a damaged index is taken as it is, not walked past
            from = last->offset + ChunkHeader::paddedSize(last->size);
        }
        if (i == 0)
            from = std::max(from, idx1End);
        Segment walk;
        walk.kind = Segment::Kind::Walk;
        walk.end = movi_[i].end;
        walkSpan(Span{from, walk.end}, [&](const ChunkHeader& h) {
            if (streamOfChunk(h.id) != stream)
                return true;
            if (!complete(AviFrame{h.dataPosition(), h.size, true})) {
                cut = true; // the last chunk of an interrupted capture
                return false;
            }
            // A mark every window, where the walk finds that window again.
            if (walk.count % AviFrameCursor::kWindow == 0)
                walk.marks.push_back(h.position);
            ++walk.count;
            return true;
        });
        recovered += size_t(walk.count);
        cursor.add(std::move(walk));
    }
    return recovered;
}

std::vector<AviDemuxer::StandardIndex> AviDemuxer::indexFromOpenDml(const AviStreamInfo& s) const
{
    std::vector<StandardIndex> found;
    if (s.superIndexPosition < 0 || s.superIndexSize < AviIndexHeader::kSize)
        return found;
    uint8_t hb[AviIndexHeader::kSize];
    if (!reader_.readAt(s.superIndexPosition, hb, sizeof hb))
        return found;
    const AviIndexHeader h = AviIndexHeader::decode(hb, sizeof hb);
    // One pass over each chunk's entries: how many are whole, where they lie.
    const auto add = [&](int64_t chunkPos) {
        std::optional<StandardIndex> ix = locateStandardIndex(chunkPos);
        if (!ix)
            return;
        bool first = true;
        const bool read = visitStandardIndex(*ix, [&](const AviFrame& f) {
            const size_t l = listOf(f.offset);
            ix->mixed = ix->mixed || (!first && l != ix->list);
            ix->list = l;
            if (first || f.offset > ix->furthest.offset)
                ix->furthest = f;
            first = false;
        });
        if (read)
            found.push_back(*ix);
    };
    if (h.bIndexType == AviIndexHeader::kIndexOfChunks) { // a standard index kept in the header
        add(s.superIndexPosition - 8);
        return found;
    }
    if (h.bIndexType != AviIndexHeader::kIndexOfIndexes || h.wLongsPerEntry != 4)
        return found;
    // Entries the chunk can hold, and the file really has (a corrupt size must not cost memory).
    const int64_t octets = std::min<int64_t>(s.superIndexSize - AviIndexHeader::kSize,
                                             reader_.bytesFrom(s.superIndexPosition + AviIndexHeader::kSize));
    const uint64_t room = uint64_t(std::max<int64_t>(octets, 0)) / 16;
    const uint32_t count = uint32_t(std::min<uint64_t>(h.nEntriesInUse, room));
    std::vector<uint8_t> entries(size_t(count) * 16);
    if (!reader_.readAt(s.superIndexPosition + AviIndexHeader::kSize, entries.data(), entries.size()))
        return found;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = entries.data() + size_t(i) * 16;
        const uint64_t qwOffset = lireU64(e);
        if (qwOffset > uint64_t(reader_.fileSize()))
            break; // an interrupted capture: the rest was never written
        const auto ix = reader_.headerAt(int64_t(qwOffset));
        if (!ix || !ix->id.startsWith("ix"))
            break;
        add(int64_t(qwOffset));
    }
    return found;
}

size_t AviDemuxer::listOf(int64_t offset) const
{
    const auto after = std::upper_bound(movi_.begin(), movi_.end(), offset,
                                        [](int64_t v, const Span& s) { return v < s.begin; });
    return after == movi_.begin() ? size_t(0) : size_t(after - movi_.begin() - 1);
}

// A standard index chunk ('ix##'): header, then (offset, size) pairs relative to qwBaseOffset.
std::optional<AviDemuxer::StandardIndex> AviDemuxer::locateStandardIndex(int64_t chunkPos) const
{
    const auto c = reader_.headerAt(chunkPos);
    if (!c)
        return std::nullopt;
    uint8_t hb[AviIndexHeader::kSize];
    if (c->size < AviIndexHeader::kSize || !reader_.readAt(c->dataPosition(), hb, sizeof hb))
        return std::nullopt;
    const AviIndexHeader h = AviIndexHeader::decode(hb, sizeof hb);
    if (h.bIndexType != AviIndexHeader::kIndexOfChunks || h.wLongsPerEntry < 2)
        return std::nullopt;
    StandardIndex ix;
    ix.entries = c->dataPosition() + AviIndexHeader::kSize;
    ix.entrySize = uint32_t(h.wLongsPerEntry) * 4;
    ix.base = h.qwBaseOffset;
    const int64_t octets = std::min<int64_t>(c->size - AviIndexHeader::kSize, reader_.bytesFrom(ix.entries));
    const uint64_t room = uint64_t(std::max<int64_t>(octets, 0)) / ix.entrySize;
    ix.available = uint32_t(std::min<uint64_t>(h.nEntriesInUse, room));
    return ix;
}

template <typename Visit>
bool AviDemuxer::visitStandardIndex(StandardIndex& ix, Visit&& visit) const
{
    // A block of entries at a time: memory stays bounded whatever the index claims.
    constexpr uint32_t kBlock = 4096;
    std::vector<uint8_t> block(size_t(std::min(ix.available, kBlock)) * ix.entrySize);
    uint32_t usable = 0;
    ix.count = 0;
    for (uint32_t done = 0; done < ix.available;) {
        const uint32_t n = std::min(ix.available - done, kBlock);
        const size_t got = reader_.readSomeAt(ix.entries + int64_t(done) * ix.entrySize, block.data(), size_t(n) * ix.entrySize)
            / ix.entrySize;
        usable += uint32_t(got);
        for (size_t i = 0; i < got; ++i) {
            const uint8_t* e = block.data() + i * ix.entrySize;
            const uint32_t dwSize = lireU32(e + 4);
            const AviFrame f{int64_t(ix.base + lireU32(e)), dwSize & 0x7FFFFFFFu, (dwSize & 0x80000000u) == 0};
            if (!complete(f))
                return usable > 0;
            visit(f);
            ++ix.count;
        }
        if (got < n)
            break;
        done += n;
    }
    return usable > 0;
}

bool AviDemuxer::indexFromIdx1(int stream, std::vector<AviFrame>& out, int64_t& lastChunkEnd) const
{
    lastChunkEnd = -1;
    if (!idx1_ || idx1_->size < 16 || moviTypePosition_ < 0)
        return false;
    // An idx1 cut by the end of the file keeps its whole entries.
    const uint32_t count = uint32_t(std::min<int64_t>(idx1_->size, reader_.bytesFrom(idx1_->dataPosition())) / 16);
    std::vector<uint8_t> entries(size_t(count) * 16);
    if (count == 0 || !reader_.readAt(idx1_->dataPosition(), entries.data(), entries.size()))
        return false;

    // Offsets are normally relative to the 'movi' code; a few writers store
    // file offsets. The first entry tells which, by pointing at its own chunk.
    const FourCC firstId = FourCC::fromBytes(entries.data());
    const int64_t firstOffset = lireU32(entries.data() + 8);
    int64_t base = -1;
    for (const int64_t candidate : {moviTypePosition_, int64_t(0)}) {
        const auto h = reader_.headerAt(candidate + firstOffset);
        if (h && h->id == firstId) {
            base = candidate;
            break;
        }
    }
    if (base < 0)
        return false; // damaged: the caller walks 'movi' instead

    bool any = false;
    bool cut = false;
    const uint8_t* furthest = nullptr;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = entries.data() + size_t(i) * 16;
        if (!furthest || lireU32(e + 8) > lireU32(furthest + 8))
            furthest = e;
        const FourCC id = FourCC::fromBytes(e);
        if (cut || streamOfChunk(id) != stream)
            continue;
        const uint32_t flags = lireU32(e + 4);
        AviFrame f{base + int64_t(lireU32(e + 8)) + 8, lireU32(e + 12), (flags & 0x10u) != 0};
        if (!complete(f)) {
            cut = true;
            continue;
        }
        out.push_back(f);
        any = true;
    }
    // The data past the furthest chunk named is what the index misses; an
    // entry that does not name its chunk tells nothing.
    const int64_t at = base + int64_t(lireU32(furthest + 8));
    const auto h = reader_.headerAt(at);
    if (h && h->id == FourCC::fromBytes(furthest) && h->size == lireU32(furthest + 12))
        lastChunkEnd = h->paddedEnd();
    return any;
}

} // namespace korvan
