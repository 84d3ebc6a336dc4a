#include "pipelines/reencodage_dv.h"

#include "analysis/disposition_son_dv.h"
#include "analysis/ecriture_son_dv.h"
#include "analysis/son_dv.h"
#include "pipelines/ffmpeg_video.h"
#include "pipelines/flux_conversion.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace korvan {

namespace {

using ffmpeg::ImagePtr;
using Trame = std::shared_ptr<const std::vector<uint8_t>>;

constexpr int kFrequenceSortie = 48000;

// A queue between two stages: push waits while it is full, pop while it is
// empty; once closed both give up at once (pop still drains what is left
// when the producer closed it at its end).
template <typename T>
class FileBornee {
public:
    explicit FileBornee(size_t capacite) : capacite_(capacite) {}

    bool pousser(T valeur)
    {
        std::unique_lock l(m_);
        place_.wait(l, [&] { return ferme_ || file_.size() < capacite_; });
        if (ferme_)
            return false;
        file_.push_back(std::move(valeur));
        pret_.notify_one();
        return true;
    }
    bool prendre(T& valeur)
    {
        std::unique_lock l(m_);
        pret_.wait(l, [&] { return abandon_ || ferme_ || !file_.empty(); });
        if (abandon_ || file_.empty())
            return false;
        valeur = std::move(file_.front());
        file_.pop_front();
        place_.notify_one();
        return true;
    }
    // The producer is done: what is queued is still taken.
    void fermer()
    {
        std::lock_guard l(m_);
        ferme_ = true;
        pret_.notify_all();
        place_.notify_all();
    }
    // Everyone stops now.
    void abandonner()
    {
        std::lock_guard l(m_);
        ferme_ = abandon_ = true;
        file_.clear();
        pret_.notify_all();
        place_.notify_all();
    }

private:
    std::mutex m_;
    std::condition_variable pret_, place_;
    std::deque<T> file_;
    size_t capacite_;
    bool ferme_ = false;
    bool abandon_ = false;
};

// What the first stage reads: the next decoded picture, its time in the
// chain's base and the source DV frame it shows (none for other codecs);
// false at the end, with the time the last picture ends.
using LecteurImages = std::function<bool(ImagePtr& image, int64_t& temps, Trame& trame)>;

struct ReglagesMoteur {
    std::string filtres;
    ffmpeg::Rationnel base{1, 25};
    ffmpeg::Rationnel aspect{0, 1};
    bool pal = true;
    bool large = false;
    // The burn-in's components; none without a burn-in.
    Datecoder* datecoder = nullptr;
    Superposer* superposer = nullptr;
};

// A coded frame in output order, with the source frame shown at its time.
struct TrameCodee {
    std::vector<uint8_t> octets;
    Trame source;
};

// The three stages: decode and filter (with the datecode text of each
// picture, in order), draw and encode, and the caller's writing.
class MoteurReencodage {
public:
    MoteurReencodage(ReglagesMoteur reglages, LecteurImages lecteur)
        : reglages_(std::move(reglages)), lecteur_(std::move(lecteur))
    {
        fils_[0] = std::thread([this] { garder([this] { decoder(); }, aEncoder_); });
        fils_[1] = std::thread([this] { garder([this] { encoder(); }, codees_); });
    }
    ~MoteurReencodage() { arreter(); }
    MoteurReencodage(const MoteurReencodage&) = delete;
    MoteurReencodage& operator=(const MoteurReencodage&) = delete;

    // The next coded frame; false at the end. A stage's failure is thrown here.
    bool suivante(TrameCodee& t)
    {
        if (codees_.prendre(t))
            return true;
        arreter();
        if (echec_)
            std::rethrow_exception(echec_);
        return false;
    }

    void arreter()
    {
        aEncoder_.abandonner();
        codees_.abandonner();
        for (std::thread& f : fils_)
            if (f.joinable())
                f.join();
    }

private:
    struct ImageAEncoder {
        ImagePtr image;
        Trame source;
        QString texte;
    };

    template <typename Etape, typename File>
    void garder(Etape&& etape, File& sortie)
    {
        try {
            etape();
            sortie.fermer();
        } catch (...) {
            {
                std::lock_guard l(verrouEchec_);
                if (!echec_)
                    echec_ = std::current_exception();
            }
            aEncoder_.abandonner();
            codees_.abandonner();
        }
    }

