#include "pipelines/timestamper.h"

namespace korvan {

void TimeStamper::SetMode(int mode)
{
    std::lock_guard l(verrou_);
    // An unknown mode leaves the times alone rather than guess.
    mode_ = (mode == Renumerotes || mode == SansTemps) ? mode : Inchanges;
}

void TimeStamper::SetFrameDuration(int duree)
{
    std::lock_guard l(verrou_);
    if (duree > 0)
        duree_ = duree;
}

int TimeStamper::GetMode() const
{
    std::lock_guard l(verrou_);
    return mode_;
}

int TimeStamper::GetSampleCount() const
{
    std::lock_guard l(verrou_);
    return int(compte_);
}

void TimeStamper::Restart()
{
    std::lock_guard l(verrou_);
    compte_ = 0;
}

int TimeStamper::GetFrameDuration() const
{
    std::lock_guard l(verrou_);
    return duree_;
}

void TimeStamper::traiter(TempsEchantillon& temps)
{
    std::lock_guard l(verrou_);
    switch (mode_) {
    case Renumerotes:
        temps.debut = compte_ * duree_;
        temps.fin = temps.debut + duree_;
        break;
    case SansTemps:
        temps = {};
        break;
    default:
        break;
    }
    ++compte_;
}

} // namespace korvan
