#pragma once
// The datecoder: reads each DV frame's recording date and time, shifts it by
// the hour offset and formats it for the superposer. With automatic inlay it
// delivers the text only for a while after each scene change (a break of the
// recording date, see analysis/rupture_datecode.h), and an empty text otherwise.
#include "analysis/dateheure.h"
#include "analysis/reglages_format.h"
#include "pipelines/interfaces_incrustation.h"

#include <cstdint>
#include <mutex>
#include <span>

namespace korvan {

class Datecoder final : public IDatecoderConfig {
public:
    // Names of days and months and the separators come from these settings,
    // copied here because frames are handled away from the user-interface thread.
    explicit Datecoder(const ReglagesFormat& reglages = reglagesFormatCourants());

    void SetHourOffset(int heures) override;
    void SetFormat(const QString& format) override;
    void SetBurnIn(bool incrustation) override;
    void SetAutoDuration(int duree) override;
    void SetAutoInlay(bool automatique) override;

    // Input to output, frames in stream order: the text to draw over this
    // frame, empty when there is none (no readable recording date, or outside
    // the automatic inlay's time).
    QString traiter(std::span<const uint8_t> trame);
    // A new stream begins: its first dated frame starts a scene.
    void reinitialiser();

private:
    mutable std::mutex verrou_;
    ReglagesFormat reglages_;
    QString format_;
    int decalage_ = 0;
    bool incrustation_ = false;
    int duree_ = 5;
    bool automatique_ = false;

    int64_t precedent_ = 0;      // recording date of the previous readable frame in whole seconds, 0 for none
    TDateTime debutScene_ = 0;
    bool sceneOuverte_ = false;
    int64_t imagesDansScene_ = 0; // frames since the scene's first
};

} // namespace korvan
