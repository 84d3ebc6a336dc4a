#include "pipelines/conversions_dv.h"

#include "pipelines/flux_conversion.h"

#include "analysis/codec_dv.h"
#include "analysis/disposition_son_dv.h"
#include "analysis/dvcodes.h"
#include "analysis/ecrivain_avi.h"
#include "analysis/ecrivain_wav.h"
#include "analysis/ecriture_son_dv.h"
#include "analysis/lecture_morceaux.h"
#include "analysis/son_dv.h"
#include "analysis/systeme_dv.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

namespace korvan {

namespace {

class TravailVersType1 final : public TravailConversion {
public:
    TravailVersType1(std::shared_ptr<const AviDemuxer> avi, FluxDV video, std::optional<WaveFormatEx> son)
        : avi_(std::move(avi)), video_(std::move(video)), son_(son)
    {
    }

    int64_t duree() const override { return video_.duree(); }

    void executer(SortieOctets& sortie, SuiviConversion& suivi) override
    {
        EcrivainAvi avi(sortie, {fluxType1(*video_.systeme, video_.premiere.data(), video_.premiere.size())},
                        imageDe(*video_.systeme));
        LecteurMorceaux images(avi_->source(), std::move(video_.images));
        FenetresPartagees partage(images, sortie);
        std::optional<SonPcm> son;
        std::optional<RepartitionSonDV> repartition;
        if (son_) {
            son.emplace(*avi_, 1, *son_);
            repartition.emplace(son->frequence());
        }
        const bool pal = video_.systeme->standard == kStandardPal;
        // The last frame, kept only when a dropped frame (an empty chunk) follows it.
        std::vector<uint8_t> gardee;
        std::vector<int16_t> pcm;
        bool premiere = true;
        for (int64_t i = 0; !images.fini() && !suivi.arretDemande(); ++i) {
            std::span<uint8_t> trame = images.lire();
            const bool dansFenetre = !trame.empty();
            // An empty chunk is a dropped frame: the previous picture stands
            // in for it, so that the sound keeps its place.
            if (!dansFenetre)
                trame = gardee;
            if (trame.empty()) {
                if (son)
                    son->prendre(size_t(EchantillonsNominauxDV(pal, son->frequence(), i)), pcm);
                continue;
            }
            if (son) {
                bool verrouille = false;
                const int n = repartition->echantillons(trame.data(), trame.size(), verrouille);
                // A frame that is not whole keeps what it holds; its share of the sound is passed over.
                son->prendre(size_t(n > 0 ? n : EchantillonsNominauxDV(pal, son->frequence(), i)), pcm);
                if (n > 0)
                    EcrireSonDV(trame.data(), trame.size(), pcm.data(), size_t(n), son->frequence(), verrouille);
            }
            if (premiere) {
                // The stream format describes the frames as written.
                avi.remplacerFormat(0, octetsDe(DvInfoDeTrame(trame.data(), trame.size())));
                premiere = false;
            }
            if (dansFenetre && !images.fini() && images.morceau(images.suivant()).size == 0)
                gardee.assign(trame.begin(), trame.end());
            avi.ecrire(0, trame.data(), uint32_t(trame.size()), dansFenetre);
            if (dansFenetre)
                partage.donne();
            suivi.avancer(video_.position(i + 1));
        }
        avi.terminer();
    }

private:
    std::shared_ptr<const AviDemuxer> avi_;
    FluxDV video_;
    std::optional<WaveFormatEx> son_;
};

class TravailVersType2 final : public TravailConversion {
public:
    TravailVersType2(std::shared_ptr<const AviDemuxer> avi, FluxDV video) : avi_(std::move(avi)), video_(std::move(video))
    {
        SourceAudioDV source;
        if (LireSourceAudioDV(video_.premiere.data(), video_.premiere.size(), source)) {
            frequence_ = source.frequence;
            paires_ = PairesSonDV(video_.premiere.data(), video_.premiere.size());
        }
    }

    int64_t duree() const override { return video_.duree(); }

