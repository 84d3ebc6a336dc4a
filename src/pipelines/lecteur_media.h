#pragma once
// The player: decodes a source on a thread of its own into a bounded queue of
// pictures and hands each picture on at its time, on the thread that owns the
// player. The clock is the sound card's while the sound plays, the system's
// otherwise (no sound, no output device, or the sound ended first); late
// pictures are skipped, never the sound.
#include "pipelines/sortie_son.h"
#include "pipelines/source_lecture.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace korvan {

// The running time of a play, in 100 ns: the system clock, pulled toward the
// sound card's position while the card reports one. With a card, the clock
// waits at its start until the first sound is heard (the card's latency), so
// that the pictures keep with the sound from the first one.
class Horloge {
public:
    explicit Horloge(const SortieSon* sortie = nullptr) : sortie_(sortie) {}
    void demarrer(int64_t debut);
    void arreter();
    int64_t maintenant();

private:
    int64_t systeme() const;
    const SortieSon* sortie_;
    bool enMarche_ = false;
    bool sonEntendu_ = false; // the card has reported a position since the start
    int64_t tDepart_ = 0;
    int64_t ancre_ = 0;       // clock value at tAncre_
    int64_t tAncre_ = 0;      // steady clock, 100 ns
    int64_t dernier_ = 0;     // the last value given
};

class LecteurMedia : public QObject {
    Q_OBJECT
public:
    // sortie may be null: no sound is decoded then.
    LecteurMedia(std::unique_ptr<SourceLecture> source, std::unique_ptr<SortieSon> sortie,
                 QObject* parent = nullptr);
    ~LecteurMedia() override;

    bool aVideo() const { return aVideo_; }
    int64_t nombreImages() const { return nombre_; }
    BaseTemps base() const { return base_; }
    int64_t duree() const { return duree_; }
    bool aSortieSon() const { return sortie_ != nullptr; }

    // Paused: shows frame n (with video) or sets the time n. Playing: goes on
    // from there. Clamped to the clip.
    void afficher(int64_t n);
    void lire();
    void pause();
    bool enLecture() const { return enLecture_; }
    // The frame on screen or asked for (with video); the time heard (sound only).
    int64_t position();
    // The frame last handed on, -1 before the first.
    int64_t imageAffichee() const { return affichee_; }
    void volume(double valeur);
    // Waits at most ms for what afficher asked for while paused, and hands it on now.
    bool attendreImage(int ms);
    // Pictures skipped because they came too late, since the player was made.
    int imagesSautees() const { return sautees_; }

signals:
    // At the picture's time (at once for a picture asked for while paused).
    void imagePrete(const korvan::ImageLue& image);
    // What afficher asked for while paused has been handed on.
    void pauseAtteinte();
    // The end of the clip was reached while playing.
    void termine();

private:
    enum class Mode { Aucun, Afficher, Lire };
    struct Demande {
        Mode mode = Mode::Aucun;
        int64_t debut = 0;
        bool sauterPremiere = false; // the first frame is already on screen: its sound only
        uint64_t generation = 0;
        bool nouvelle = false;
    };
    struct Element {
        uint64_t generation = 0;
        bool fin = false;
        bool immediat = false; // asked for while paused
        int64_t temps = 0;     // when it is due, 100 ns
        ImageLue image;
    };

    void decoder();
    bool peutProduire() const;
    void demander(Mode mode, int64_t debut, bool sauterPremiere);
    void notifier();
    void servir();
    void planifier(int64_t dans100ns);
    void emettrePause();

    std::unique_ptr<SourceLecture> source_;
    std::unique_ptr<SortieSon> sortie_;
    const bool aVideo_;
    const int64_t nombre_;
    const BaseTemps base_;
    const int64_t duree_;

    std::mutex verrou_;
    std::condition_variable condition_;
    Demande demande_;
    std::deque<Element> file_;
    bool quitter_ = false;
    std::atomic<bool> notificationEnvoyee_{false};

    uint64_t generation_ = 0;
    bool enLecture_ = false;
    int64_t position_ = 0;
    int64_t affichee_ = -1;
    bool termineEmis_ = false;
    bool pauseEnAttente_ = false;
    int sautees_ = 0;
    Horloge horloge_;
    QTimer minuterie_;
    std::thread fil_;
};

} // namespace korvan
