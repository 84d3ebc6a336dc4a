#include "analysis/avi_structs.h"

#include <algorithm>
#include <cstring>

namespace korvan {

namespace {

// Copies the stored bytes into a zeroed buffer of the full layout size, so
// that a short structure decodes with its missing fields at zero.
template <size_t N>
struct Padded {
    uint8_t b[N] = {};
    Padded(const uint8_t* data, size_t n)
    {
        if (data && n)
            std::memcpy(b, data, std::min(n, N));
    }
};

} // namespace

TAvistream TAvistream::decode(const uint8_t* data, size_t n)
{
    const Padded<kSize> p(data, n);
    const uint8_t* b = p.b;
    TAvistream s;
    s.fccType = FourCC::fromBytes(b + 0);
    s.fccHandler = FourCC::fromBytes(b + 4);
    s.dwFlags = lireU32(b + 8);
    s.wPriority = lireU16(b + 12);
    s.wLanguage = lireU16(b + 14);
    s.dwInitialFrames = lireU32(b + 16);
    s.dwScale = lireU32(b + 20);
    s.dwRate = lireU32(b + 24);
    s.dwStart = lireU32(b + 28);
    s.dwLength = lireU32(b + 32);
    s.dwSuggestedBufferSize = lireU32(b + 36);
    s.dwQuality = lireU32(b + 40);
    s.dwSampleSize = lireU32(b + 44);
    s.rcLeft = lireI16(b + 48);
    s.rcTop = lireI16(b + 50);
    s.rcRight = lireI16(b + 52);
    s.rcBottom = lireI16(b + 54);
    return s;
}

AviMainHeader AviMainHeader::decode(const uint8_t* data, size_t n)
{
    const Padded<kSize> p(data, n);
    const uint8_t* b = p.b;
    AviMainHeader h;
    h.dwMicroSecPerFrame = lireU32(b + 0);
    h.dwMaxBytesPerSec = lireU32(b + 4);
    h.dwPaddingGranularity = lireU32(b + 8);
    h.dwFlags = lireU32(b + 12);
    h.dwTotalFrames = lireU32(b + 16);
    h.dwInitialFrames = lireU32(b + 20);
    h.dwStreams = lireU32(b + 24);
    h.dwSuggestedBufferSize = lireU32(b + 28);
    h.dwWidth = lireU32(b + 32);
    h.dwHeight = lireU32(b + 36);
    for (int i = 0; i < 4; ++i)
        h.dwReserved[i] = lireU32(b + 40 + 4 * i);
    return h;
}

BitmapInfoHeader BitmapInfoHeader::decode(const uint8_t* data, size_t n)
{
    const Padded<kSize> p(data, n);
    const uint8_t* b = p.b;
    BitmapInfoHeader h;
    h.biSize = lireU32(b + 0);
    h.biWidth = lireI32(b + 4);
    h.biHeight = lireI32(b + 8);
    h.biPlanes = lireU16(b + 12);
    h.biBitCount = lireU16(b + 14);
    h.biCompression = FourCC::fromBytes(b + 16);
    h.biSizeImage = lireU32(b + 20);
    h.biXPelsPerMeter = lireI32(b + 24);
    h.biYPelsPerMeter = lireI32(b + 28);
    h.biClrUsed = lireU32(b + 32);
    h.biClrImportant = lireU32(b + 36);
    return h;
}

void BitmapInfoHeader::encode(uint8_t* b) const
{
    ecrireU32(b + 0, biSize);
    ecrireU32(b + 4, uint32_t(biWidth));
    ecrireU32(b + 8, uint32_t(biHeight));
    ecrireU16(b + 12, biPlanes);
    ecrireU16(b + 14, biBitCount);
    ecrireU32(b + 16, biCompression.value());
    ecrireU32(b + 20, biSizeImage);
    ecrireU32(b + 24, uint32_t(biXPelsPerMeter));
    ecrireU32(b + 28, uint32_t(biYPelsPerMeter));
    ecrireU32(b + 32, biClrUsed);
    ecrireU32(b + 36, biClrImportant);
}

VideoInfoHeader VideoInfoHeader::decode(const uint8_t* data, size_t n)
{
    const Padded<kSize> p(data, n);
    const uint8_t* b = p.b;
    VideoInfoHeader v;
    for (int i = 0; i < 4; ++i) {
        v.rcSource[i] = lireI32(b + 4 * i);
        v.rcTarget[i] = lireI32(b + 16 + 4 * i);
    }
    v.dwBitRate = lireU32(b + 32);
    v.dwBitErrorRate = lireU32(b + 36);
    v.AvgTimePerFrame = int64_t(lireU64(b + 40));
    v.bmiHeader = BitmapInfoHeader::decode(b + 48, BitmapInfoHeader::kSize);
    return v;
}

void VideoInfoHeader::encode(uint8_t* b) const
{
    for (int i = 0; i < 4; ++i) {
        ecrireU32(b + 4 * i, uint32_t(rcSource[i]));
        ecrireU32(b + 16 + 4 * i, uint32_t(rcTarget[i]));
    }
    ecrireU32(b + 32, dwBitRate);
    ecrireU32(b + 36, dwBitErrorRate);
    ecrireU64(b + 40, uint64_t(AvgTimePerFrame));
    bmiHeader.encode(b + 48);
}

WaveFormatEx WaveFormatEx::decode(const uint8_t* data, size_t n)
{
    const Padded<kSize> p(data, n);
    const uint8_t* b = p.b;
    WaveFormatEx w;
    w.wFormatTag = lireU16(b + 0);
    w.nChannels = lireU16(b + 2);
    w.nSamplesPerSec = lireU32(b + 4);
    w.nAvgBytesPerSec = lireU32(b + 8);
    w.nBlockAlign = lireU16(b + 12);
    w.wBitsPerSample = lireU16(b + 14);
    w.cbSize = lireU16(b + 16);
    return w;
}

void WaveFormatEx::encode(uint8_t* b) const
{
    ecrireU16(b + 0, wFormatTag);
    ecrireU16(b + 2, nChannels);
    ecrireU32(b + 4, nSamplesPerSec);
    ecrireU32(b + 8, nAvgBytesPerSec);
    ecrireU16(b + 12, nBlockAlign);
    ecrireU16(b + 14, wBitsPerSample);
    ecrireU16(b + 16, cbSize);
}

DvInfo DvInfo::decode(const uint8_t* data, size_t n)
{
    const Padded<kSize> p(data, n);
    const uint8_t* b = p.b;
    DvInfo d;
    d.dwDVAAuxSrc = lireU32(b + 0);
    d.dwDVAAuxCtl = lireU32(b + 4);
    d.dwDVAAuxSrc1 = lireU32(b + 8);
    d.dwDVAAuxCtl1 = lireU32(b + 12);
    d.dwDVVAuxSrc = lireU32(b + 16);
    d.dwDVVAuxCtl = lireU32(b + 20);
    d.dwDVReserved[0] = lireU32(b + 24);
    d.dwDVReserved[1] = lireU32(b + 28);
    return d;
}

void DvInfo::encode(uint8_t* b) const
{
    ecrireU32(b + 0, dwDVAAuxSrc);
    ecrireU32(b + 4, dwDVAAuxCtl);
    ecrireU32(b + 8, dwDVAAuxSrc1);
    ecrireU32(b + 12, dwDVAAuxCtl1);
    ecrireU32(b + 16, dwDVVAuxSrc);
    ecrireU32(b + 20, dwDVVAuxCtl);
    ecrireU32(b + 24, dwDVReserved[0]);
    ecrireU32(b + 28, dwDVReserved[1]);
}

AviIndexHeader AviIndexHeader::decode(const uint8_t* data, size_t n)
{
    const Padded<kSize> p(data, n);
    const uint8_t* b = p.b;
    AviIndexHeader h;
    h.wLongsPerEntry = lireU16(b + 0);
    h.bIndexSubType = b[2];
    h.bIndexType = b[3];
    h.nEntriesInUse = lireU32(b + 4);
    h.dwChunkId = FourCC::fromBytes(b + 8);
    h.qwBaseOffset = lireU64(b + 12);
    h.dwReserved3 = lireU32(b + 20);
    return h;
}

} // namespace korvan
