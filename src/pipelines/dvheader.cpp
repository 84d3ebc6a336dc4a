#include "pipelines/dvheader.h"

#include "analysis/dateheure.h"
#include "analysis/dvcodes.h"


namespace korvan {

namespace {

// The date shifted by whole hours; nothing when the packs hold no valid date.
std::optional<TDatecodeDV> decaler(const TDatecodeDV& d, int heures)
{
    TDateTime valeur = 0;
    if (d.annee < 0 || !EncodeDateTime(d.annee, d.mois, d.jour, d.heure, d.minute, d.seconde, 0, valeur))
        return std::nullopt;
    int a, mo, j, h, mi, s, ms;
    if (!DecodeDateTime(valeur + heures / 24.0, a, mo, j, h, mi, s, ms))
        return std::nullopt;
    return TDatecodeDV{a, uint8_t(mo), uint8_t(j), uint8_t(h), uint8_t(mi), uint8_t(s)};
}

} // namespace

void DVHeader::Reset(int)
{
    std::lock_guard l(verrou_);
    decalage_ = 0;
    copierSubcode_ = false;
    creerPacks_ = true;
    entreeSeule_ = false;
    large_.reset();
    images_ = 0;
}

int DVHeader::GetFrameCount() const
{
    std::lock_guard l(verrou_);
    return images_;
}

void DVHeader::SetHourOffset(int heures)
{
    std::lock_guard l(verrou_);
    decalage_ = heures;
}

void DVHeader::SetCopySubcode(bool copier)
{
    std::lock_guard l(verrou_);
    copierSubcode_ = copier;
}

void DVHeader::SetCreateDatePacks(bool creer)
{
    std::lock_guard l(verrou_);
    creerPacks_ = creer;
}

void DVHeader::SetSingleInput(bool seule)
{
    std::lock_guard l(verrou_);
    entreeSeule_ = seule;
}

void DVHeader::SetWide(bool large)
{
    std::lock_guard l(verrou_);
    large_ = large;
}

void DVHeader::traiter(std::span<uint8_t> trame, std::span<const uint8_t> source)
{
    std::lock_guard l(verrou_);
    ++images_;
    if (entreeSeule_) {
        // The frame's own clock: with no offset there is nothing to change.
        if (decalage_ != 0)
            if (const auto date = decaler(DecoderDatecode(trame.data(), trame.size()), decalage_))
                EcrireDatecodeDV(trame.data(), trame.size(), *date, creerPacks_);
    } else if (!source.empty()) {
        if (copierSubcode_)
            CopierSubcodeDV(trame.data(), trame.size(), source.data(), source.size());
        if (const auto date = decaler(DecoderDatecode(source.data(), source.size()), decalage_))
            EcrireDatecodeDV(trame.data(), trame.size(), *date, creerPacks_);
    }
    if (large_)
        EcrireFormat16x9DV(trame.data(), trame.size(), *large_);
}

} // namespace korvan