    void decoder()
    {
        ffmpeg::ChaineFiltres chaine(reglages_.filtres, reglages_.base, reglages_.aspect);
        // The source frames of the pictures still in the chain (a deinterlacer
        // and a rate change hold a few).
        std::deque<std::pair<int64_t, Trame>> recentes;
        const auto trameDe = [&](int64_t index) -> Trame {
            Trame t;
            for (const auto& [i, r] : recentes)
                if (i <= index)
                    t = r;
            return t;
        };
        for (;;) {
            ImagePtr image;
            int64_t temps = 0;
            Trame trame;
            const bool encore = lecteur_(image, temps, trame);
            if (encore) {
                if (trame) {
                    recentes.emplace_back(ffmpeg::IndexSource(*image), trame);
                    if (recentes.size() > 48)
                        recentes.pop_front();
                }
                chaine.pousser(std::move(image), temps);
            } else {
                chaine.pousser(nullptr, temps);
            }
            while (ImagePtr sortie = chaine.tirer()) {
                ImageAEncoder a;
                a.source = trameDe(ffmpeg::IndexSource(*sortie));
                // Every frame reaches the datecoder once and in order: its
                // scene changes and automatic inlay count frames.
                if (reglages_.datecoder && a.source)
                    a.texte = reglages_.datecoder->traiter(*a.source);
                a.image = std::move(sortie);
                if (!aEncoder_.pousser(std::move(a)))
                    return;
            }
            if (!encore)
                return;
        }
    }

    void encoder()
    {
        const int coeurs = int(std::max(2u, std::thread::hardware_concurrency()));
        ffmpeg::EncodeurDV encodeur(reglages_.pal, reglages_.large, coeurs);
        std::deque<Trame> enCours;
        QImage toile;
        std::vector<uint8_t> octets;
        const auto recevoir = [&] {
            while (encodeur.recevoir(octets)) {
                TrameCodee t{std::move(octets), enCours.front()};
                enCours.pop_front();
                if (!codees_.pousser(std::move(t)))
                    return false;
            }
            return true;
        };
        ImageAEncoder a;
        while (aEncoder_.prendre(a)) {
            if (!a.texte.isEmpty() && reglages_.superposer) {
                Superposer& s = *reglages_.superposer;
                const QRect zone = s.zoneTexte(ffmpeg::TailleImage(*a.image), a.texte);
                if (!zone.isEmpty())
                    ffmpeg::DessinerSur(a.image, toile, zone, [&](QImage& t) { s.traiter(t, a.texte); });
            }
            enCours.push_back(std::move(a.source));
            encodeur.envoyer(std::move(a.image));
            if (!recevoir())
                return;
        }
        encodeur.envoyer(nullptr);
        recevoir();
    }

    ReglagesMoteur reglages_;
    LecteurImages lecteur_;
    FileBornee<ImageAEncoder> aEncoder_{4};
    FileBornee<TrameCodee> codees_{6};
    std::thread fils_[2];
    std::mutex verrouEchec_;
    std::exception_ptr echec_;
};

// The engine's settings for a DV source re-encoded to the target system:
// the source's frame time, the target's standard, the source's 16:9 flag.
ReglagesMoteur reglagesDV(const FluxDV& video, const SystemeDV& cible, std::string filtres)
{
    ReglagesMoteur r;
    r.filtres = std::move(filtres);
    r.base = video.systeme->standard == kStandardPal ? ffmpeg::Rationnel{1, 25} : ffmpeg::Rationnel{1001, 30000};
    r.pal = cible.standard == kStandardPal;
    r.large = Est16x9(video.premiere.data(), video.premiere.size());
    return r;
}

// The first stream's DV frames decoded in order. A frame that does not
// decode (dropped, damaged) shows the last picture again, with its own
// packs, so that time and sound keep their places.
LecteurImages lecteurDV(std::shared_ptr<const AviDemuxer> avi, std::vector<AviFrame> images)
{
    struct Etat {
        Etat(std::shared_ptr<const AviDemuxer> a, std::vector<AviFrame> i)
            : avi(std::move(a)), lecteur(avi->source(), std::move(i))
        {
        }
        std::shared_ptr<const AviDemuxer> avi;
        LecteurMorceaux lecteur;
        ffmpeg::DecodeurDV decodeur{2};
        ImagePtr derniere;
        Trame derniereTrame;
        int64_t numero = 0;
    };
    auto e = std::make_shared<Etat>(std::move(avi), std::move(images));
    return [e](ImagePtr& image, int64_t& temps, Trame& trame) {
        while (!e->lecteur.fini()) {
            const std::span<uint8_t> octets = e->lecteur.lire();
            const int64_t i = e->numero++;
            Trame t = octets.empty() ? e->derniereTrame : std::make_shared<const std::vector<uint8_t>>(octets.begin(), octets.end());
            ImagePtr d = e->decodeur.decoder(octets, i);
            if (!d && e->derniere) {
                d = ffmpeg::Dupliquer(*e->derniere);
                ffmpeg::PoserIndexSource(*d, i);
            }
            if (!d)
                continue;
            e->derniere = ffmpeg::Dupliquer(*d);
            if (t)
                e->derniereTrame = t;
            image = std::move(d);
            temps = i;
            trame = t ? t : e->derniereTrame;
            return true;
        }
        temps = e->numero;
        return false;
    };
}

// Sound at 48 kHz taken by the output frame: blocks of the source at its
// own rate, resampled, handed out in the counts asked (silence after the end).
class Son48 {
public:
    using LireBloc = std::function<bool(std::vector<int16_t>& ajout)>;
    Son48(int frequence, LireBloc lire) : reechantillonneur_(frequence, kFrequenceSortie), lire_(std::move(lire)) {}

