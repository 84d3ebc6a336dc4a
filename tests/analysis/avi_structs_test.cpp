// The stored AVI layouts: each field at its published offset, both ways.
#include "analysis/avi_structs.h"

#include <gtest/gtest.h>

#include <vector>

using namespace korvan;

namespace {

// Bytes 0, 1, 2, ...: every field then reads a value made of its own offsets.
template <typename S>
std::vector<uint8_t> rampe()
{
    std::vector<uint8_t> b(S::kSize);
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = uint8_t(i);
    return b;
}

template <typename S>
std::vector<uint8_t> reecrit(const S& s)
{
    std::vector<uint8_t> b(S::kSize, 0xEE);
    s.encode(b.data());
    return b;
}

} // namespace

TEST(AviStructs, StreamHeaderFieldOffsets)
{
    const auto b = rampe<TAvistream>();
    const TAvistream s = TAvistream::decode(b.data(), b.size());
    EXPECT_EQ(s.fccHandler, FourCC::fromValue(0x07060504));
    EXPECT_EQ(s.dwFlags, 0x0B0A0908u);
    EXPECT_EQ(s.wLanguage, 0x0F0Eu);
    EXPECT_EQ(s.dwScale, 0x17161514u);
    EXPECT_EQ(s.dwRate, 0x1B1A1918u);
    EXPECT_EQ(s.dwLength, 0x23222120u);
    EXPECT_EQ(s.dwSampleSize, 0x2F2E2D2Cu);
    EXPECT_EQ(s.rcBottom, 0x3736);
    EXPECT_EQ(reecrit(s), b);
}

TEST(AviStructs, VideoInfoHeaderNestsTheBitmapHeaderAtByte48)
{
    const auto b = rampe<VideoInfoHeader>();
    const VideoInfoHeader v = VideoInfoHeader::decode(b.data(), b.size());
    EXPECT_EQ(v.rcTarget[3], 0x1F1E1D1C);
    EXPECT_EQ(v.dwBitRate, 0x23222120u);
    EXPECT_EQ(v.AvgTimePerFrame, 0x2F2E2D2C2B2A2928);
    EXPECT_EQ(v.bmiHeader.biSize, 0x33323130u);
    EXPECT_EQ(v.bmiHeader.biHeight, 0x3B3A3938);
    EXPECT_EQ(v.bmiHeader.biBitCount, 0x3F3Eu);
    EXPECT_EQ(v.bmiHeader.biCompression, FourCC::fromValue(0x43424140));
    EXPECT_EQ(v.bmiHeader.biClrImportant, 0x57565554u);
    EXPECT_EQ(reecrit(v), b);
}

TEST(AviStructs, IndexHeaderBytesAndSixtyFourBitOffset)
{
    const auto b = rampe<AviIndexHeader>();
    const AviIndexHeader h = AviIndexHeader::decode(b.data(), b.size());
    EXPECT_EQ(h.wLongsPerEntry, 0x0100u);
    EXPECT_EQ(h.bIndexSubType, 0x02u);
    EXPECT_EQ(h.bIndexType, 0x03u);
    EXPECT_EQ(h.dwChunkId, FourCC::fromValue(0x0B0A0908));
    EXPECT_EQ(h.qwBaseOffset, 0x131211100F0E0D0Cu);
    EXPECT_EQ(h.dwReserved3, 0x17161514u);
    EXPECT_EQ(reecrit(h), b);
}

TEST(AviStructs, ShortInputLeavesTheRestAtZero)
{
    const auto b = rampe<WaveFormatEx>();
    const WaveFormatEx w = WaveFormatEx::decode(b.data(), 16); // a PCMWAVEFORMAT
    EXPECT_EQ(w.wBitsPerSample, 0x0F0Eu);
    EXPECT_EQ(w.cbSize, 0u);
    const DvInfo d = DvInfo::decode(nullptr, 0);
    EXPECT_EQ(d.dwDVVAuxSrc, 0u);
    const DvInfo e = DvInfo::decode(rampe<DvInfo>().data(), DvInfo::kSize);
    EXPECT_EQ(e.dwDVVAuxSrc, 0x13121110u);
    EXPECT_EQ(e.dwDVReserved[1], 0x1F1E1D1Cu);
    EXPECT_EQ(reecrit(e), rampe<DvInfo>());
}
