#include "pipelines/source_dv.h"

#include "analysis/avi_structs.h"
#include "analysis/dvcodes.h"
#include "analysis/son_dv.h"
#include "analysis/systeme_dv.h"

#include <algorithm>

namespace korvan {

namespace {

constexpr uint16_t kFormatPcm = 1;

std::vector<uint8_t> lireMorceau(const AviDemuxer& avi, const AviFrame& f)
{
    std::vector<uint8_t> octets(f.size);
    octets.resize(avi.source().readAt(f.offset, octets.data(), octets.size()));
    return octets;
}

} // namespace

SourceDV::SourceDV(std::shared_ptr<const AviDemuxer> avi, int fluxVideo, int fluxSon, bool sonDesImages)
    : avi_(std::move(avi)), sonDesImages_(sonDesImages && fluxSon < 0)
{
    const auto& flux = avi_->streams();
    const AviStreamInfo& video = flux.at(size_t(fluxVideo));
    images_ = avi_->frameIndex(video.number);

    std::vector<uint8_t> premiere;
    if (!images_.empty())
        premiere = lireMorceau(*avi_, images_.front());
    const bool pal = premiere.empty() || EstSysteme625(premiere.data(), premiere.size());
    if (video.header.dwRate > 0 && video.header.dwScale > 0) {
        base_ = {int64_t(video.header.dwRate), int64_t(video.header.dwScale)};
    } else {
        base_ = pal ? BaseTemps{25, 1} : BaseTemps{30000, 1001};
    }

    if (fluxSon >= 0) {
        const AviStreamInfo& s = flux.at(size_t(fluxSon));
        const WaveFormatEx w = WaveFormatEx::decode(s.format.data(), s.format.size());
        if (s.format.size() >= 14 && w.wFormatTag == kFormatPcm && w.wBitsPerSample == 16
            && (w.nChannels == 1 || w.nChannels == 2) && w.nSamplesPerSec > 0) {
            son_ = {int(w.nSamplesPerSec), int(w.nChannels)};
            octetsParBloc_ = 2 * w.nChannels;
            morceauxSon_ = avi_->frameIndex(s.number);
            avantMorceau_.reserve(morceauxSon_.size() + 1);
            int64_t total = 0;
            for (const AviFrame& f : morceauxSon_) {
                avantMorceau_.push_back(total);
                total += f.size;
            }
            avantMorceau_.push_back(total);
        }
    } else if (sonDesImages_) {
        SourceAudioDV source;
        if (!premiere.empty() && LireSourceAudioDV(premiere.data(), premiere.size(), source))
            son_ = {source.frequence, 2};
    }
}

void SourceDV::positionner(int64_t n)
{
    suivante_ = std::clamp<int64_t>(n, 0, nombreImages());
}

bool SourceDV::lireImage(ImageLue& image, bool avecImage, std::vector<int16_t>* son)
{
    if (suivante_ >= nombreImages())
        return false;
    const int64_t n = suivante_++;
    image.numero = n;
    image.octets = lireMorceau(*avi_, images_[size_t(n)]);
    image.image = QImage();
    if (avecImage) {
        QImage decodee = decodeur_.decoder(image.octets);
        if (!decodee.isNull()) {
            derniere_ = decodee;
        } else if (derniere_.isNull()) {
            const SystemeDV& systeme = SystemeSelon625(base_.rate == 25 * base_.scale);
            derniere_ = QImage(systeme.largeur, systeme.hauteur, QImage::Format_RGB32);
            derniere_.fill(Qt::black);
        }
        image.image = derniere_;
    }
    if (son && son_.present()) {
        if (sonDesImages_) {
            const size_t avant = son->size();
            SourceAudioDV source;
            // A frame recorded at another rate is left silent rather than played at the wrong speed.
            if (LireSourceAudioDV(image.octets.data(), image.octets.size(), source) && source.frequence == son_.frequence)
                DecoderSonDV(image.octets.data(), image.octets.size(), *son);
            if (son->size() == avant) {
                const int64_t paires = (__int128(n + 1) * son_.frequence * base_.scale) / base_.rate
                    - (__int128(n) * son_.frequence * base_.scale) / base_.rate;
                son->resize(avant + size_t(2 * paires), 0);
            }
        } else {
            lireSonPcm(n, *son);
        }
    }
    return true;
}

void SourceDV::lireSonPcm(int64_t n, std::vector<int16_t>& son) const
{
    // The samples of frame n's interval, by sample count from the start.
    const auto premierBloc = [&](int64_t k) { return int64_t((__int128(k) * son_.frequence * base_.scale) / base_.rate); };
    int64_t debut = premierBloc(n) * octetsParBloc_;
    const int64_t fin = std::min(premierBloc(n + 1) * octetsParBloc_, avantMorceau_.back());
    if (debut >= fin)
        return;
    auto it = std::upper_bound(avantMorceau_.begin(), avantMorceau_.end(), debut);
    size_t k = size_t(it - avantMorceau_.begin()) - 1;
    std::vector<uint8_t> octets;
    octets.reserve(size_t(fin - debut));
    while (debut < fin && k < morceauxSon_.size()) {
        const AviFrame& f = morceauxSon_[k];
        const int64_t dans = debut - avantMorceau_[k];
        const int64_t n2 = std::min<int64_t>(fin - debut, int64_t(f.size) - dans);
        const size_t ancienne = octets.size();
        octets.resize(ancienne + size_t(n2));
        const size_t lus = avi_->source().readAt(f.offset + dans, octets.data() + ancienne, size_t(n2));
        octets.resize(ancienne + lus);
        if (lus < size_t(n2))
            break;
        debut += n2;
        ++k;
    }
    const size_t avant = son.size();
    son.resize(avant + octets.size() / 2);
    for (size_t i = 0; i + 1 < octets.size(); i += 2)
        son[avant + i / 2] = int16_t(uint16_t(octets[i] | (octets[i + 1] << 8)));
}

} // namespace korvan
