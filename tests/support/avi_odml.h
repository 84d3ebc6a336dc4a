#pragma once
// OpenDML clips for tests, laid out as FFmpeg's AVI muxer writes them past
// 1 GiB: a first RIFF 'AVI ' and RIFF 'AVIX' extensions, the streams' chunks
// interleaved one by one, each 'movi' list closed by one standard index
// ('ix##') per stream, a super index ('indx') per stream in its header list,
// optionally an 'idx1' for the first part, and a JUNK chunk of `gap` bytes
// (never written: a sparse hole) closing the first RIFF.
#include "analysis/avi_demuxer.h"
#include "support/riff_builder.h"

#include <cstdio>
#include <string>
#include <vector>

namespace korvan::test {

struct OdmlStream {
    std::string strh;   // the 'strh' chunk
    std::string strf;   // the 'strf' chunk
    std::string suffix; // "dc", "wb": the chunk ids are the stream number and this
    std::vector<std::string> chunks;
    bool oddChunksAreDelta = false; // bit 31 of their size in the standard index
};

struct OdmlClip {
    std::string head; // bytes from offset 0
    int64_t gap = 0;  // hole after head
    std::string tail; // bytes at head.size() + gap

    std::string contiguous() const { return head + std::string(size_t(gap), '\0') + tail; }
};

inline std::string chunkId(size_t stream, const std::string& suffix)
{
    char n[3];
    std::snprintf(n, sizeof n, "%02zu", stream % 100);
    return n + suffix;
}

inline std::string u16le(uint16_t v)
{
    return std::string{char(v & 0xFF), char(v >> 8)};
}

inline std::string u64le(uint64_t v)
{
    return u32le(uint32_t(v)) + u32le(uint32_t(v >> 32));
}

// A standard index of chunks: entries relative to the 'movi' list at base.
inline std::string standardIndex(const std::string& id, int64_t base, const std::vector<int64_t>& dataOffsets,
                                 const std::vector<uint32_t>& sizes, bool oddDelta)
{
    std::string d = u16le(2) + '\0' + '\x01' + u32le(uint32_t(dataOffsets.size())) + id + u64le(uint64_t(base)) + u32le(0);
    for (size_t i = 0; i < dataOffsets.size(); ++i)
        d += u32le(uint32_t(dataOffsets[i] - base)) + u32le(sizes[i] | (oddDelta && i % 2 ? 0x80000000u : 0));
    return chunk("ix" + id.substr(0, 2), d);
}

// RIFF r holds the next chunksPerRiff[r] chunks of every stream.
inline OdmlClip buildOdml(const std::vector<OdmlStream>& streams, const std::vector<size_t>& chunksPerRiff,
                          bool withIdx1, int64_t gap = 0)
{
    const size_t riffs = chunksPerRiff.size();
    // Header list; the super index entries are filled in once the ix## positions are known.
    std::string strls;
    std::vector<size_t> indxAt; // data of each super index, from the start of strls
    for (size_t n = 0; n < streams.size(); ++n) {
        const std::string body = "strl" + streams[n].strh + streams[n].strf;
        indxAt.push_back(strls.size() + 8 + body.size() + 8);
        const std::string superIndex = u16le(4) + '\0' + '\0' + u32le(uint32_t(riffs)) + chunkId(n, streams[n].suffix)
            + std::string(12, '\0') + std::string(16 * riffs, '\0');
        strls += chunk("LIST", body + chunk("indx", superIndex));
    }
    const std::string hdrl = chunk("LIST", "hdrl" + avih() + strls);
    const size_t strlsAt = 12 + 12 + avih().size();

    OdmlClip c;
    c.gap = gap;
    std::vector<size_t> next(streams.size(), 0);
    std::vector<std::string> superEntries(streams.size());
    int64_t riffAt = 0;
    for (size_t r = 0; r < riffs; ++r) {
        const int64_t moviAt = r == 0 ? int64_t(12 + hdrl.size()) : riffAt + 12;
        std::string data;
        std::string idx1;
        std::vector<std::vector<int64_t>> offsets(streams.size());
        std::vector<std::vector<uint32_t>> sizes(streams.size());
        for (size_t k = 0; k < chunksPerRiff[r]; ++k) {
            for (size_t n = 0; n < streams.size(); ++n) {
                if (next[n] >= streams[n].chunks.size())
                    continue;
                const std::string& payload = streams[n].chunks[next[n]++];
                const int64_t at = moviAt + 12 + int64_t(data.size());
                offsets[n].push_back(at + 8);
                sizes[n].push_back(uint32_t(payload.size()));
                idx1 += chunkId(n, streams[n].suffix) + u32le(0x10) + u32le(uint32_t(at - (moviAt + 8)))
                    + u32le(uint32_t(payload.size()));
                data += chunk(chunkId(n, streams[n].suffix), payload);
            }
        }
        for (size_t n = 0; n < streams.size(); ++n) {
            const int64_t ixAt = moviAt + 12 + int64_t(data.size());
            data += standardIndex(chunkId(n, streams[n].suffix), moviAt, offsets[n], sizes[n], streams[n].oddChunksAreDelta);
            superEntries[n] += u64le(uint64_t(ixAt)) + u32le(uint32_t(24 + 8 * offsets[n].size())) + u32le(uint32_t(offsets[n].size()));
        }
        const std::string movi = chunk("LIST", "movi" + data);
        if (r == 0) {
            std::string body = "AVI " + hdrl + movi + (withIdx1 ? chunk("idx1", idx1) : std::string());
            if (gap > 0)
                body += "JUNK" + u32le(uint32_t(gap));
            c.head = "RIFF" + u32le(uint32_t(int64_t(body.size()) + gap)) + body;
            riffAt = int64_t(c.head.size()) + gap;
        } else {
            const std::string x = chunk("RIFF", "AVIX" + movi);
            c.tail += x;
            riffAt += int64_t(x.size());
        }
    }
    for (size_t n = 0; n < streams.size(); ++n)
        c.head.replace(strlsAt + indxAt[n] + 24, superEntries[n].size(), superEntries[n]);
    return c;
}

// The streams of a clip with their chunks, headers and formats, read with
// the program's demuxer, ready to be laid out again.
inline std::vector<OdmlStream> streamsOf(const AviDemuxer& avi)
{
    std::vector<OdmlStream> out;
    for (const AviStreamInfo& s : avi.streams()) {
        OdmlStream o;
        const TAvistream& h = s.header;
        o.strh = strh(h.fccType.str(), h.fccHandler.str(), h.dwScale, h.dwRate, h.dwLength, h.dwSampleSize);
        o.strf = chunk("strf", std::string(s.format.begin(), s.format.end()));
        o.suffix = h.fccType == FourCC("auds") ? "wb" : "dc";
        for (const AviFrame& f : avi.frameIndex(s.number)) {
            std::string payload(f.size, '\0');
            if (!avi.source().readExactAt(f.offset, payload.data(), payload.size()))
                break;
            o.chunks.push_back(std::move(payload));
        }
        out.push_back(std::move(o));
    }
    return out;
}

// Keeps the first `count` chunks of every stream; the stream headers' lengths
// follow (in samples for a stream of fixed-size samples, else in chunks).
inline void keepChunks(std::vector<OdmlStream>& streams, size_t count)
{
    for (OdmlStream& s : streams) {
        if (s.chunks.size() > count)
            s.chunks.resize(count);
        auto* h = reinterpret_cast<uint8_t*>(s.strh.data()) + 8;
        const uint32_t sampleSize = lireU32(h + 44);
        uint64_t bytes = 0;
        for (const std::string& c : s.chunks)
            bytes += c.size();
        ecrireU32(h + 32, uint32_t(sampleSize > 0 ? bytes / sampleSize : s.chunks.size()));
    }
}

} // namespace korvan::test
