#include "pipelines/conversions_dv.h"

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

constexpr uint16_t WAVE_FORMAT_PCM = 1;
constexpr uint16_t WAVE_FORMAT_EXTENSIBLE = 0xFFFE;
constexpr uint32_t kQualiteParDefaut = 0xFFFFFFFF;

std::vector<uint8_t> octetsDe(const auto& structure)
{
    std::vector<uint8_t> v(std::remove_cvref_t<decltype(structure)>::kSize);
    structure.encode(v.data());
    return v;
}

// The frames of a DV stream and the system they are in, from its first frame.
struct FluxDV {
    int numero = -1;
    std::vector<AviFrame> images; // handed to the run's reader
    int64_t nombre = 0;
    std::vector<uint8_t> premiere;
    const SystemeDV* systeme = nullptr;

    int64_t duree() const { return nombre * systeme->tempsParImage; }
    int64_t position(int64_t faites) const { return faites * systeme->tempsParImage; }
};

// The first stream as DV frames: a video stream ('vids') or an interleaved
// one ('iavs', whose frames are DV frames too); none when it is neither or
// its first frame is not DV.
std::optional<FluxDV> premierFluxDV(const AviDemuxer& avi, QString& raison)
{
    if (!avi.isAvi()) {
        raison = QStringLiteral("Le fichier n'est pas un fichier AVI lisible");
        return std::nullopt;
    }
    const auto& flux = avi.streams();
    if (flux.empty() || !(flux[0].header.fccType == FourCC("vids") || flux[0].header.fccType == FourCC("iavs"))) {
        raison = QStringLiteral("Le premier flux du fichier n'est pas de la vidéo DV");
        return std::nullopt;
    }
    FluxDV f;
    f.numero = 0;
    f.images = avi.frameIndex(0);
    // The first frame that holds anything (a capture may start with dropped frames).
    for (const AviFrame& i : f.images) {
        if (i.size == 0)
            continue;
        f.premiere.resize(i.size);
        if (!avi.source().readExactAt(i.offset, f.premiere.data(), i.size))
            f.premiere.clear();
        break;
    }
    if (f.premiere.empty() || !EstTrameDV(f.premiere.data(), f.premiere.size())) {
        raison = QStringLiteral("Le premier flux du fichier n'est pas de la vidéo DV");
        return std::nullopt;
    }
    f.systeme = &SystemeSelon625(EstSysteme625(f.premiere.data(), f.premiere.size()));
    f.nombre = int64_t(f.images.size());
    return f;
}

uint32_t microSecondes(const SystemeDV& s)
{
    return uint32_t((s.tempsParImage + 5) / 10);
}

TAvistream enteteVideo(const char (&type)[5], const SystemeDV& s)
{
    TAvistream h;
    h.fccType = FourCC(type);
    h.fccHandler = kCodecDVSysteme;
    h.dwScale = s.standard == kStandardPal ? 1 : 1001;
    h.dwRate = s.standard == kStandardPal ? 25 : 30000;
    h.dwQuality = kQualiteParDefaut;
    h.rcRight = int16_t(s.largeur);
    h.rcBottom = int16_t(s.hauteur);
    return h;
}

ImageAvi imageDe(const SystemeDV& s)
{
    return {microSecondes(s), s.largeur, s.hauteur};
}

// A PCM stream of 16-bit stereo samples at that rate.
FluxEcrit fluxPcm(int frequence, const char (&id)[5])
{
    WaveFormatEx w;
    w.wFormatTag = WAVE_FORMAT_PCM;
    w.nChannels = 2;
    w.nSamplesPerSec = uint32_t(frequence);
    w.nBlockAlign = 4;
    w.nAvgBytesPerSec = uint32_t(frequence) * 4;
    w.wBitsPerSample = 16;
    TAvistream h;
    h.fccType = FourCC("auds");
    h.dwScale = w.nBlockAlign;
    h.dwRate = w.nAvgBytesPerSec;
    h.dwSampleSize = w.nBlockAlign;
    h.dwQuality = kQualiteParDefaut;
    return {h, octetsDe(w), FourCC(id)};
}

std::vector<uint8_t> formatPcm16(int frequence)
{
    std::vector<uint8_t> f = fluxPcm(frequence, "00wb").format;
    f.resize(16); // a WAV file's PCM format has no cbSize
    return f;
}

// The PCM samples of a sound stream as 16-bit stereo, in order, for as long
// as the stream lasts (silence after its end).
class SonPcm {
public:
    // None when the stream is not PCM of 8 to 32 bits at a rate DV records.
    static std::optional<WaveFormatEx> formatAccepte(const AviStreamInfo& s)
    {
        if (!(s.header.fccType == FourCC("auds")) || s.format.size() < 16)
            return std::nullopt;
        const WaveFormatEx w = WaveFormatEx::decode(s.format.data(), s.format.size());
        bool pcm = w.wFormatTag == WAVE_FORMAT_PCM;
        // WAVE_FORMAT_EXTENSIBLE: the sub-format GUID's first two bytes give the tag.
        if (w.wFormatTag == WAVE_FORMAT_EXTENSIBLE && s.format.size() >= 26)
            pcm = lireU16(s.format.data() + 24) == WAVE_FORMAT_PCM;
        const int octets = w.wBitsPerSample / 8;
        if (!pcm || w.nChannels < 1 || octets < 1 || octets > 4 || w.wBitsPerSample % 8 != 0
            || w.nBlockAlign != w.nChannels * octets || CodeFrequenceSonDV(int(w.nSamplesPerSec)) < 0)
            return std::nullopt;
        return w;
    }

