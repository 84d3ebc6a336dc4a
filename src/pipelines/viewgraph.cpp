#include "pipelines/viewgraph.h"

#include "analysis/avi_demuxer.h"
#include "analysis/codec_dv.h"
#include "analysis/file_io.h"
#include "pipelines/datecoder.h"
#include "pipelines/lecteur_media.h"
#include "pipelines/presence_filtres.h"
#include "pipelines/source_dv.h"
#include "pipelines/source_ffmpeg.h"
#include "pipelines/superposer.h"
#include "platform/preferences.h"

#include <cmath>
#include <mutex>

namespace korvan {

namespace {

// How long a build waits for its first picture, as a pause that does not
// take effect in time (a file on a sleeping disk) must not freeze the window.
constexpr int kAttentePremiereImage = 3000; // ms

const QString kNonDisponible = QStringLiteral("N/A");

// What the DV path finds in the file: the video (or interleaved) stream and the sound.
struct FluxDV {
    int video = -1;
    bool entrelace = false; // DV type 1
    int son = -1;           // a separate sound stream
};

FluxDV chercherFluxDV(const AviDemuxer& avi)
{
    FluxDV f;
    const auto& flux = avi.streams();
    for (size_t i = 0; i < flux.size(); ++i) {
        const FourCC type = flux[i].header.fccType;
        if (f.video < 0 && (type == FourCC("vids") || type == FourCC("iavs"))) {
            f.video = int(i);
            f.entrelace = type == FourCC("iavs");
        } else if (f.son < 0 && type == FourCC("auds")) {
            f.son = int(i);
        }
    }
    return f;
}

// The DV decoder takes DV frames under the system DV code only: a DV type 2
// stream whose handler says otherwise is refused (the codec command writes
// "dvsd" to mend it). The DV splitter gives type 1 video that code itself.
bool decodeurDVAccepte(const AviDemuxer& avi, const FluxDV& f)
{
    const AviStreamInfo& s = avi.streams()[size_t(f.video)];
    if (!f.entrelace && !EstCodecDVSysteme(s.header.fccHandler))
        return false;
    const auto premiere = avi.firstFrame(s.number);
    if (!premiere)
        return true; // an empty stream connects; it just shows nothing
    uint8_t entete[kOctetsPacksDV];
    const size_t n = avi.source().readAt(premiere->offset, entete, std::min<size_t>(premiere->size, sizeof entete));
    return EstTrameDV(entete, n);
}

} // namespace

void ReglerIncrustationApercu(ISuperposerParam3& superposer, IDatecoderConfig& datecoder)
{
    datecoder.SetBurnIn(false);
    datecoder.SetAutoInlay(prefAutoIncrust);
    datecoder.SetAutoDuration(prefDureeIncrust);
    datecoder.SetHourOffset(prefDecalageHoraire);
    datecoder.SetFormat(prefFormatAfficher);
    superposer.SetText(QStringLiteral("%D"));
    superposer.SetAutoFontSize(prefAutoFontSize);
    EnvoyerPolice(superposer, prefIncrustFont);
    superposer.SetAutoSizeDivisor(20);
    superposer.SetVisible(prefIncrustOn);
    superposer.SetPosition(prefIncrustX, prefIncrustY, 0);
}

struct Tviewdm::Etat {
    bool actif = true;
    int etape = 0;
    bool suspendu = false;
    EtatApercu etat = EtatApercu::Arrete;
    FormatTempsApercu format = FormatTempsApercu::Images;
    int volume = 10000;
    IRenduVideo* rendu = nullptr;
    std::unique_ptr<LecteurMedia> lecteur;
    std::shared_ptr<const AviDemuxer> avi; // the file as the build opened it
    bool incrustation = false;
    bool attentePause = false; // the paused event is hooked
    ImageLue derniere;         // the picture on screen as decoded, and its bytes

    Superposer superposer;
    Datecoder datecoder;

