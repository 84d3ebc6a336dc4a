#pragma once
// What the conversion graphs do without re-encoding, one clip at a time: DV
// type 2 to type 1 (the sound stream written into the frames), type 1 to
// type 2 (the frames copied whole as the video stream, their sound as PCM
// streams), the recorded clock shifted in every frame (same type as the
// source), and the sound track written to a WAV file. Each is prepared from
// the source when its graph is built and then run to an output, on any
// thread; the run stops between two chunks when asked and still closes the
// output, so that what was written is a valid file.
#include "analysis/avi_demuxer.h"
#include "analysis/sortie_octets.h"
#include "pipelines/dvheader.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace korvan {

// What a run tells while it goes and what it is asked.
class SuiviConversion {
public:
    virtual ~SuiviConversion() = default;
    // The media time written so far (100 ns).
    virtual void avancer(int64_t position) = 0;
    // Polled before each chunk.
    virtual bool arretDemande() const = 0;
};

class TravailConversion {
public:
    virtual ~TravailConversion() = default;
    // The media time the run goes through (100 ns); 0: nothing to convert.
    virtual int64_t duree() const = 0;
    // Writes the whole output, or as far as it got when asked to stop, and
    // closes it. Throws FileError when the source or the output fails.
    virtual void executer(SortieOctets& sortie, SuiviConversion& suivi) = 0;
};

// A conversion that cannot be prepared says why, in the user's words.
struct PreparationConversion {
    std::unique_ptr<TravailConversion> travail;
    QString raison; // empty when travail is set
};

// DV type 2 to type 1: the first stream's DV frames (a video stream, or an
// interleaved one through its frames) with the second stream's sound written
// into them when it is PCM at a DV rate; without such a stream the frames
// keep their own sound.
PreparationConversion PreparerVersType1(std::shared_ptr<const AviDemuxer> source);
// DV type 1 to type 2: the first stream's frames as the video stream, the
// sound of each frame as one PCM stream per stereo pair of the first frame.
PreparationConversion PreparerVersType2(std::shared_ptr<const AviDemuxer> source);
// The frames of the first stream through the DV header writer (its settings
// are the caller's), the second stream copied as it is; the same stream
// headers and formats as the source.
PreparationConversion PreparerDecalageHoraire(std::shared_ptr<const AviDemuxer> source, DVHeader& dvheader);
// The first sound of the file in stream order, a sound stream copied with its
// format or the first stereo pair of an interleaved DV stream, into a WAV file.
PreparationConversion PreparerExtraireAudio(std::shared_ptr<const AviDemuxer> source);

} // namespace korvan
