#pragma once
// Where the packs of a DV frame lie (IEC 61834-2). A frame is whole DIF
// sequences of 150 blocks of 80 bytes, each block opening with 3 ID bytes:
// block 0 is the header, 1-2 the subcode, 3-5 the VAUX, and of the 144 that
// follow every 16th (6, 22, ..., 134) is an audio block. Every sequence
// carries its own copy of the packs; a pack is 5 bytes, its type first.
// The readers, the pack writers and the DV writers all locate packs here.
#include <cstddef>
#include <cstdint>

namespace korvan {

inline constexpr size_t kOctetsBlocDIF = 80;
inline constexpr size_t kBlocsSequenceDIF = 150;
inline constexpr size_t kOctetsSequenceDIF = kBlocsSequenceDIF * kOctetsBlocDIF;
inline constexpr size_t kOctetsPackDV = 5;

// The pack slots of one area of a DIF sequence, numbered from 0 in the order
// of their bytes.
struct ZonePacksDV {
    int nombre;           // slots in one sequence
    size_t premierBloc;   // block of slot 0
    int slotsParBloc;
    size_t ecartBlocs;    // from one block of the area to the next
    size_t debutDansBloc; // offset of a block's first slot
    size_t pas;           // from one slot to the next within a block

    constexpr int blocs() const { return nombre / slotsParBloc; }
    constexpr size_t bloc(int k) const { return premierBloc + ecartBlocs * size_t(k); }
    // Offset of slot n from the start of its sequence.
    constexpr size_t position(int n) const
    {
        return bloc(n / slotsParBloc) * kOctetsBlocDIF + debutDansBloc + pas * size_t(n % slotsParBloc);
    }
};

// Two blocks of six sync blocks, each of 3 ID bytes and a pack.
inline constexpr ZonePacksDV kZoneSubcode{
    .nombre = 12,
    .premierBloc = 1,
    .slotsParBloc = 6,
    .ecartBlocs = 1,
    .debutDansBloc = 3 + 3,
    .pas = 3 + kOctetsPackDV,
};

// Three blocks of fifteen packs.
inline constexpr ZonePacksDV kZoneVaux{
    .nombre = 45,
    .premierBloc = 3,
    .slotsParBloc = 15,
    .ecartBlocs = 1,
    .debutDansBloc = 3,
    .pas = kOctetsPackDV,
};

// One pack at the head of each of the nine audio blocks.
inline constexpr ZonePacksDV kZoneAaux{
    .nombre = 9,
    .premierBloc = 6,
    .slotsParBloc = 1,
    .ecartBlocs = 16,
    .debutDansBloc = 3,
    .pas = 0,
};

// The time code travels in the first subcode sync block.
inline constexpr int kSlotTimecode = 0;

// The main areas of the VAUX and the AAUX, where a recorder puts its source,
// source-control, recording date and recording time packs, in that order.
// They start at another slot in even and in odd sequences.
enum RangPackPrincipal : int {
    rangSource = 0,
    rangControle = 1,
    rangDate = 2,
    rangHeure = 3,
};

struct ZonePrincipaleDV {
    int premierSlotPair;
    int premierSlotImpair;

    constexpr int slot(size_t sequence, RangPackPrincipal rang) const
    {
        return (sequence % 2 == 0 ? premierSlotPair : premierSlotImpair) + rang;
    }
};

inline constexpr ZonePrincipaleDV kPrincipalVaux{
    .premierSlotPair = 39,
    .premierSlotImpair = 0,
};

inline constexpr ZonePrincipaleDV kPrincipalAaux{
    .premierSlotPair = 3,
    .premierSlotImpair = 0,
};

// The header block: the DSF flag (a 625-line system) in the top bit of byte
// 3, the application ID of the audio and video areas (AP3) in the low 3 bits
// of byte 7.
inline constexpr size_t kOctetDsf = 3;
inline constexpr size_t kOctetAp3 = 7;

// Pack types (the first byte of a pack).
enum TypePackDV : uint8_t {
    kTypeTimecode = 0x13,
    kTypeSourceAudio = 0x50,
    kTypeControleAudio = 0x51,
    kTypeDateAudio = 0x52,
    kTypeHeureAudio = 0x53,
    kTypeSourceVideo = 0x60,
    kTypeControleVideo = 0x61,
    kTypeDate = 0x62,
    kTypeHeure = 0x63,
    kSansPack = 0xFF, // an empty slot
};

// The section type in the top 3 bits of every block's first ID byte.
enum SectionDIF : int {
    sectionEntete = 0,
    sectionSubcode = 1,
    sectionVaux = 2,
};

} // namespace korvan