    void prendre(size_t paires, std::vector<int16_t>& sortie)
    {
        std::vector<int16_t> bloc;
        while (file_.size() / 2 < paires && !fin_) {
            bloc.clear();
            if (!lire_(bloc)) {
                fin_ = true;
                reechantillonneur_.convertir(nullptr, 0, file_);
                break;
            }
            reechantillonneur_.convertir(bloc.data(), bloc.size() / 2, file_);
        }
        sortie.assign(2 * paires, 0);
        const size_t n = std::min(2 * paires, file_.size());
        std::copy_n(file_.begin(), n, sortie.begin());
        file_.erase(file_.begin(), file_.begin() + ptrdiff_t(n));
    }

private:
    ffmpeg::Reechantillonneur reechantillonneur_;
    LireBloc lire_;
    std::vector<int16_t> file_;
    bool fin_ = false;
};

// The sound of a DV source: its second stream when it is PCM (type 2), else
// the first stereo pair of its frames, at the rate of the first frame that
// has sound. None when it has neither.
std::unique_ptr<Son48> sonDeSourceDV(const std::shared_ptr<const AviDemuxer>& avi, const FluxDV& video)
{
    if (avi->streams().size() > 1 && avi->streams()[0].header.fccType == FourCC("vids"))
        if (const auto format = SonPcm::formatAccepte(avi->streams()[1], true)) {
            auto pcm = std::make_shared<SonPcm>(*avi, 1, *format);
            return std::make_unique<Son48>(pcm->frequence(), [pcm](std::vector<int16_t>& ajout) {
                if (pcm->fini())
                    return false;
                pcm->prendre(1920, ajout);
                return true;
            });
        }
    SourceAudioDV premiere;
    if (!LireSourceAudioDV(video.premiere.data(), video.premiere.size(), premiere))
        return nullptr;
    const int frequence = premiere.frequence;
    struct Etat {
        Etat(const ByteSource& source, std::vector<AviFrame> images) : lecteur(source, std::move(images)) {}
        LecteurMorceaux lecteur;
        int64_t numero = 0;
    };
    auto e = std::make_shared<Etat>(avi->source(), video.images);
    const bool pal = video.systeme->standard == kStandardPal;
    return std::make_unique<Son48>(frequence, [e, avi, frequence, pal](std::vector<int16_t>& ajout) {
        if (e->lecteur.fini())
            return false;
        const std::span<uint8_t> t = e->lecteur.lire();
        SourceAudioDV s;
        if (!LireSourceAudioDV(t.data(), t.size(), s) || s.frequence != frequence || DecoderSonDV(t.data(), t.size(), ajout) == 0)
            ajout.assign(2 * size_t(EchantillonsNominauxDV(pal, frequence, e->numero)), 0);
        ++e->numero;
        return true;
    });
}

// The DV frames of a type 1 or type 2 output, with their sound.
class SortieDV {
public:
    SortieDV(SortieOctets& sortie, TypeSortieDV type, const SystemeDV& systeme, bool avecSon,
             std::vector<FluxEcrit> autres = {})
        : type_(type), systeme_(systeme)
    {
        const std::vector<uint8_t> vide(systeme.octetsImage(), 0xFF);
        std::vector<FluxEcrit> flux{type == TypeSortieDV::Type1 ? fluxType1(systeme, vide.data(), vide.size())
                                                                : fluxType2(systeme, vide.data(), vide.size())};
        pcm_ = type == TypeSortieDV::Type2 && avecSon;
        if (pcm_)
            flux.push_back(fluxPcm(kFrequenceSortie, "01wb"));
        for (FluxEcrit& f : autres)
            flux.push_back(std::move(f));
        avi_.emplace(sortie, std::move(flux), imageDe(systeme));
    }

