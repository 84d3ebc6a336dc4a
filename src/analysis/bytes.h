#pragma once
// Little-endian field access and four-character codes. Every read of a
// stored structure goes through these; never cast unaligned bytes.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace korvan {

inline uint16_t lireU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t lireU32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint64_t lireU64(const uint8_t* p) { return uint64_t(lireU32(p)) | (uint64_t(lireU32(p + 4)) << 32); }
inline int32_t lireI32(const uint8_t* p) { return int32_t(lireU32(p)); }

inline void ecrireU16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void ecrireU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
inline void ecrireU64(uint8_t* p, uint64_t v)
{
    ecrireU32(p, uint32_t(v));
    ecrireU32(p + 4, uint32_t(v >> 32));
}

// A four-character code: exactly four bytes, compared case-sensitively.
struct FourCC {
    std::array<char, 4> c{};

    constexpr FourCC() = default;
    constexpr FourCC(const char (&s)[5]) : c{s[0], s[1], s[2], s[3]} {}
    static FourCC fromBytes(const uint8_t* p)
    {
        FourCC f;
        std::memcpy(f.c.data(), p, 4);
        return f;
    }
    // The 32-bit little-endian value whose bytes are the characters in order.
    static FourCC fromValue(uint32_t v)
    {
        uint8_t b[4];
        ecrireU32(b, v);
        return fromBytes(b);
    }
    uint32_t value() const { return lireU32(reinterpret_cast<const uint8_t*>(c.data())); }
    std::string str() const { return std::string(c.data(), 4); }
    // Same code when the ASCII letters are folded to lower case.
    bool equalsLower(std::string_view lower) const
    {
        if (lower.size() != 4)
            return false;
        for (int i = 0; i < 4; ++i) {
            char ch = c[size_t(i)];
            if (ch >= 'A' && ch <= 'Z')
                ch = char(ch - 'A' + 'a');
            if (ch != lower[size_t(i)])
                return false;
        }
        return true;
    }
    bool startsWith(std::string_view prefix) const
    {
        return prefix.size() <= 4 && std::memcmp(c.data(), prefix.data(), prefix.size()) == 0;
    }
    friend bool operator==(const FourCC&, const FourCC&) = default;
};

} // namespace korvan
