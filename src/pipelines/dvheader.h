#pragma once
// The DV header writer: gives each output DV frame the recording date and
// time of its source frame, shifted by the hour offset, in every date and
// time pack of every DIF sequence, and the 16:9 display flag when one is set;
// every other byte of the frame stays as it was.
#include "pipelines/interfaces_incrustation.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>

namespace korvan {

class DVHeader final : public IDVHeaderConfig {
public:
    void Reset(int version) override;
    int GetFrameCount() const override;
    void SetHourOffset(int heures) override;
    void SetCopySubcode(bool copier) override;
    void SetCreateDatePacks(bool creer) override;
    void SetSingleInput(bool seule) override;
    void SetWide(bool large) override;

    // Input 0 to output 1, rewritten in place, with input 2's frame as the
    // source (not read in single-input mode; none in a recompression, where
    // only the picture format can be set). A source without a readable
    // recording date leaves the date packs alone.
    void traiter(std::span<uint8_t> trame, std::span<const uint8_t> source = {});

private:
    mutable std::mutex verrou_;
    int decalage_ = 0;
    bool copierSubcode_ = false;
    bool creerPacks_ = true;
    bool entreeSeule_ = false;
    std::optional<bool> large_;
    int images_ = 0;
};

} // namespace korvan
