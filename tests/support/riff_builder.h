#pragma once
// Builds RIFF byte strings for tests: chunks with their pad byte, lists and
// forms, and the AVI headers most tests need.
#include "analysis/avi_structs.h"
#include "analysis/bytes.h"

#include <cstdint>
#include <initializer_list>
#include <string>

namespace korvan::test {

inline std::string u32le(uint32_t v)
{
    std::string s(4, '\0');
    ecrireU32(reinterpret_cast<uint8_t*>(s.data()), v);
    return s;
}

// id + size + data (+ pad byte when the size is odd). size overrides the stored size.
inline std::string chunk(const std::string& id, const std::string& data, int64_t size = -1)
{
    std::string s = id.substr(0, 4) + u32le(size < 0 ? uint32_t(data.size()) : uint32_t(size)) + data;
    if (data.size() & 1)
        s += '\0';
    return s;
}

inline std::string join(std::initializer_list<std::string> parts)
{
    std::string s;
    for (const auto& p : parts)
        s += p;
    return s;
}

inline std::string list(const std::string& type, std::initializer_list<std::string> children)
{
    return chunk("LIST", type + join(children));
}

inline std::string riff(const std::string& form, std::initializer_list<std::string> children, int64_t size = -1)
{
    const std::string body = form + join(children);
    return chunk("RIFF", body, size);
}

inline std::string strh(const std::string& type, const std::string& handler, uint32_t scale = 1, uint32_t rate = 25,
                        uint32_t length = 0, uint32_t sampleSize = 0)
{
    std::string s(TAvistream::kSize, '\0');
    auto* b = reinterpret_cast<uint8_t*>(s.data());
    std::copy(type.begin(), type.begin() + 4, s.begin());
    std::copy(handler.begin(), handler.begin() + 4, s.begin() + 4);
    ecrireU32(b + 20, scale);
    ecrireU32(b + 24, rate);
    ecrireU32(b + 32, length);
    ecrireU32(b + 44, sampleSize);
    return chunk("strh", s);
}

inline std::string avih() { return chunk("avih", std::string(AviMainHeader::kSize, '\0')); }

} // namespace korvan::test