    EcrivainAvi& avi() { return *avi_; }

    // One frame, with its sound written into it (and as a PCM chunk for type 2).
    void ecrire(std::vector<uint8_t>& trame, const std::vector<int16_t>* son)
    {
        if (son && !son->empty())
            EcrireSonDV(trame.data(), trame.size(), son->data(), son->size() / 2, kFrequenceSortie, true);
        if (premiere_) {
            // The stream format describes the frames as written.
            avi_->remplacerFormat(0, type_ == TypeSortieDV::Type1 ? fluxType1(systeme_, trame.data(), trame.size()).format
                                                                  : fluxType2(systeme_, trame.data(), trame.size()).format);
            premiere_ = false;
        }
        avi_->ecrire(0, trame.data(), uint32_t(trame.size()));
        if (pcm_) {
            const std::vector<int16_t> silence;
            const std::vector<int16_t>& s = son ? *son : silence;
            avi_->ecrire(1, reinterpret_cast<const uint8_t*>(s.data()), uint32_t(s.size() * 2));
        }
    }

    void terminer() { avi_->terminer(); }

private:
    TypeSortieDV type_;
    const SystemeDV& systeme_;
    bool pcm_ = false;
    bool premiere_ = true;
    std::optional<EcrivainAvi> avi_;
};

std::string chaineChangementStandard(const SystemeDV& cible, const QString& desentrelaceur)
{
    const bool pal = cible.standard == kStandardPal;
    // Fields to pictures, the other frame size, the other field rate, fields again.
    return desentrelaceur.toStdString() + "=mode=send_field:parity=bff,scale=720:" + std::to_string(cible.hauteur)
        + ":flags=bicubic,format=" + ffmpeg::EncodeurDV::formatPixels(pal) + ",fps=" + (pal ? "50" : "60000/1001")
        + ",interlace=scan=bff:lowpass=off";
}

std::string chaineRecadrage(const SystemeDV& cible)
{
    const bool pal = cible.standard == kStandardPal;
    return std::string("fps=") + (pal ? "25" : "30000/1001") + ",scale=720:" + std::to_string(cible.hauteur)
        + ":flags=bicubic,format=" + ffmpeg::EncodeurDV::formatPixels(pal);
}

// The run shared by the three conversions: the coded frames written in
// order, each through the caller's finishing step, until the end or a stop.
template <typename Finir>
void ecrireTrames(MoteurReencodage& moteur, SuiviConversion& suivi, const SystemeDV& cible, Finir&& finir)
{
    TrameCodee t;
    int64_t n = 0;
    while (!suivi.arretDemande() && moteur.suivante(t)) {
        finir(t, n);
        ++n;
        suivi.avancer(n * cible.tempsParImage);
    }
    moteur.arreter();
}

class TravailChangementStandard final : public TravailConversion {
public:
    TravailChangementStandard(std::shared_ptr<const AviDemuxer> avi, FluxDV video, bool versPal, TypeSortieDV type,
                              QString desentrelaceur, DVHeader* dvheader)
        : avi_(std::move(avi)), video_(std::move(video)), cible_(SystemeSelon625(versPal)), type_(type),
          desentrelaceur_(std::move(desentrelaceur)), dvheader_(dvheader)
    {
    }

    int64_t duree() const override { return video_.duree(); }

