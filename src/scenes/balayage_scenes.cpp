#include "scenes/balayage_scenes.h"

#include "analysis/avi_demuxer.h"
#include "analysis/chemins.h"
#include "scenes/lectures_groupees.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <limits>

namespace korvan {

namespace {

class SourceAvi : public SourceImagesDV {
public:
    explicit SourceAvi(std::string chemin) : chemin_(std::move(chemin)) {}

    bool ouvrir() override
    {
        try {
            fichier_ = std::make_shared<BinaryFile>(chemin_, BinaryFile::Mode::Read);
            // Only the packs of each frame are read, 144 KB apart: the
            // kernel's read-ahead would fetch the pictures between them.
            ::posix_fadvise(fichier_->descriptor(), 0, 0, POSIX_FADV_RANDOM);
            demuxer_ = std::make_unique<AviDemuxer>(fichier_);
            if (!demuxer_->isAvi() || demuxer_->streams().empty())
                return false;
            // The first stream, whatever it holds: for DV it is the video
            // (type 2) or the interleaved stream (type 1).
            images_ = demuxer_->frameIndex(0);
        } catch (const FileError&) {
            return false;
        }
        lectures_ = std::make_unique<LecturesGroupees>(fichier_->descriptor());
        return true;
    }

    int64_t nombreImages() const override { return int64_t(images_.size()); }

    size_t lirePacks(int64_t i, uint8_t* tampon) override
    {
        if (i < 0 || i >= nombreImages())
            return 0;
        Lot* lot = chercher(i);
        if (!lot) {
            // The next lot is already on its way: wait for it, and send the
            // one after it in place of the lot just finished.
            Lot& suivant = lots_[1 - courant_];
            if (suivant.enVol && i >= suivant.premier && i < suivant.premier + int64_t(suivant.demandes.size())) {
                attendre(suivant);
                courant_ = 1 - courant_;
                envoyer(lots_[1 - courant_], suivant.premier + int64_t(suivant.demandes.size()));
            } else {
                // A jump: both lots start again from i.
                attendre(lots_[0]);
                attendre(lots_[1]);
                envoyer(lots_[courant_], i);
                envoyer(lots_[1 - courant_], i + int64_t(lots_[courant_].demandes.size()));
                attendre(lots_[courant_]);
            }
            lot = &lots_[courant_];
        }
        const LecturesGroupees::Demande& d = lot->demandes[size_t(i - lot->premier)];
        if (d.resultat < 0)
            throw FileError("cannot read " + chemin_, int(-d.resultat));
        std::memcpy(tampon, d.tampon, size_t(d.resultat));
        return size_t(d.resultat);
    }

private:
    struct Lot {
        int64_t premier = 0;
        std::vector<LecturesGroupees::Demande> demandes;
        bool enVol = false;
        uint8_t tampons[LecturesGroupees::kProfondeur][kOctetsPacksDV];
    };

    // The lot already read that holds frame i.
    Lot* chercher(int64_t i)
    {
        Lot& l = lots_[courant_];
        if (!l.enVol && !l.demandes.empty() && i >= l.premier && i < l.premier + int64_t(l.demandes.size()))
            return &l;
        return nullptr;
    }

    // The frames from i on, read ahead of the scan.
    void envoyer(Lot& lot, int64_t i)
    {
        const size_t n = size_t(std::clamp<int64_t>(nombreImages() - i, 0, LecturesGroupees::kProfondeur));
        lot.premier = i;
        lot.demandes.assign(n, {});
        for (size_t k = 0; k < n; ++k) {
            const AviFrame& f = images_[size_t(i) + k];
            lot.demandes[k] = {f.offset, lot.tampons[k], std::min<uint32_t>(f.size, kOctetsPacksDV), 0};
        }
        lectures_->soumettre(lot.demandes);
        lot.enVol = true;
    }

    void attendre(Lot& lot)
    {
        if (!lot.enVol)
            return;
        lectures_->attendre(lot.demandes);
        lot.enVol = false;
    }

