#pragma once
// The handler codes of DV video.
#include "analysis/bytes.h"

#include <string_view>

namespace korvan {

// The code DV splitters give their video and the framework's DV decoder takes.
inline constexpr FourCC kCodecDVSysteme{"dvsd"};

inline bool EstCodecDVSysteme(const FourCC& code)
{
    return code.equalsLower(std::string_view(kCodecDVSysteme.c.data(), 4));
}

// DV under any of the codes in use, in any letter case: the system code,
// "dsvd" and Canopus's "cdvc".
inline bool EstCodecDV(const FourCC& code)
{
    return EstCodecDVSysteme(code) || code.equalsLower("dsvd") || code.equalsLower("cdvc");
}

// The same for a code kept as its stored bytes (none when not 4 bytes long).
inline bool EstCodecDV(std::string_view code)
{
    return code.size() == 4 && EstCodecDV(FourCC::fromBytes(reinterpret_cast<const uint8_t*>(code.data())));
}

} // namespace korvan
