#pragma once
// Little-endian structures stored field after field, without padding. A
// structure lists its fields once, in stored order (champs); decoding and
// encoding are written once for all of them.
#include "analysis/bytes.h"

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <type_traits>
#include <utility>

namespace korvan {

template <typename S>
concept AChampsStockes = requires(S& s) { S::champs(s); };

namespace stockage {

template <typename T>
constexpr size_t taille();

template <typename T>
void lire(const uint8_t*& p, T& v);

template <typename T>
void ecrire(uint8_t*& p, const T& v);

template <typename S>
using Champs = decltype(S::champs(std::declval<S&>()));

template <typename T>
constexpr size_t taille()
{
    if constexpr (std::is_array_v<T>) {
        return std::extent_v<T> * taille<std::remove_extent_t<T>>();
    } else if constexpr (AChampsStockes<T>) {
        return []<typename... C>(std::tuple<C...>*) {
            return (taille<std::remove_cvref_t<C>>() + ...);
        }(static_cast<Champs<T>*>(nullptr));
    } else {
        static_assert(std::integral<T> || std::same_as<T, FourCC>);
        return sizeof(T);
    }
}

template <typename T>
void lire(const uint8_t*& p, T& v)
{
    if constexpr (std::is_array_v<T>) {
        for (auto& e : v)
            lire(p, e);
    } else if constexpr (AChampsStockes<T>) {
        std::apply([&](auto&... champ) { (lire(p, champ), ...); }, T::champs(v));
    } else if constexpr (std::same_as<T, FourCC>) {
        v = FourCC::fromBytes(p);
        p += 4;
    } else {
        if constexpr (sizeof(T) == 1)
            v = T(p[0]);
        else if constexpr (sizeof(T) == 2)
            v = T(lireU16(p));
        else if constexpr (sizeof(T) == 4)
            v = T(lireU32(p));
        else
            v = T(lireU64(p));
        p += sizeof(T);
    }
}

template <typename T>
void ecrire(uint8_t*& p, const T& v)
{
    if constexpr (std::is_array_v<T>) {
        for (const auto& e : v)
            ecrire(p, e);
    } else if constexpr (AChampsStockes<T>) {
        std::apply([&](const auto&... champ) { (ecrire(p, champ), ...); }, T::champs(v));
    } else if constexpr (std::same_as<T, FourCC>) {
        std::memcpy(p, v.c.data(), 4);
        p += 4;
    } else {
        using U = std::make_unsigned_t<T>;
        if constexpr (sizeof(T) == 1)
            p[0] = uint8_t(v);
        else if constexpr (sizeof(T) == 2)
            ecrireU16(p, uint16_t(U(v)));
        else if constexpr (sizeof(T) == 4)
            ecrireU32(p, uint32_t(U(v)));
        else
            ecrireU64(p, uint64_t(U(v)));
        p += sizeof(T);
    }
}

} // namespace stockage

// What a stored structure S gets from its field list: S::kSize, decode and encode.
template <typename S>
struct StructureStockee {
    // Decodes the first n bytes of a stored structure; fields beyond n stay zero.
    static S decode(const uint8_t* data, size_t n)
    {
        static_assert(stockage::taille<S>() == S::kSize);
        // A zeroed buffer of the full size, so that a short structure decodes
        // with its missing fields at zero.
        uint8_t b[S::kSize] = {};
        if (data && n)
            std::memcpy(b, data, std::min(n, S::kSize));
        S s;
        const uint8_t* p = b;
        stockage::lire(p, s);
        return s;
    }

    // Writes the S::kSize bytes of the structure.
    void encode(uint8_t* out) const
    {
        static_assert(stockage::taille<S>() == S::kSize);
        stockage::ecrire(out, static_cast<const S&>(*this));
    }
};

} // namespace korvan