    void executer(SortieOctets& sortie, SuiviConversion& suivi) override
    {
        std::unique_ptr<Son48> son = sonDeSourceDV(avi_, video_);
        SortieDV dv(sortie, type_, cible_, son != nullptr);
        ReglagesMoteur r = reglagesDV(video_, cible_, chaineChangementStandard(cible_, desentrelaceur_));
        MoteurReencodage moteur(r, lecteurDV(avi_, video_.images));
        std::vector<int16_t> pcm;
        ecrireTrames(moteur, suivi, cible_, [&](TrameCodee& t, int64_t n) {
            if (son)
                son->prendre(size_t(EchantillonsNominauxDV(r.pal, kFrequenceSortie, n)), pcm);
            if (dvheader_)
                dvheader_->traiter(t.octets, t.source ? std::span<const uint8_t>(*t.source) : std::span<const uint8_t>());
            dv.ecrire(t.octets, son ? &pcm : nullptr);
        });
        dv.terminer();
    }

private:
    std::shared_ptr<const AviDemuxer> avi_;
    FluxDV video_;
    const SystemeDV& cible_;
    TypeSortieDV type_;
    QString desentrelaceur_;
    DVHeader* dvheader_;
};

class TravailIncrustation final : public TravailConversion {
public:
    TravailIncrustation(std::shared_ptr<const AviDemuxer> avi, FluxDV video, bool pal, TypeSortieDV type,
                        DVHeader& dvheader, Datecoder& datecoder, Superposer& superposer)
        : avi_(std::move(avi)), video_(std::move(video)), cible_(SystemeSelon625(pal)), type_(type),
          dvheader_(dvheader), datecoder_(datecoder), superposer_(superposer)
    {
    }

    int64_t duree() const override { return video_.duree(); }

    void executer(SortieOctets& sortie, SuiviConversion& suivi) override
    {
        const bool memeSysteme = video_.systeme == &cible_;
        // A type 2 output copies the source's sound stream as it is.
        const auto& sources = avi_->streams();
        const bool copieFlux = type_ == TypeSortieDV::Type2 && sources.size() > 1 && sources[1].header.fccType == FourCC("auds");
        std::vector<FluxEcrit> autres;
        if (copieFlux)
            autres.push_back({sources[1].header, sources[1].format, FourCC("01wb")});
        // Another standard than the source's (an entry that says so) needs the sound re-made.
        std::unique_ptr<Son48> son = memeSysteme || copieFlux ? nullptr : sonDeSourceDV(avi_, video_);
        SortieDV dv(sortie, type_, cible_, false, std::move(autres));
        std::optional<LecteurMorceaux> fluxSon;
        if (copieFlux)
            fluxSon.emplace(avi_->source(), avi_->frameIndex(1));

        ReglagesMoteur r = reglagesDV(video_, cible_, memeSysteme ? std::string() : chaineRecadrage(cible_));
        r.datecoder = &datecoder_;
        r.superposer = &superposer_;
        datecoder_.reinitialiser();
        MoteurReencodage moteur(r, lecteurDV(avi_, video_.images));
        std::vector<int16_t> pcm;
        const auto& images = video_.images;
        ecrireTrames(moteur, suivi, cible_, [&](TrameCodee& t, int64_t n) {
            const std::span<const uint8_t> source = t.source ? std::span<const uint8_t>(*t.source) : std::span<const uint8_t>();
            if (memeSysteme && type_ == TypeSortieDV::Type1 && !source.empty())
                CopierSonDV(t.octets.data(), t.octets.size(), source.data(), source.size());
            if (son) {
                son->prendre(size_t(EchantillonsNominauxDV(r.pal, kFrequenceSortie, n)), pcm);
                EcrireSonDV(t.octets.data(), t.octets.size(), pcm.data(), pcm.size() / 2, kFrequenceSortie, true);
            }
            dvheader_.traiter(t.octets, source);
            dv.ecrire(t.octets, nullptr);
            // The sound chunks the source holds before its next frame.
            if (fluxSon) {
                const bool dernier = size_t(n + 1) >= images.size();
                while (!fluxSon->fini()
                       && (dernier || fluxSon->morceau(fluxSon->suivant()).offset < images[size_t(n + 1)].offset)) {
                    const std::span<uint8_t> m = fluxSon->lire();
                    dv.avi().ecrire(1, m.data(), uint32_t(m.size()));
                }
            }
        });
        dv.terminer();
    }

private:
    std::shared_ptr<const AviDemuxer> avi_;
    FluxDV video_;
    const SystemeDV& cible_;
    TypeSortieDV type_;
    DVHeader& dvheader_;
    Datecoder& datecoder_;
    Superposer& superposer_;
};

class TravailRecompression final : public TravailConversion {
public:
    TravailRecompression(std::string chemin, std::shared_ptr<const AviDemuxer> avi, int64_t duree, bool pal,
                         DVHeader* dvheader)
        : chemin_(std::move(chemin)), avi_(std::move(avi)), duree_(duree), cible_(SystemeSelon625(pal)),
          dvheader_(dvheader)
    {
    }

