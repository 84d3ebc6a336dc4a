#pragma once
// The DV packs the program reads from a raw frame: the subcode time code, the
// VAUX recording date and time, and the VAUX picture format. All lie in the
// first DIF sequence, so PAL and NTSC frames read alike.
#include <cstddef>
#include <cstdint>

namespace korvan {

// Bytes of a frame the three decoders need (the packs end at byte 467).
inline constexpr size_t kOctetsPacksDV = 468;

struct TTimecodeDV {
    uint8_t heures = 0xFF; // 0xFF: no time code
    uint8_t minutes = 0;
    uint8_t secondes = 0;
    uint8_t images = 0;

    bool present() const { return int8_t(heures) >= 0; }
    friend bool operator==(const TTimecodeDV&, const TTimecodeDV&) = default;
};

struct TDatecodeDV {
    int32_t annee = -1; // -1: no recording date
    uint8_t mois = 0;
    uint8_t jour = 0;
    uint8_t heure = 0;
    uint8_t minute = 0;
    uint8_t seconde = 0;

    friend bool operator==(const TDatecodeDV&, const TDatecodeDV&) = default;
};

// Each takes the first bytes of a frame; fewer than 468 give none / false.
TTimecodeDV DecoderTimecode(const uint8_t* image, size_t taille);
TDatecodeDV DecoderDatecode(const uint8_t* image, size_t taille);
bool Est16x9(const uint8_t* image, size_t taille);

// Bytes of a frame that hold the first AAUX source pack (audio block 3 of the
// first DIF sequence), which tells the sound format.
inline constexpr size_t kOctetsSourceAudioDV = 4328;

// Sound format of a DV frame as a DV splitter delivers it: 16-bit PCM, one
// stereo pair (12-bit 32 kHz sound is expanded to 16 bits).
struct SourceAudioDV {
    int frequence = 0;  // 48000, 44100 or 32000
    int canaux = 0;
    int bitsQuantif = 0; // as recorded: 16, or 12 (non-linear)
};

// The frame starts with a DV header block followed by subcode and VAUX blocks.
bool EstTrameDV(const uint8_t* image, size_t taille);
// The header block's DSF flag: a 625-line, 50-field system (PAL).
bool EstSysteme625(const uint8_t* image, size_t taille);
// The AAUX source pack (0x50) of the first DIF sequence; false without one.
bool LireSourceAudioDV(const uint8_t* image, size_t taille, SourceAudioDV& source);

// Writing packs back, for the filters that rewrite the recording clock or the
// picture format of DV frames. A frame holds whole DIF sequences of 150 blocks
// (12,000 bytes: 10 for NTSC, 12 for PAL); each sequence carries its own copy
// of the packs, in the subcode (two blocks of six packs), the VAUX (three
// blocks of fifteen packs) and the AAUX (one pack at the head of each of its
// nine audio blocks). Only the bytes of the packs named are changed.
inline constexpr size_t kOctetsSequenceDIF = 12000;

// Writes the date and time into every recording date pack (VAUX and subcode
// 0x62, AAUX 0x52) and recording time pack (0x63, 0x53) of every whole DIF
// sequence: day, month, year, hours, minutes and seconds; the time zone, frame
// and reserved bits stay as they were, and the day of the week follows the new
// date unless the pack says it has none. With creerPacks, a sequence's VAUX
// main-area slots for the two packs that hold no pack at all (0xFF, as a DV
// encoder leaves them) get new packs. Nothing is written, and 0 returned,
// when the fields do not make a valid date and time; years are stored as two
// digits (read back as 1940-2039). Returns the number of packs written.
int EcrireDatecodeDV(uint8_t* image, size_t taille, const TDatecodeDV& date, bool creerPacks);

// Sets the display select mode of every VAUX source-control pack (0x61) of
// every whole DIF sequence: 2 (16:9 full format) or 0 (4:3). Returns the
// number of packs found.
int EcrireFormat16x9DV(uint8_t* image, size_t taille, bool large);

// Copies the subcode packs (time code and its companions) of every DIF
// sequence of the source into the same slots of the frame; nothing when the
// two frames do not have the same number of sequences. The block IDs stay.
bool CopierSubcodeDV(uint8_t* image, size_t taille, const uint8_t* source, size_t tailleSource);

// Bit 21 of the VAUX source value of the interleaved stream format: 50 fields (PAL).
inline bool SourceVauxEstPal(uint32_t vauxSource) { return (vauxSource & 0x200000u) != 0; }

} // namespace korvan