    mutable std::mutex verrouAnneau;
    std::array<SlotAnneau, kTailleAnneau> anneau{};
    int posAnneau = 0;
    int nbEchantillons = 0;
    int retardAnneau = 0;
    bool captureActive = false;

    bool aVideo() const { return lecteur && lecteur->aVideo(); }
};

Tviewdm::Tviewdm(QObject* parent) : QObject(parent), etat_(std::make_unique<Etat>()) {}

Tviewdm::~Tviewdm()
{
    etat_->lecteur.reset();
}

bool Tviewdm::actif() const { return etat_->actif; }

void Tviewdm::desactiver()
{
    Arreter();
    etat_->actif = false;
}

int Tviewdm::etapeApercu() const { return etat_->etape; }

EtatApercu Tviewdm::etat() const { return etat_->etat; }

bool Tviewdm::apercuSuspendu() const { return etat_->suspendu; }

// What every build does first: nothing known in the ring, the previous file
// let go, the new one loaded (stage 1) and split as AVI (stage 2).
bool Tviewdm::commencerConstruction(const QString& chemin)
{
    Etat& e = *etat_;
    {
        std::lock_guard l(e.verrouAnneau);
        e.nbEchantillons = 0;
        e.anneau[size_t(e.posAnneau)].datecode.annee = -1;
        e.anneau[size_t(e.posAnneau)].timecode.heures = 0xFF;
    }
    e.lecteur.reset();
    e.avi.reset();
    e.etat = EtatApercu::Arrete;
    e.incrustation = false;
    e.attentePause = false;
    e.derniere = {};
    e.etape = 1;
    std::shared_ptr<AviDemuxer> avi;
    try {
        avi = std::make_shared<AviDemuxer>(std::make_shared<BinaryFile>(chemin.toStdString(), BinaryFile::Mode::Read));
    } catch (const std::exception&) {
        return false;
    }
    e.etape = 2;
    if (!avi->isAvi() || avi->streams().empty())
        return false;
    e.avi = std::move(avi);
    return true;
}

// The player of a build, its pictures and events wired to the module.
void Tviewdm::installer(std::unique_ptr<SourceLecture> source)
{
    Etat& e = *etat_;
    auto sortie = SortieSon::creer(source->formatSon());
    e.lecteur = std::make_unique<LecteurMedia>(std::move(source), std::move(sortie));
    e.lecteur->volume(e.volume > 0 ? 1.0 : 0.0);
    connect(e.lecteur.get(), &LecteurMedia::imagePrete, this, [this](const ImageLue& i) { presenter(i); });
    connect(e.lecteur.get(), &LecteurMedia::pauseAtteinte, this, [this] {
        // viewfgGraphPaused: the first pause after a build fixes the ring's delay.
        if (!etat_->attentePause)
            return;
        etat_->attentePause = false;
        {
            std::lock_guard l(etat_->verrouAnneau);
            etat_->retardAnneau = etat_->nbEchantillons;
        }
        emit enPause();
    });
    connect(e.lecteur.get(), &LecteurMedia::termine, this, &Tviewdm::termine);
}

bool Tviewdm::construireDV(const QString& chemin, IRenduVideo* rendu, bool incrustation)
{
    Etat& e = *etat_;
    if (!commencerConstruction(chemin))
        return false;
    if (incrustation)
        e.superposer.SetAutoSizeDivisor(20);
    const FluxDV flux = chercherFluxDV(*e.avi);
    e.etape = 3;
    if (flux.video < 0 || !decodeurDVAccepte(*e.avi, flux))
        return false;
    e.etape = 4;
    if (!rendu)
        return false;
    e.rendu = rendu;
    installer(std::make_unique<SourceDV>(e.avi, flux.video, flux.son, flux.entrelace));
    if (incrustation) {
        ReglerIncrustationApercu(e.superposer, e.datecoder);
        e.datecoder.reinitialiser();
        e.incrustation = true;
    }
    return true;
}

// Any error raised during a build (a read error half-way) ends it with false,
// at the stage it reached, the file let go.
template <typename Construire>
bool Tviewdm::construire(Construire construction)
{
    try {
        if (construction())
            return true;
    } catch (const std::exception&) {
    }
    etat_->lecteur.reset();
    etat_->avi.reset();
    etat_->incrustation = false;
    return false;
}

bool Tviewdm::GrapheDVIncrust(const QString& chemin, IRenduVideo* rendu)
{
    return construire([&] { return construireDV(chemin, rendu, true); });
}

bool Tviewdm::GrapheDVSimple(const QString& chemin, IRenduVideo* rendu)
{
    return construire([&] { return construireDV(chemin, rendu, false); });
}

bool Tviewdm::GrapheAutreCodec(const QString& chemin, IRenduVideo* rendu)
{
    return construire([&] { return construireAutreCodec(chemin, rendu); });
}

bool Tviewdm::GrapheAudioSeul(const QString& chemin)
{
    return construire([&] { return construireAudioSeul(chemin); });
}

bool Tviewdm::construireAutreCodec(const QString& chemin, IRenduVideo* rendu)
{
    Etat& e = *etat_;
    if (!commencerConstruction(chemin))
        return false;
    // FFmpeg reads the file itself; the frame index says how many frames it holds.
    int64_t images = 0;
    for (const AviStreamInfo& s : e.avi->streams())
        if (s.header.fccType == FourCC("vids")) {
            images = int64_t(e.avi->frameIndex(s.number).size());
            break;
        }
    e.avi.reset();
    SourceFFmpeg::Issue issue;
    auto source = SourceFFmpeg::ouvrir(chemin, true, images, issue);
    if (issue == SourceFFmpeg::Issue::NonLue)
        return false; // stays 2: not read as AVI
    e.etape = 3;
    if (issue == SourceFFmpeg::Issue::SansFlux)
        return false;
    e.etape = 4;
    if (!source || !rendu)
        return false;
    e.rendu = rendu;
    installer(std::move(source));
    return true;
}

bool Tviewdm::construireAudioSeul(const QString& chemin)
{
    Etat& e = *etat_;
    if (!commencerConstruction(chemin))
        return false;
    int64_t duree = 0;
    for (const AviStreamInfo& s : e.avi->streams())
        if (s.header.fccType == FourCC("auds")) {
            duree = s.dureeHeader();
            break;
        }
    e.avi.reset();
    SourceFFmpeg::Issue issue;
    auto source = SourceFFmpeg::ouvrir(chemin, false, duree, issue);
    // The sound renderer's link is not checked: a clip whose sound cannot be
    // played still has its positions.
    if (!source)
        return false;
    installer(std::move(source));
    e.format = FormatTempsApercu::TempsMedia;
    return true;
}

bool Tviewdm::OuvrirApercu(const TAfficherFichier& entree, IRenduVideo* rendu)
{
    Etat& e = *etat_;
    if (!e.actif)
        return false;
    definirCaptureActive(false);
    // The video window belongs to the module whatever the graph: a sound-only
    // build stops and clears it like the others.
    e.rendu = rendu;
    bool ok = false;
    if (entree.texteTaille != kNonDisponible) {
        if (entree.estDV)
            ok = drapeauxFiltres().okIncrustation() ? GrapheDVIncrust(entree.chemin, rendu)
                                                    : GrapheDVSimple(entree.chemin, rendu);
        else
            ok = GrapheAutreCodec(entree.chemin, rendu);
    } else if (entree.texteAudio != kNonDisponible) {
        e.etape = 0;
        if (afficherCode)
            afficherCode(0);
        ok = GrapheAudioSeul(entree.chemin);
        if (modeSonSeul)
            modeSonSeul();
        definirFormatTemps(FormatTempsApercu::TempsMedia);
    } else {
        e.etape = 2;
    }
    // A sound-only graph has no frame format: it stays in media time.
    definirFormatTemps(FormatTempsApercu::Images);
    if (ok) {
        definirCaptureActive(true);
        if (e.lecteur)
            e.lecteur->afficher(0);
        volume(prefMute ? 0 : 10000);
        e.attentePause = true;
        PauseApercu();
        if (e.lecteur)
            e.lecteur->attendreImage(kAttentePremiereImage);
        return true;
    }
    if (e.suspendu)
        e.etape = 5;
    if (afficherCode)
        afficherCode(e.etape);
    return false;
}

void Tviewdm::presenter(const ImageLue& image)
{
    Etat& e = *etat_;
    sgBuffer(image.octets);
    e.derniere = image;
    QImage affichee = image.image;
    if (e.incrustation && !affichee.isNull())
        e.superposer.traiter(affichee, e.datecoder.traiter(image.octets));
    if (e.rendu && !affichee.isNull())
        e.rendu->afficherImage(affichee);
    emit imagePresentee(image.numero);
}

void Tviewdm::Lire()
{
    Etat& e = *etat_;
    if (!e.lecteur)
        return;
    e.lecteur->lire();
    e.etat = EtatApercu::EnLecture;
}

void Tviewdm::PauseApercu()
{
    Etat& e = *etat_;
    if (e.etat == EtatApercu::EnPause)
        return;
    if (e.lecteur) {
        e.lecteur->pause();
        e.etat = EtatApercu::EnPause;
    }
    if (legendeLecture)
        legendeLecture(QStringLiteral("Play"));
}

void Tviewdm::Arreter()
{
    Etat& e = *etat_;
    e.lecteur.reset();
    e.avi.reset();
    e.etat = EtatApercu::Arrete;
    e.derniere = {};
    if (e.rendu)
        e.rendu->effacerImage();
}

FormatTempsApercu Tviewdm::formatTemps() const { return etat_->format; }

bool Tviewdm::definirFormatTemps(FormatTempsApercu format)
{
    Etat& e = *etat_;
    if (format == FormatTempsApercu::Images && !e.aVideo())
        return false;
    e.format = format;
    return true;
}

bool Tviewdm::duree(int64_t& valeur) const
{
    const Etat& e = *etat_;
    if (!e.lecteur)
        return false;
    if (!e.lecteur->aVideo())
        valeur = e.lecteur->duree();
    else if (e.format == FormatTempsApercu::Images)
        valeur = e.lecteur->nombreImages();
    else
        valeur = e.lecteur->base().debutImage(e.lecteur->nombreImages());
    return true;
}

bool Tviewdm::position(int64_t& valeur) const
{
    const Etat& e = *etat_;
    if (!e.lecteur)
        return false;
    const int64_t p = e.lecteur->position();
    valeur = (e.lecteur->aVideo() && e.format == FormatTempsApercu::TempsMedia) ? e.lecteur->base().debutImage(p) : p;
    return true;
}

bool Tviewdm::positionner(int64_t valeur)
{
    Etat& e = *etat_;
    if (!e.lecteur)
        return false;
    if (e.lecteur->aVideo() && e.format == FormatTempsApercu::TempsMedia)
        valeur = e.lecteur->base().imageAuTemps(valeur);
    e.lecteur->afficher(valeur);
    return true;
}

void Tviewdm::DeplacerDe(int64_t delta)
{
    if (!etat_->lecteur)
        return;
    definirFormatTemps(FormatTempsApercu::TempsMedia);
    int64_t courante = 0;
    int64_t total = 0;
    if (position(courante) && duree(total)) {
        int64_t cible = courante + delta;
        cible = std::max<int64_t>(std::min(cible, total), 0);
        positionner(cible);
    }
    definirFormatTemps(FormatTempsApercu::Images);
}

void Tviewdm::AllerA(int64_t image)
{
    definirFormatTemps(FormatTempsApercu::Images);
    if (!positionner(image))
        return;
    int64_t total = 0;
    int64_t courante = 0;
    if (duree(total) && position(courante) && total > 0 && placerCurseur)
        placerCurseur(int(std::llround(1000.0 * double(courante) / double(total))));
}

void Tviewdm::volume(int valeur)
{
    Etat& e = *etat_;
    e.volume = valeur;
    if (e.lecteur)
        e.lecteur->volume(valeur > 0 ? 1.0 : 0.0);
}

void Tviewdm::SuspendreApercu()
{
    Etat& e = *etat_;
    e.suspendu = true;
    e.lecteur.reset();
    e.avi.reset();
    e.etat = EtatApercu::Arrete;
}

void Tviewdm::ReprendreApercu()
{
    etat_->suspendu = false;
}

void Tviewdm::RafraichirApercu()
{
    Etat& e = *etat_;
    if (e.etat == EtatApercu::EnLecture || !e.lecteur || e.derniere.image.isNull())
        return;
    QImage affichee = e.derniere.image;
    if (e.incrustation)
        e.superposer.traiter(affichee, e.datecoder.traiter(e.derniere.octets));
    if (e.rendu)
        e.rendu->afficherImage(affichee);
}

void Tviewdm::sgBuffer(std::span<const uint8_t> octets)
{
    Etat& e = *etat_;
    const SlotAnneau slot{DecoderDatecode(octets.data(), octets.size()), DecoderTimecode(octets.data(), octets.size())};
    std::lock_guard l(e.verrouAnneau);
    if (!e.captureActive)
        return;
    ++e.nbEchantillons;
    e.anneau[size_t(e.posAnneau)] = slot;
    e.posAnneau = (e.posAnneau + 1) % kTailleAnneau;
}

void Tviewdm::definirCaptureActive(bool active)
{
    std::lock_guard l(etat_->verrouAnneau);
    etat_->captureActive = active;
}

bool Tviewdm::captureActive() const
{
    std::lock_guard l(etat_->verrouAnneau);
    return etat_->captureActive;
}

void Tviewdm::marquerAttenteDatecode()
{
    std::lock_guard l(etat_->verrouAnneau);
    etat_->anneau[size_t(etat_->posAnneau)].datecode.annee = -2;
}

void Tviewdm::effacerTimecodeCourant()
{
    std::lock_guard l(etat_->verrouAnneau);
    etat_->anneau[size_t(etat_->posAnneau)].timecode.heures = 0xFF;
}

int Tviewdm::posAnneau() const
{
    std::lock_guard l(etat_->verrouAnneau);
    return etat_->posAnneau;
}

int Tviewdm::retardAnneau() const
{
    std::lock_guard l(etat_->verrouAnneau);
    return etat_->retardAnneau;
}

int Tviewdm::nbEchantillons() const
{
    std::lock_guard l(etat_->verrouAnneau);
    return etat_->nbEchantillons;
}

int Tviewdm::SlotAffiche(int pos, int retard)
{
    return ((pos - retard) % kTailleAnneau + kTailleAnneau) % kTailleAnneau;
}

int Tviewdm::SlotAffiche() const
{
    std::lock_guard l(etat_->verrouAnneau);
    return SlotAffiche(etat_->posAnneau, etat_->retardAnneau);
}

SlotAnneau Tviewdm::slotAnneau(int slot) const
{
    std::lock_guard l(etat_->verrouAnneau);
    return etat_->anneau[size_t(SlotAffiche(slot, 0))];
}

TDatecodeDV Tviewdm::datecodeSlot(int slot) const { return slotAnneau(slot).datecode; }

TTimecodeDV Tviewdm::timecodeSlot(int slot) const { return slotAnneau(slot).timecode; }

int64_t Tviewdm::imageAffichee() const
{
    const Etat& e = *etat_;
    return e.aVideo() ? e.lecteur->imageAffichee() : -1;
}

int Tviewdm::imagesSautees() const
{
    return etat_->lecteur ? etat_->lecteur->imagesSautees() : 0;
}

ISuperposerParam3* Tviewdm::superposer()
{
    return etat_->incrustation ? &etat_->superposer : nullptr;
}

IDatecoderConfig* Tviewdm::datecoder()
{
    return etat_->incrustation ? &etat_->datecoder : nullptr;
}

} // namespace korvan
