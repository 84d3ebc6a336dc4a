#pragma once
// The scene rules applied frame by frame, apart from any file or thread: a
// break is a step of the recording date of more than two seconds between two
// frames, and it closes the scene under way when that scene is long enough.
#include "analysis/dateheure.h"
#include "analysis/dvcodes.h"
#include "analysis/reglages_format.h"
#include "analysis/rupture_datecode.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace korvan {

// A scene before its texts are made: frame bounds and the facts of its first frame.
struct SceneBrute {
    int32_t debut = 0;
    int32_t fin = 0;
    TDateTime datecode = 0;  // 0: no recording date
    QString timecode;        // "hh.mm.ss.ff"; "-..." or "N/A" when the frame had none

    friend bool operator==(const SceneBrute&, const SceneBrute&) = default;
};


// A scene ends at the frame before a break only when it holds at least this
// many frames; shorter recordings are merged with the next one.
inline constexpr int32_t kImagesMinScene = 13;

class DetecteurScenes {
public:
    // reglages only serves to write the time code texts (the run's own copy,
    // so a scan on another thread never reads the program-wide settings).
    explicit DetecteurScenes(ReglagesFormat reglages = ReglagesFormat::francais());

    // Starts a run: the first scene carries the entry's facts (read from the
    // clip's first frame when the entry was built). The previous frame's date
    // is kept from the last run, as the program has one detector.
    void commencer(TDateTime datecodeEntree, const QString& timecodeEntree);

    struct Resultat {
        bool rupture = false;             // the date jumped at this frame: the preview shows it
        std::optional<SceneBrute> fermee; // the scene the break closed (ends at the frame before)
    };
    // One frame of the stream, in order. Frames whose date is not a real date
    // change nothing (not even the previous date).
    Resultat traiterImage(int32_t image, const TTimecodeDV& tc, const TDatecodeDV& dc);
    // The scene under way, ending at the clip's last frame.
    SceneBrute derniereScene(int32_t derniereImage) const;

    int32_t debutScene() const { return debutScene_; }
    int64_t secondesPrecedentes() const { return secondesPrecedentes_; }
    void definirSecondesPrecedentes(int64_t s) { secondesPrecedentes_ = s; }

private:
    ReglagesFormat reglages_;
    TDateTime datecodeDebut_ = 0;
    QString timecodeDebut_;
    int32_t debutScene_ = 0;
    int64_t secondesPrecedentes_ = 0;
};

} // namespace korvan
