#include "pipelines/dvheader.h"

#include "analysis/dvcodes.h"

namespace korvan {

namespace {

// The date shifted by whole hours; nothing when the packs hold no valid date.
std::optional<TDatecodeDV> decaler(const TDatecodeDV& d, int heures)
{
    const std::optional<TDateTime> valeur = DateTimeDuDatecode(d);
    if (!valeur)
        return std::nullopt;
    return DatecodeDuDateTime(*valeur + heures / 24.0);
}

// A setting changed under the lock the frame thread takes.
template <typename T, typename V>
void regler(std::mutex& verrou, T& reglage, V valeur)
{
    std::lock_guard l(verrou);
    reglage = valeur;
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
    regler(verrou_, decalage_, heures);
}

void DVHeader::SetCopySubcode(bool copier)
{
    regler(verrou_, copierSubcode_, copier);
}

void DVHeader::SetCreateDatePacks(bool creer)
{
    regler(verrou_, creerPacks_, creer);
}

void DVHeader::SetSingleInput(bool seule)
{
    regler(verrou_, entreeSeule_, seule);
}

void DVHeader::SetWide(bool large)
{
    regler(verrou_, large_, large);
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
