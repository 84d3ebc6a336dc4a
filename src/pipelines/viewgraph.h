#pragma once
// The preview module: shows the current entry in the info panel's video
// window, paused on its first frame, plays it with its sound, positions it by
// frame and by time, and keeps the time code and recording date of the last
// 20 frames handed to the picture (the frame ring) for the panel to show the
// codes of the frame on screen. DV files get the datecode drawn over the
// picture by the preview's superposer and datecoder.
//
// Every member is called on the user-interface thread; decoding runs on the
// module's own thread. The ring is written at each frame handed on and read
// whole (each slot is published as one unit).
#include "analysis/aviFichier.h"
#include "analysis/dvcodes.h"
#include "pipelines/interfaces_incrustation.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace korvan {

struct ImageLue;
class SourceLecture;

// Where the preview's pictures go (the panel's video window).
class IRenduVideo {
public:
    virtual ~IRenduVideo() = default;
    // A picture to show now, overlay already drawn; called on the UI thread.
    virtual void afficherImage(const QImage& image) = 0;
    // Nothing to show any more (graph stopped and emptied).
    virtual void effacerImage() = 0;
};

enum class EtatApercu { Arrete, EnPause, EnLecture };

// One slot of the frame ring, read as one unit.
struct SlotAnneau {
    TDatecodeDV datecode;
    TTimecodeDV timecode;
};
// Frames for a file with video, 100-nanosecond units (media time) otherwise.
enum class FormatTempsApercu { Images, TempsMedia };

class Tviewdm : public QObject {
    Q_OBJECT
public:
    static constexpr int kTailleAnneau = 20;

    explicit Tviewdm(QObject* parent = nullptr);
    ~Tviewdm() override;

    // The graph is active from start-up until the main window closes.
    bool actif() const;
    // Stop, empty and deactivate: no file held, no thread left (window close).
    void desactiver();

    // Builds the right graph for the entry and shows frame 0 paused; false
    // on failure, with etapeApercu() the reason (see the panel's AfficherCode).
    bool OuvrirApercu(const TAfficherFichier& entree, IRenduVideo* rendu);
    bool GrapheDVIncrust(const QString& chemin, IRenduVideo* rendu);
    bool GrapheDVSimple(const QString& chemin, IRenduVideo* rendu);
    bool GrapheAutreCodec(const QString& chemin, IRenduVideo* rendu);
    bool GrapheAudioSeul(const QString& chemin);
    int etapeApercu() const;

    EtatApercu etat() const;
    void Lire();        // run
    void PauseApercu(); // pause unless paused; the play caption becomes "Play"
    // Stop and disconnect: the file is let go, the picture cleared.
    void Arreter();

    FormatTempsApercu formatTemps() const;
    // Frames are refused for a sound-only graph (false, format unchanged).
    bool definirFormatTemps(FormatTempsApercu format);
    // In the current time format; false when they cannot be read.
    bool duree(int64_t& valeur) const;
    bool position(int64_t& valeur) const;
    // Absolute position in the current time format, frame-accurate; the
    // picture there is shown when paused.
    bool positionner(int64_t valeur);
    void DeplacerDe(int64_t delta100ns);
    void AllerA(int64_t image);

    // 0 (silence) or 10000 (full).
    void volume(int valeur);

    // A command has the file: the graph stops and lets the file go (no
    // descriptor left open) until ReprendreApercu.
    void SuspendreApercu();
    void ReprendreApercu();
    bool apercuSuspendu() const;
    // When not playing, draws the still picture again with the overlay's new settings.
    void RafraichirApercu();

    // The frame ring.
    void sgBuffer(std::span<const uint8_t> octets);
    void definirCaptureActive(bool active);
    bool captureActive() const;
    // The panel's "waiting" mark for the slot about to be written (annee -2).
    void marquerAttenteDatecode();
    // The panel's "nothing known" mark for the time code slot about to be written.
    void effacerTimecodeCourant();
    int posAnneau() const;
    int retardAnneau() const;
    int nbEchantillons() const;
    int SlotAffiche() const;
    static int SlotAffiche(int posAnneau, int retardAnneau);
    TDatecodeDV datecodeSlot(int slot) const;
    TTimecodeDV timecodeSlot(int slot) const;
    // Both codes of a slot, written by the same frame.
    SlotAnneau slotAnneau(int slot) const;

    // The number of the frame on screen, -1 when none (a sound-only graph).
    int64_t imageAffichee() const;
    // Frames skipped for lateness while playing, since the last build.
    int imagesSautees() const;

    // The preview's overlay components (present while a graph with the
    // overlay chain is built); nullptr otherwise.
    ISuperposerParam3* superposer();
    IDatecoderConfig* datecoder();

    // Set by the panel: the reason display (AfficherCode), the sound-only
    // display (track bar and position label in front, timer started), the
    // track bar placing (0..1000) after AllerA, the play command's caption.
    std::function<void(int raison)> afficherCode;
    std::function<void()> modeSonSeul;
    std::function<void(int valeur)> placerCurseur;
    std::function<void(const QString& legende)> legendeLecture;

signals:
    // The end of the clip was reached while playing (queued to the UI thread).
    void termine();
    // The first pause after a build (the ring delay is then known).
    void enPause();
    // A frame was handed to the picture (after sgBuffer and the overlay).
    void imagePresentee(qint64 numero);

private:
    struct Etat;
    bool commencerConstruction(const QString& chemin);
    bool construireDV(const QString& chemin, IRenduVideo* rendu, bool incrustation);
    bool construireAutreCodec(const QString& chemin, IRenduVideo* rendu);
    bool construireAudioSeul(const QString& chemin);
    template <typename Construire>
    bool construire(Construire construction);
    void installer(std::unique_ptr<SourceLecture> source);
    void presenter(const ImageLue& image);
    std::unique_ptr<Etat> etat_;
};

// The overlay settings a preview build with the overlay gives its datecoder
// and superposer once the chain is connected, in their order.
void ReglerIncrustationApercu(ISuperposerParam3& superposer, IDatecoderConfig& datecoder);

} // namespace korvan