    int64_t duree() const override { return duree_; }

    void executer(SortieOctets& sortie, SuiviConversion& suivi) override
    {
        auto video = std::make_shared<ffmpeg::VideoFichier>(chemin_);
        std::unique_ptr<ffmpeg::SonFichier> fichierSon = ffmpeg::SonFichier::ouvrir(chemin_, kFrequenceSortie);
        std::unique_ptr<Son48> son;
        if (fichierSon) {
            std::shared_ptr<ffmpeg::SonFichier> s(std::move(fichierSon));
            son = std::make_unique<Son48>(kFrequenceSortie, [s](std::vector<int16_t>& ajout) { return s->lire(ajout); });
        }
        SortieDV dv(sortie, TypeSortieDV::Type2, cible_, son != nullptr);
        dv.avi().sansIdx1();

        ReglagesMoteur r;
        r.filtres = chaineRecadrage(cible_);
        r.base = video->base();
        r.aspect = video->aspect();
        r.pal = cible_.standard == kStandardPal;
        r.large = RecompressionLarge(video->largeur(), video->hauteur());
        MoteurReencodage moteur(r, [video](ImagePtr& image, int64_t& temps, Trame&) {
            image = video->suivante(temps);
            return image != nullptr;
        });
        std::vector<int16_t> pcm;
        ecrireTrames(moteur, suivi, cible_, [&](TrameCodee& t, int64_t n) {
            if (son)
                son->prendre(size_t(EchantillonsNominauxDV(r.pal, kFrequenceSortie, n)), pcm);
            if (dvheader_)
                dvheader_->traiter(t.octets);
            dv.ecrire(t.octets, son ? &pcm : nullptr);
        });
        dv.terminer();
    }

private:
    std::string chemin_;
    std::shared_ptr<const AviDemuxer> avi_;
    int64_t duree_;
    const SystemeDV& cible_;
    DVHeader* dvheader_;
};

PreparationConversion refus(const QString& raison)
{
    return {nullptr, raison};
}

} // namespace

PreparationConversion PreparerChangementStandard(std::shared_ptr<const AviDemuxer> source, bool versPal,
                                                 TypeSortieDV type, const QString& desentrelaceur, DVHeader* dvheader)
{
    QString raison;
    std::optional<FluxDV> video = premierFluxDV(*source, raison);
    if (!video)
        return refus(raison);
    if (desentrelaceur.isEmpty())
        return refus(QStringLiteral("Aucun désentrelaceur n'est disponible"));
    return {std::make_unique<TravailChangementStandard>(source, std::move(*video), versPal, type, desentrelaceur, dvheader),
            {}};
}

PreparationConversion PreparerIncrustation(std::shared_ptr<const AviDemuxer> source, bool pal, TypeSortieDV type,
                                           DVHeader& dvheader, Datecoder& datecoder, Superposer& superposer)
{
    QString raison;
    std::optional<FluxDV> video = premierFluxDV(*source, raison);
    if (!video)
        return refus(raison);
    return {std::make_unique<TravailIncrustation>(source, std::move(*video), pal, type, dvheader, datecoder, superposer),
            {}};
}

PreparationConversion PreparerRecompression(const std::string& chemin, std::shared_ptr<const AviDemuxer> source,
                                            bool pal, DVHeader* dvheader)
{
    if (!source->isAvi())
        return refus(QStringLiteral("Le fichier n'est pas un fichier AVI lisible"));
    const AviStreamInfo* video = nullptr;
    for (const AviStreamInfo& s : source->streams())
        if (s.header.fccType == FourCC("vids")) {
            video = &s;
            break;
        }
    if (!video)
        return refus(QStringLiteral("Le fichier ne contient pas de vidéo"));
    // Opened once here so that a clip FFmpeg cannot decode is refused before the run.
    try {
        ffmpeg::VideoFichier essai(chemin);
    } catch (const ffmpeg::EchecMedia& e) {
        return refus(QString::fromUtf8(e.what()));
    }
    const int64_t images = int64_t(source->frameIndex(video->number).size());
    const int64_t duree = images * video->tempsParImage();
    return {std::make_unique<TravailRecompression>(chemin, source, duree > 0 ? duree : video->dureeHeader(), pal, dvheader),
            {}};
}

} // namespace korvan
