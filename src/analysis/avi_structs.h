#pragma once
// The published AVI header layouts, little-endian, each field in stored
// order. decode reads the first n bytes of a stored header (fields beyond n
// stay zero); encode writes the kSize bytes of the layout.
#include "analysis/bytes.h"
#include "analysis/structure_stockee.h"

#include <cstddef>
#include <cstdint>
#include <tuple>

namespace korvan {

// Stream header ('strh'), 56 bytes.
struct TAvistream : StructureStockee<TAvistream> {
    static constexpr size_t kSize = 56;
    FourCC fccType;
    FourCC fccHandler;
    uint32_t dwFlags = 0;
    uint16_t wPriority = 0;
    uint16_t wLanguage = 0;
    uint32_t dwInitialFrames = 0;
    uint32_t dwScale = 0;
    uint32_t dwRate = 0;
    uint32_t dwStart = 0;
    uint32_t dwLength = 0;
    uint32_t dwSuggestedBufferSize = 0;
    uint32_t dwQuality = 0;
    uint32_t dwSampleSize = 0;
    int16_t rcLeft = 0, rcTop = 0, rcRight = 0, rcBottom = 0;

    template <typename S>
    static auto champs(S& s)
    {
        return std::tie(s.fccType, s.fccHandler, s.dwFlags, s.wPriority, s.wLanguage, s.dwInitialFrames, s.dwScale,
                        s.dwRate, s.dwStart, s.dwLength, s.dwSuggestedBufferSize, s.dwQuality, s.dwSampleSize,
                        s.rcLeft, s.rcTop, s.rcRight, s.rcBottom);
    }
};

// Main AVI header ('avih'), 56 bytes.
struct AviMainHeader : StructureStockee<AviMainHeader> {
    static constexpr size_t kSize = 56;
    uint32_t dwMicroSecPerFrame = 0;
    uint32_t dwMaxBytesPerSec = 0;
    uint32_t dwPaddingGranularity = 0;
    uint32_t dwFlags = 0;
    uint32_t dwTotalFrames = 0;
    uint32_t dwInitialFrames = 0;
    uint32_t dwStreams = 0;
    uint32_t dwSuggestedBufferSize = 0;
    uint32_t dwWidth = 0;
    uint32_t dwHeight = 0;
    uint32_t dwReserved[4] = {};

    template <typename S>
    static auto champs(S& s)
    {
        return std::tie(s.dwMicroSecPerFrame, s.dwMaxBytesPerSec, s.dwPaddingGranularity, s.dwFlags, s.dwTotalFrames,
                        s.dwInitialFrames, s.dwStreams, s.dwSuggestedBufferSize, s.dwWidth, s.dwHeight, s.dwReserved);
    }
};

// BITMAPINFOHEADER, 40 bytes (video 'strf').
struct BitmapInfoHeader : StructureStockee<BitmapInfoHeader> {
    static constexpr size_t kSize = 40;
    uint32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    FourCC biCompression;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;

    template <typename S>
    static auto champs(S& s)
    {
        return std::tie(s.biSize, s.biWidth, s.biHeight, s.biPlanes, s.biBitCount, s.biCompression, s.biSizeImage,
                        s.biXPelsPerMeter, s.biYPelsPerMeter, s.biClrUsed, s.biClrImportant);
    }
};

// VIDEOINFOHEADER, 88 bytes: the video media type's format block as the
// media framework describes a stream (source/target rectangles, bit rate,
// frame time in 100 ns, then the bitmap header).
struct VideoInfoHeader : StructureStockee<VideoInfoHeader> {
    static constexpr size_t kSize = 88;
    int32_t rcSource[4] = {};
    int32_t rcTarget[4] = {};
    uint32_t dwBitRate = 0;
    uint32_t dwBitErrorRate = 0;
    int64_t AvgTimePerFrame = 0;
    BitmapInfoHeader bmiHeader;

    template <typename S>
    static auto champs(S& s)
    {
        return std::tie(s.rcSource, s.rcTarget, s.dwBitRate, s.dwBitErrorRate, s.AvgTimePerFrame, s.bmiHeader);
    }
};

// WAVEFORMATEX, 18 bytes (audio 'strf'; a 16-byte PCMWAVEFORMAT reads with cbSize 0).
struct WaveFormatEx : StructureStockee<WaveFormatEx> {
    static constexpr size_t kSize = 18;
    uint16_t wFormatTag = 0;
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0;
    uint16_t nBlockAlign = 0;
    uint16_t wBitsPerSample = 0;
    uint16_t cbSize = 0;

    template <typename S>
    static auto champs(S& s)
    {
        return std::tie(s.wFormatTag, s.nChannels, s.nSamplesPerSec, s.nAvgBytesPerSec, s.nBlockAlign,
                        s.wBitsPerSample, s.cbSize);
    }
};

// DVINFO, 32 bytes (interleaved DV 'strf', or after the bitmap header of a type 2 'strf').
struct DvInfo : StructureStockee<DvInfo> {
    static constexpr size_t kSize = 32;
    uint32_t dwDVAAuxSrc = 0;
    uint32_t dwDVAAuxCtl = 0;
    uint32_t dwDVAAuxSrc1 = 0;
    uint32_t dwDVAAuxCtl1 = 0;
    uint32_t dwDVVAuxSrc = 0;
    uint32_t dwDVVAuxCtl = 0;
    uint32_t dwDVReserved[2] = {};

    template <typename S>
    static auto champs(S& s)
    {
        return std::tie(s.dwDVAAuxSrc, s.dwDVAAuxCtl, s.dwDVAAuxSrc1, s.dwDVAAuxCtl1, s.dwDVVAuxSrc, s.dwDVVAuxCtl,
                        s.dwDVReserved);
    }
};

// OpenDML index header shared by 'indx' and 'ix##' chunks, 24 bytes.
struct AviIndexHeader : StructureStockee<AviIndexHeader> {
    static constexpr size_t kSize = 24;
    uint16_t wLongsPerEntry = 0;
    uint8_t bIndexSubType = 0;
    uint8_t bIndexType = 0;
    uint32_t nEntriesInUse = 0;
    FourCC dwChunkId;
    uint64_t qwBaseOffset = 0; // standard index; reserved words in a super index
    uint32_t dwReserved3 = 0;

    static constexpr uint8_t kIndexOfIndexes = 0x00;
    static constexpr uint8_t kIndexOfChunks = 0x01;

    template <typename S>
    static auto champs(S& s)
    {
        return std::tie(s.wLongsPerEntry, s.bIndexSubType, s.bIndexType, s.nEntriesInUse, s.dwChunkId,
                        s.qwBaseOffset, s.dwReserved3);
    }
};

} // namespace korvan
