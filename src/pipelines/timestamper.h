#pragma once
// The time stamper: lets every sample through with its content as it came;
// by its mode it keeps, renumbers or removes the sample's times.
#include "pipelines/interfaces_incrustation.h"

#include <cstdint>
#include <limits>
#include <mutex>

namespace korvan {

inline constexpr int64_t kSansTemps = std::numeric_limits<int64_t>::min();

// Start and end of a sample in 100 ns units; kSansTemps when it has none.
struct TempsEchantillon {
    int64_t debut = kSansTemps;
    int64_t fin = kSansTemps;
    bool operator==(const TempsEchantillon&) const = default;
};

template <typename Contenu>
struct Echantillon {
    Contenu contenu;
    TempsEchantillon temps;
};

class TimeStamper final : public ITimeStamperConfig {
public:
    void SetMode(int mode) override;
    void SetFrameDuration(int duree) override;
    int GetMode() const override;
    int GetSampleCount() const override;
    void Restart() override;
    int GetFrameDuration() const override;

    // Input to output: one sample, whose times follow the mode.
    void traiter(TempsEchantillon& temps);
    template <typename Contenu>
    void traiter(Echantillon<Contenu>& e) { traiter(e.temps); }

private:
    mutable std::mutex verrou_;
    int mode_ = Inchanges;
    int duree_ = 400000; // 25 frames a second
    int64_t compte_ = 0;
};

} // namespace korvan
