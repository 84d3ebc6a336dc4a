#pragma once
// The scan of a clip for scenes: the DV packs of every frame of its first
// stream, read at the speed of the frame index (a few hundred bytes per frame,
// never the picture), fed to the detector. balayerImages runs it in the
// calling thread; BalayageEnFond runs it on a thread of its own and hands the
// scenes and breaks back to the thread that waits.
#include "platform/etat_programme.h"
#include "scenes/detecteur_scenes.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace korvan {

// Where the frames of a scan come from.
class SourceImagesDV {
public:
    virtual ~SourceImagesDV() = default;
    // Finds the frames; false when the clip cannot be read or has no stream.
    virtual bool ouvrir() = 0;
    virtual int64_t nombreImages() const = 0;
    // The first bytes of frame i (at most kOctetsPacksDV) into tampon; the
    // count read, shorter for a short frame. Throws FileError on an I/O error.
    virtual size_t lirePacks(int64_t i, uint8_t* tampon) = 0;
};

// The frames of the first stream of an AVI file, from its frame index (the
// video stream of a type 2 file, the interleaved stream of a type 1 file).
std::unique_ptr<SourceImagesDV> SourceImagesAvi(const QString& chemin);

// What a scan reports as it goes.
class SuiviBalayage {
public:
    virtual ~SuiviBalayage() = default;
    virtual void nombreImages(int64_t n) {}
    virtual void imagesExaminees(int64_t n) {}
    virtual void rupture(int32_t image) {}
    virtual void sceneFermee(const SceneBrute& scene) {}
    // Polled before each frame.
    virtual bool arretDemande() { return false; }
};

enum class IssueBalayage {
    Complete, // every frame examined: the scene under way is the last one
    Abandon,  // stopped on request
    Echec,    // no frames: the clip could not be read or is empty
};

// Scans the frames in order. derniereImage gets the last frame examined (-1 for none).
IssueBalayage balayerImages(SourceImagesDV& source, DetecteurScenes& detecteur, SuiviBalayage& suivi,
                            int32_t& derniereImage);

// A scan on a worker thread. The waiting thread collects its events with
// attendre(); the position (frames examined) is read by the progress timer
// through ISuiviPosition. The destructor stops and joins the thread.
class BalayageEnFond : public ISuiviPosition {
public:
    struct Evenement {
        enum class Genre { Rupture, Scene };
        Genre genre = Genre::Rupture;
        int32_t image = 0; // Rupture: the first frame after the break
        SceneBrute scene;  // Scene: the scene closed by a break
    };

    BalayageEnFond(std::unique_ptr<SourceImagesDV> source, DetecteurScenes detecteur);
    ~BalayageEnFond() override;
    BalayageEnFond(const BalayageEnFond&) = delete;
    BalayageEnFond& operator=(const BalayageEnFond&) = delete;

    void demarrer();
    // Waits until the scan ends or the delay passes; returns the events so far, in order.
    std::vector<Evenement> attendre(std::chrono::milliseconds delai);
    // Asks the scan to stop and waits for the thread.
    void arreter();

    bool fini() const { return fini_.load(); }
    // Valid once fini() is true.
    IssueBalayage issue() const { return issue_; }
    int32_t derniereImage() const { return derniereImage_; }
    const DetecteurScenes& detecteur() const { return detecteur_; }

    int64_t positionCourante() const override { return examinees_.load(); }
    // -1 until the frame index is read.
    int64_t nombreImages() const { return nombre_.load(); }

private:
    class Relais;
    void executer();
    void publier(Evenement e);

    std::unique_ptr<SourceImagesDV> source_;
    DetecteurScenes detecteur_;
    std::thread fil_;
    std::mutex mutex_;
    std::condition_variable signal_;
    std::deque<Evenement> evenements_;
    std::atomic<bool> fini_{false};
    std::atomic<bool> arret_{false};
    std::atomic<int64_t> examinees_{0};
    std::atomic<int64_t> nombre_{-1};
    IssueBalayage issue_ = IssueBalayage::Echec;
    int32_t derniereImage_ = -1;
};

} // namespace korvan
