#pragma once
// The published AVI header layouts, decoded field by field (little-endian).
#include "analysis/bytes.h"

#include <cstddef>
#include <cstdint>

namespace korvan {

// Stream header ('strh'), 56 bytes.
struct TAvistream {
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

    // Decodes the first n bytes of a stored header; fields beyond n stay zero.
    static TAvistream decode(const uint8_t* data, size_t n);
};

// Main AVI header ('avih'), 56 bytes.
struct AviMainHeader {
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

    static AviMainHeader decode(const uint8_t* data, size_t n);
};

// BITMAPINFOHEADER, 40 bytes (video 'strf').
struct BitmapInfoHeader {
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

    static BitmapInfoHeader decode(const uint8_t* data, size_t n);
    void encode(uint8_t* out) const;
};

// VIDEOINFOHEADER, 88 bytes: the video media type's format block as the
// media framework describes a stream (source/target rectangles, bit rate,
// frame time in 100 ns, then the bitmap header).
struct VideoInfoHeader {
    static constexpr size_t kSize = 88;
    int32_t rcSource[4] = {};
    int32_t rcTarget[4] = {};
    uint32_t dwBitRate = 0;
    uint32_t dwBitErrorRate = 0;
    int64_t AvgTimePerFrame = 0;
    BitmapInfoHeader bmiHeader;

    static VideoInfoHeader decode(const uint8_t* data, size_t n);
    void encode(uint8_t* out) const;
};

// WAVEFORMATEX, 18 bytes (audio 'strf'; a 16-byte PCMWAVEFORMAT reads with cbSize 0).
struct WaveFormatEx {
    static constexpr size_t kSize = 18;
    uint16_t wFormatTag = 0;
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0;
    uint16_t nBlockAlign = 0;
    uint16_t wBitsPerSample = 0;
    uint16_t cbSize = 0;

    static WaveFormatEx decode(const uint8_t* data, size_t n);
    void encode(uint8_t* out) const;
};

// DVINFO, 32 bytes (interleaved DV 'strf', or after the bitmap header of a type 2 'strf').
struct DvInfo {
    static constexpr size_t kSize = 32;
    uint32_t dwDVAAuxSrc = 0;
    uint32_t dwDVAAuxCtl = 0;
    uint32_t dwDVAAuxSrc1 = 0;
    uint32_t dwDVAAuxCtl1 = 0;
    uint32_t dwDVVAuxSrc = 0;
    uint32_t dwDVVAuxCtl = 0;
    uint32_t dwDVReserved[2] = {};

    static DvInfo decode(const uint8_t* data, size_t n);
    void encode(uint8_t* out) const;
};

// OpenDML index header shared by 'indx' and 'ix##' chunks, 24 bytes.
struct AviIndexHeader {
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

    static AviIndexHeader decode(const uint8_t* data, size_t n);
};

} // namespace korvan
