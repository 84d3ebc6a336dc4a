#include "pipelines/datecoder.h"

#include "analysis/dvcodes.h"
#include "analysis/format_date.h"
#include "analysis/rupture_datecode.h"
#include "analysis/texte_court.h"
#include "platform/preferences.h"

#include <algorithm>
#include <cmath>

namespace korvan {

Datecoder::Datecoder(const ReglagesFormat& reglages)
    : reglages_(reglages), format_(QString::fromLatin1(prefDefaut::formatAfficher))
{
}

void Datecoder::SetHourOffset(int heures)
{
    std::lock_guard l(verrou_);
    decalage_ = std::clamp(heures, -23, 23);
}

void Datecoder::SetFormat(const QString& format)
{
    std::lock_guard l(verrou_);
    format_ = ChaineCourte(format);
}

void Datecoder::SetBurnIn(bool incrustation)
{
    std::lock_guard l(verrou_);
    incrustation_ = incrustation;
}

void Datecoder::SetAutoDuration(int duree)
{
    std::lock_guard l(verrou_);
    duree_ = std::max(duree, 0);
}

void Datecoder::SetAutoInlay(bool automatique)
{
    std::lock_guard l(verrou_);
    automatique_ = automatique;
}

void Datecoder::reinitialiser()
{
    std::lock_guard l(verrou_);
    precedent_ = 0;
    debutScene_ = 0;
    sceneOuverte_ = false;
    imagesDansScene_ = 0;
}

QString Datecoder::traiter(std::span<const uint8_t> trame)
{
    std::lock_guard l(verrou_);
    // Impossible pack values (a pack of 0xFF bytes) make the frame unreadable:
    // it neither starts nor continues a scene, and shows nothing.
    const DateImage image = DateDeDatecode(DecoderDatecode(trame.data(), trame.size()));
    const bool lisible = image.valide;
    const TDateTime date = image.valeur;
    if (lisible && EstRuptureDatecode(precedent_, image.secondes)) {
        sceneOuverte_ = true;
        debutScene_ = date;
        imagesDansScene_ = 0;
    } else {
        ++imagesDansScene_;
    }
    if (lisible)
        precedent_ = image.secondes;
    if (!lisible || date == 0)
        return {};

    if (automatique_) {
        bool pendantDuree = false;
        if (sceneOuverte_) {
            pendantDuree = incrustation_
                ? imagesDansScene_ < duree_
                : std::llround((date - debutScene_) * 86400.0) < duree_;
        }
        if (!pendantDuree)
            return {};
    }
    return FormatDateTime(format_, date + decalage_ / 24.0, reglages_);
}

} // namespace korvan
