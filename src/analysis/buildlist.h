#pragma once
// The media probe: what a file's streams are (media types and durations) and
// the DV facts of the first frame of its first stream. A DV type 1 stream is
// also split, as a DV splitter would, into its video and audio types.
#include "analysis/bytes.h"
#include "analysis/dvcodes.h"
#include "analysis/file_io.h"

#include <memory>
#include <string>
#include <vector>

namespace korvan {

class AviDemuxer;

// A stream's media type as the media framework states it. The format block
// holds the published structure for its format type (VIDEOINFOHEADER,
// WAVEFORMATEX or DVINFO); an empty block means the type was not found.
struct TTypeMedia {
    enum class Format { Aucun, VideoInfo, WaveFormatEx, DvInfo };

    FourCC majortype;  // "vids", "auds" or "iavs"
    FourCC subtype;    // compression code, or the format tag for sound
    bool bFixedSizeSamples = false;
    bool bTemporalCompression = false;
    uint32_t lSampleSize = 0;
    Format formattype = Format::Aucun;
    std::vector<uint8_t> format;

    bool trouve() const { return !format.empty(); }
};

struct TResultatSonde {
    TTypeMedia typeVideo;
    TTypeMedia typeAudio;
    TTypeMedia typeEntrelace;
    int32_t nombreFlux = 0;
    int64_t dureeVideo = 0; // 100 ns
    int64_t dureeAudio = 0;
    TTimecodeDV timecodeImage;
    TDatecodeDV datecodeImage;
    bool format16x9Image = false;
};

// True when every stream was examined. After a false result the record holds
// what was found before the failure. A file that cannot be opened gives false.
bool Sonder(const std::string& chemin, TResultatSonde& resultat);
bool Sonder(const AviDemuxer& avi, TResultatSonde& resultat);
// On bytes already open (a file entry's); a read error gives false as above.
bool Sonder(std::shared_ptr<const ByteSource> octets, TResultatSonde& resultat);

// The types a DV splitter gives for one DV frame (video always; sound when
// the frame carries an AAUX source pack).
TTypeMedia TypeVideoDV(bool systeme625);
TTypeMedia TypeAudioDV(const SourceAudioDV& source);

} // namespace korvan