    void executer(SortieOctets& sortie, SuiviConversion& suivi) override
    {
        const SystemeDV& s = *video_.systeme;
        std::vector<FluxEcrit> flux{fluxType2(s, video_.premiere.data(), video_.premiere.size())};
        static constexpr const char kIds[2][5] = {"01wb", "02wb"};
        for (int p = 0; p < paires_; ++p)
            flux.push_back(fluxPcm(frequence_, kIds[p]));
        EcrivainAvi avi(sortie, std::move(flux), imageDe(s));

        LecteurMorceaux images(avi_->source(), std::move(video_.images));
        FenetresPartagees partage(images, sortie);
        std::vector<int16_t> pcm;
        for (int64_t i = 0; !images.fini() && !suivi.arretDemande(); ++i) {
            const std::span<uint8_t> trame = images.lire();
            avi.ecrire(0, trame.data(), uint32_t(trame.size()), true);
            partage.donne();
            for (int p = 0; p < paires_; ++p) {
                pcm.clear();
                SourceAudioDV source;
                // A frame without this pair, or at another rate, keeps the
                // stream's place with silence.
                const bool memeFormat = LireSourceAudioDV(trame.data(), trame.size(), source) && source.frequence == frequence_;
                if (!memeFormat || DecoderSonDV(trame.data(), trame.size(), pcm, p) == 0)
                    pcm.assign(2 * size_t(EchantillonsNominauxDV(s.standard == kStandardPal, frequence_, i)), 0);
                avi.ecrire(size_t(1 + p), reinterpret_cast<const uint8_t*>(pcm.data()), uint32_t(pcm.size() * 2));
            }
            suivi.avancer(video_.position(i + 1));
        }
        avi.terminer();
    }

private:
    std::shared_ptr<const AviDemuxer> avi_;
    FluxDV video_;
    int frequence_ = 0;
    int paires_ = 0;
};

// The two-character chunk suffix of a stream of that type.
const char* suffixeMorceaux(const FourCC& type)
{
    if (type == FourCC("auds"))
        return "wb";
    if (type == FourCC("txts"))
        return "tx";
    return "dc";
}

class TravailDecalageHoraire final : public TravailConversion {
public:
    TravailDecalageHoraire(std::shared_ptr<const AviDemuxer> avi, FluxDV video, DVHeader& dvheader)
        : avi_(std::move(avi)), video_(std::move(video)), dvheader_(dvheader)
    {
    }

    int64_t duree() const override { return video_.duree(); }

    void executer(SortieOctets& sortie, SuiviConversion& suivi) override
    {
        const auto& sources = avi_->streams();
        const size_t nombre = std::min<size_t>(sources.size(), 2);
        std::vector<FluxEcrit> flux;
        for (size_t n = 0; n < nombre; ++n) {
            char id[5];
            std::snprintf(id, sizeof id, "%02zu%s", n, suffixeMorceaux(sources[n].header.fccType));
            flux.push_back({sources[n].header, sources[n].format, FourCC::fromBytes(reinterpret_cast<const uint8_t*>(id))});
        }
        EcrivainAvi avi(sortie, std::move(flux), imageDe(*video_.systeme));

        // The chunks of both streams in the order the source holds them.
        LecteurMorceaux images(avi_->source(), std::move(video_.images));
        std::optional<LecteurMorceaux> autre;
        if (nombre > 1)
            autre.emplace(avi_->source(), avi_->frameIndex(1));
        FenetresPartagees partageImages(images, sortie);
        std::optional<FenetresPartagees> partageAutre;
        if (autre)
            partageAutre.emplace(*autre, sortie);
        int64_t faites = 0;
        while (!suivi.arretDemande()) {
            const bool resteImages = !images.fini();
            const bool resteAutre = autre && !autre->fini();
            if (!resteImages && !resteAutre)
                break;
            if (resteImages && (!resteAutre || images.morceau(images.suivant()).offset < autre->morceau(autre->suivant()).offset)) {
                const std::span<uint8_t> trame = images.lire();
                if (!trame.empty())
                    dvheader_.traiter(trame);
                avi.ecrire(0, trame.data(), uint32_t(trame.size()), true);
                partageImages.donne();
                suivi.avancer(video_.position(++faites));
            } else {
                const std::span<uint8_t> morceau = autre->lire();
                avi.ecrire(1, morceau.data(), uint32_t(morceau.size()), true);
                partageAutre->donne();
            }
        }
        avi.terminer();
    }

private:
    std::shared_ptr<const AviDemuxer> avi_;
    FluxDV video_;
    DVHeader& dvheader_;
};

// A sound stream's chunks as they are, behind a header made of its format.
class TravailWavFlux final : public TravailConversion {
public:
    TravailWavFlux(std::shared_ptr<const AviDemuxer> avi, int flux) : avi_(std::move(avi)), flux_(flux)
    {
        morceaux_ = avi_->frameIndex(flux_);
        for (const AviFrame& m : morceaux_)
            octets_ += m.size;
        const AviStreamInfo& s = avi_->streams()[size_t(flux_)];
        const WaveFormatEx w = WaveFormatEx::decode(s.format.data(), s.format.size());
        // The byte rate gives the time of the bytes written; the header's length when it is missing.
        duree_ = w.nAvgBytesPerSec > 0 ? int64_t(static_cast<__int128>(octets_) * 10000000 / w.nAvgBytesPerSec)
                                       : s.dureeHeader();
    }

    int64_t duree() const override { return octets_ > 0 ? duree_ : 0; }

