#pragma once
// The DV packs the program reads from a raw frame: the subcode time code, the
// VAUX recording date and time, and the VAUX picture format. All lie in the
// first DIF sequence, so PAL and NTSC frames read alike.
#include "analysis/avi_structs.h"
#include "analysis/dateheure.h"
#include "analysis/positions_packs_dv.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace korvan {

// Bytes of a frame the three decoders need: up to the end of the recording
// time pack of the first VAUX main area (468).
inline constexpr size_t kOctetsPacksDV = kZoneVaux.position(kPrincipalVaux.slot(0, rangHeure)) + kOctetsPackDV;

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

// The recording date and time as a date-time value; none without a date pack
// or when the fields do not make a valid date and time.
std::optional<TDateTime> DateTimeDuDatecode(const TDatecodeDV& date);
// The fields of a date-time value; none outside years 1..9999.
std::optional<TDatecodeDV> DatecodeDuDateTime(TDateTime valeur);

// Bytes of a frame that hold the first AAUX source pack (audio block 3 of the
// first DIF sequence), which tells the sound format (4,328).
inline constexpr size_t kOctetsSourceAudioDV = kZoneAaux.position(kPrincipalAaux.slot(0, rangSource)) + kOctetsPackDV;

// Sound format of a DV frame as a DV splitter delivers it: 16-bit PCM, one
// stereo pair (12-bit 32 kHz sound is expanded to 16 bits).
struct SourceAudioDV {
    int frequence = 0;  // 48000, 44100 or 32000
    int canaux = 0;
    int bitsQuantif = 0; // as recorded: 16, or 12 (non-linear)
    int echantillons = 0; // sample pairs recorded in this frame
};

// The frame starts with a DV header block followed by subcode and VAUX blocks.
bool EstTrameDV(const uint8_t* image, size_t taille);
// The AAUX source pack (0x50) of the first DIF sequence; false without one.
bool LireSourceAudioDV(const uint8_t* image, size_t taille, SourceAudioDV& source);
// The same from the pack's four data bytes alone (as a DVINFO block keeps
// them); false when they name no sampling frequency.
bool LireDonneesSourceAudio(const uint8_t* donnees, SourceAudioDV& source);

// The DVINFO block that describes a stream of such frames: the four data
// bytes of the first AAUX source and source-control packs of each half of
// the DIF sequences (the two audio channels), then of the VAUX source and
// source-control packs; FF bytes (an empty slot) for a pack the frame lacks.
DvInfo DvInfoDeTrame(const uint8_t* image, size_t taille);

// Writing packs back, for the filters that rewrite the recording clock or the
// picture format of DV frames: in the copy that every whole DIF sequence
// carries, in the subcode, the VAUX and the AAUX (positions_packs_dv.h). Only
// the bytes of the packs named are changed.

// Writes the date and time into every recording date pack (VAUX and subcode
// 0x62, AAUX 0x52) and recording time pack (0x63, 0x53) of every whole DIF
// sequence: day, month, year, hours, minutes and seconds; the time zone, frame
// and reserved bits stay as they were, and the day of the week follows the new
// date unless the pack says it has none. With creerPacks, a sequence's VAUX
// main-area slots for the two packs that hold no pack at all (0xFF, as a DV
// encoder leaves them) get new packs, and so do the empty pairs of VAUX slots
// after each source and source-control pair and of subcode slots after each
// time code slot in the second half of the sequences (where a recorder
// repeats them). Nothing is written, and 0 returned,
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

} // namespace korvan