    SonPcm(const AviDemuxer& avi, int flux, const WaveFormatEx& format)
        : lecteur_(avi.source(), avi.frameIndex(flux)), format_(format)
    {
    }

    int frequence() const { return int(format_.nSamplesPerSec); }

    // The next paires sample pairs into sortie (2 x paires values).
    void prendre(size_t paires, std::vector<int16_t>& sortie)
    {
        while (disponibles() < paires && !lecteur_.fini())
            convertir(lecteur_.lire());
        sortie.assign(2 * paires, 0);
        const size_t n = std::min(paires, disponibles());
        std::copy_n(file_.begin() + ptrdiff_t(2 * lu_), 2 * n, sortie.begin());
        lu_ += n;
        if (lu_ > 1 << 16) {
            file_.erase(file_.begin(), file_.begin() + ptrdiff_t(2 * lu_));
            lu_ = 0;
        }
    }

private:
    size_t disponibles() const { return file_.size() / 2 - lu_; }

    void convertir(std::span<const uint8_t> octets)
    {
        const int taille = format_.wBitsPerSample / 8;
        const size_t bloc = format_.nBlockAlign;
        const auto echantillon = [taille](const uint8_t* p) -> int16_t {
            if (taille == 1)
                return int16_t((int(p[0]) - 128) << 8);
            // The top 16 bits of a little-endian sample.
            return int16_t(lireU16(p + taille - 2));
        };
        for (size_t o = 0; o + bloc <= octets.size(); o += bloc) {
            const uint8_t* p = octets.data() + o;
            const int16_t gauche = echantillon(p);
            file_.push_back(gauche);
            file_.push_back(format_.nChannels > 1 ? echantillon(p + taille) : gauche);
        }
    }

    LecteurMorceaux lecteur_;
    WaveFormatEx format_;
    std::vector<int16_t> file_;
    size_t lu_ = 0;
};

// A reader whose chunks go to the output without a copy: a window is read
// into again only once the output has written what was taken from it, and
// however the run ends, the output is done with the windows before they go.
class FenetresPartagees {
public:
    FenetresPartagees(LecteurMorceaux& lecteur, SortieOctets& sortie) : lecteur_(lecteur), sortie_(sortie)
    {
        lecteur_.avantRelecture = [this](int f) { sortie_.attendreEcrit(marques_[f]); };
    }
    ~FenetresPartagees()
    {
        try {
            sortie_.attendreEcrit(sortie_.taille());
        } catch (...) {
            // The run is already failing; its error is the one told.
        }
        lecteur_.avantRelecture = nullptr;
    }
    FenetresPartagees(const FenetresPartagees&) = delete;
    FenetresPartagees& operator=(const FenetresPartagees&) = delete;

    // The chunk just read was appended to the output.
    void donne() { marques_[lecteur_.fenetre()] = sortie_.taille(); }

private:
    LecteurMorceaux& lecteur_;
    SortieOctets& sortie_;
    int64_t marques_[2] = {0, 0};
};

class TravailVersType1 final : public TravailConversion {
public:
    TravailVersType1(std::shared_ptr<const AviDemuxer> avi, FluxDV video, std::optional<WaveFormatEx> son)
        : avi_(std::move(avi)), video_(std::move(video)), son_(son)
    {
    }

    int64_t duree() const override { return video_.duree(); }

    void executer(SortieOctets& sortie, SuiviConversion& suivi) override
    {
        FluxEcrit flux{enteteVideo("iavs", *video_.systeme), octetsDe(DvInfoDeTrame(video_.premiere.data(), video_.premiere.size())),
                       FourCC("00dc")};
        EcrivainAvi avi(sortie, {flux}, imageDe(*video_.systeme));
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
        BitmapInfoHeader bih;
        bih.biSize = BitmapInfoHeader::kSize;
        bih.biWidth = s.largeur;
        bih.biHeight = s.hauteur;
        bih.biPlanes = 1;
        bih.biBitCount = 24;
        bih.biCompression = kCodecDVSysteme;
        bih.biSizeImage = s.octetsImage();
        std::vector<uint8_t> format = octetsDe(bih);
        const std::vector<uint8_t> dvinfo = octetsDe(DvInfoDeTrame(video_.premiere.data(), video_.premiere.size()));
        format.insert(format.end(), dvinfo.begin(), dvinfo.end());
        std::vector<FluxEcrit> flux{{enteteVideo("vids", s), format, FourCC("00dc")}};
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