    std::string chemin_;
    std::shared_ptr<BinaryFile> fichier_;
    std::unique_ptr<AviDemuxer> demuxer_;
    std::vector<AviFrame> images_;
    std::unique_ptr<Lot[]> lotsPropres_ = std::make_unique<Lot[]>(2);
    Lot* lots_ = lotsPropres_.get();
    int courant_ = 0; // the lot being scanned; the other one is read meanwhile
    // Last, so that it goes first: it waits for the reads still going into the lots.
    std::unique_ptr<LecturesGroupees> lectures_;
};

} // namespace

std::unique_ptr<SourceImagesDV> SourceImagesAvi(const QString& chemin)
{
    return std::make_unique<SourceAvi>(CheminLocal(chemin));
}

IssueBalayage balayerImages(SourceImagesDV& source, DetecteurScenes& detecteur, SuiviBalayage& suivi,
                            int32_t& derniereImage)
{
    derniereImage = -1;
    if (!source.ouvrir())
        return IssueBalayage::Echec;
    // Frame numbers are 32-bit (scene records store them so): 2^31 frames are
    // over two years of video, far beyond any AVI file.
    const int64_t n = std::min<int64_t>(source.nombreImages(), std::numeric_limits<int32_t>::max());
    suivi.nombreImages(n);
    if (n <= 0)
        return IssueBalayage::Echec;
    uint8_t tampon[kOctetsPacksDV];
    for (int64_t i = 0; i < n; ++i) {
        if (suivi.arretDemande())
            return IssueBalayage::Abandon;
        const auto image = int32_t(i);
        size_t lus = 0;
        try {
            lus = source.lirePacks(i, tampon);
        } catch (const FileError&) {
            lus = 0; // an unreadable frame is lost alone
        }
        // Empty or foreign chunks (a dropped frame written as an empty chunk)
        // are not frames without a date: they are skipped, and the recording
        // around them goes on.
        if (EstTrameDV(tampon, lus)) {
            const auto r = detecteur.traiterImage(image, DecoderTimecode(tampon, lus), DecoderDatecode(tampon, lus));
            if (r.rupture)
                suivi.rupture(image);
            if (r.fermee)
                suivi.sceneFermee(*r.fermee);
        }
        derniereImage = image;
        suivi.imagesExaminees(i + 1);
    }
    return IssueBalayage::Complete;
}

class BalayageEnFond::Relais : public SuiviBalayage {
public:
    explicit Relais(BalayageEnFond& b) : b_(b) {}
    void nombreImages(int64_t n) override { b_.nombre_.store(n); }
    void imagesExaminees(int64_t n) override { b_.examinees_.store(n, std::memory_order_relaxed); }
    void rupture(int32_t image) override { b_.publier({Evenement::Genre::Rupture, image, {}}); }
    void sceneFermee(const SceneBrute& scene) override { b_.publier({Evenement::Genre::Scene, scene.fin, scene}); }
    bool arretDemande() override { return b_.arret_.load(std::memory_order_relaxed) || abandonDemande.load(); }

private:
    BalayageEnFond& b_;
};

BalayageEnFond::BalayageEnFond(std::unique_ptr<SourceImagesDV> source, DetecteurScenes detecteur)
    : source_(std::move(source)), detecteur_(std::move(detecteur))
{
}

BalayageEnFond::~BalayageEnFond()
{
    arreter();
}

void BalayageEnFond::demarrer()
{
    fil_ = std::thread([this] { executer(); });
}

void BalayageEnFond::executer()
{
    Relais relais(*this);
    IssueBalayage issue = IssueBalayage::Echec;
    int32_t derniere = -1;
    try {
        issue = balayerImages(*source_, detecteur_, relais, derniere);
    } catch (...) {
        // Nothing may leave the thread; a scan that broke down found no more scenes.
        issue = IssueBalayage::Echec;
    }
    {
        const std::lock_guard verrou(mutex_);
        issue_ = issue;
        derniereImage_ = derniere;
        fini_.store(true);
    }
    signal_.notify_all();
}

void BalayageEnFond::publier(Evenement e)
{
    const std::lock_guard verrou(mutex_);
    evenements_.push_back(std::move(e));
}

std::vector<BalayageEnFond::Evenement> BalayageEnFond::attendre(std::chrono::milliseconds delai)
{
    std::unique_lock verrou(mutex_);
    // Only the end wakes the waiting thread early: scenes and breaks can
    // wait for its next round, so a clip with many breaks costs no more
    // switches between the threads.
    signal_.wait_for(verrou, delai, [this] { return fini_.load(); });
    std::vector<Evenement> pris(std::make_move_iterator(evenements_.begin()), std::make_move_iterator(evenements_.end()));
    evenements_.clear();
    return pris;
}

void BalayageEnFond::arreter()
{
    arret_.store(true);
    if (fil_.joinable())
        fil_.join();
}

} // namespace korvan