    void executer(SortieOctets& sortie, SuiviConversion& suivi) override
    {
        EcrivainWav wav(sortie, avi_->streams()[size_t(flux_)].format);
        LecteurMorceaux lecteur(avi_->source(), morceaux_);
        FenetresPartagees partage(lecteur, sortie);
        while (!lecteur.fini() && !suivi.arretDemande()) {
            const std::span<uint8_t> m = lecteur.lire();
            wav.ecrire(m.data(), m.size(), true);
            partage.donne();
            suivi.avancer(int64_t(static_cast<__int128>(wav.octets()) * duree_ / octets_));
        }
        wav.terminer();
    }

private:
    std::shared_ptr<const AviDemuxer> avi_;
    int flux_;
    std::vector<AviFrame> morceaux_;
    int64_t octets_ = 0;
    int64_t duree_ = 0;
};

// The first stereo pair of DV frames, decoded, at the rate of the first frame.
class TravailWavDV final : public TravailConversion {
public:
    TravailWavDV(std::shared_ptr<const AviDemuxer> avi, FluxDV video, int frequence)
        : avi_(std::move(avi)), video_(std::move(video)), frequence_(frequence)
    {
    }

    int64_t duree() const override { return video_.duree(); }

    void executer(SortieOctets& sortie, SuiviConversion& suivi) override
    {
        EcrivainWav wav(sortie, formatPcm16(frequence_));
        LecteurMorceaux images(avi_->source(), std::move(video_.images));
        std::vector<int16_t> pcm;
        const bool pal = video_.systeme->standard == kStandardPal;
        for (int64_t i = 0; !images.fini() && !suivi.arretDemande(); ++i) {
            const std::span<uint8_t> trame = images.lire();
            pcm.clear();
            SourceAudioDV source;
            if (!LireSourceAudioDV(trame.data(), trame.size(), source) || source.frequence != frequence_
                || DecoderSonDV(trame.data(), trame.size(), pcm) == 0)
                pcm.assign(2 * size_t(EchantillonsNominauxDV(pal, frequence_, i)), 0);
            wav.ecrire(reinterpret_cast<const uint8_t*>(pcm.data()), pcm.size() * 2);
            suivi.avancer(video_.position(i + 1));
        }
        wav.terminer();
    }

private:
    std::shared_ptr<const AviDemuxer> avi_;
    FluxDV video_;
    int frequence_;
};

PreparationConversion echec(const QString& raison)
{
    return {nullptr, raison};
}

} // namespace

PreparationConversion PreparerVersType1(std::shared_ptr<const AviDemuxer> source)
{
    QString raison;
    std::optional<FluxDV> video = premierFluxDV(*source, raison);
    if (!video)
        return echec(raison);
    std::optional<WaveFormatEx> son;
    if (source->streams().size() > 1)
        son = SonPcm::formatAccepte(source->streams()[1]);
    return {std::make_unique<TravailVersType1>(source, std::move(*video), son), {}};
}

PreparationConversion PreparerVersType2(std::shared_ptr<const AviDemuxer> source)
{
    QString raison;
    std::optional<FluxDV> video = premierFluxDV(*source, raison);
    if (!video)
        return echec(raison);
    return {std::make_unique<TravailVersType2>(source, std::move(*video)), {}};
}

PreparationConversion PreparerDecalageHoraire(std::shared_ptr<const AviDemuxer> source, DVHeader& dvheader)
{
    QString raison;
    std::optional<FluxDV> video = premierFluxDV(*source, raison);
    if (!video)
        return echec(raison);
    return {std::make_unique<TravailDecalageHoraire>(source, std::move(*video), dvheader), {}};
}

PreparationConversion PreparerExtraireAudio(std::shared_ptr<const AviDemuxer> source)
{
    if (!source->isAvi())
        return echec(QStringLiteral("Le fichier n'est pas un fichier AVI lisible"));
    // The first sound in stream order: a sound stream, or the sound of the
    // first interleaved DV stream when it comes first.
    for (const AviStreamInfo& s : source->streams()) {
        if (s.header.fccType == FourCC("auds")) {
            if (s.format.size() < 16)
                continue;
            return {std::make_unique<TravailWavFlux>(source, s.number), {}};
        }
        if (s.header.fccType == FourCC("iavs")) {
            QString raison;
            FluxDV video;
            video.numero = s.number;
            video.images = source->frameIndex(s.number);
            for (const AviFrame& i : video.images) {
                if (i.size == 0)
                    continue;
                std::vector<uint8_t> t(i.size);
                if (!source->source().readExactAt(i.offset, t.data(), t.size()))
                    break;
                SourceAudioDV son;
                if (!EstTrameDV(t.data(), t.size()) || !LireSourceAudioDV(t.data(), t.size(), son))
                    break;
                video.systeme = &SystemeSelon625(EstSysteme625(t.data(), t.size()));
                video.premiere = std::move(t);
                video.nombre = int64_t(video.images.size());
                return {std::make_unique<TravailWavDV>(source, std::move(video), son.frequence), {}};
            }
        }
    }
    return echec(QStringLiteral("Le fichier ne contient pas de son"));
}

} // namespace korvan
