#include "scenes/balayage_scenes.h"

#include "analysis/avi_demuxer.h"
#include "analysis/chemins.h"
#include "scenes/lectures_groupees.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <cstring>
#include <fcntl.h>
#include <limits>

namespace korvan {

namespace {

// The frames' packs are read in lots of kProfondeur frames, ahead of the
// scan. From the page cache a read costs its copy and the cache lookup, all
// in the thread that asks: on a machine with two cores a helper thread reads
// most lots with its own queue, so both cores read while the scan goes on.
// From a cold disk each thread keeps two lots in flight, its next one handed
// to the disk before it waits for the current one: the disk always has four
// lots to serve, never only the last reads of one.
class SourceAvi : public SourceImagesDV {
public:
    explicit SourceAvi(std::string chemin) : chemin_(std::move(chemin)) {}
    ~SourceAvi() override
    {
        arreterAide();
        attendreSoumis();
    }
    SourceAvi(const SourceAvi&) = delete;
    SourceAvi& operator=(const SourceAvi&) = delete;

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
            images_.emplace(demuxer_->frameCursor(0));
        } catch (const FileError&) {
            return false;
        }
        lectures_ = std::make_unique<LecturesGroupees>(fichier_->descriptor());
        return true;
    }

    int64_t nombreImages() const override { return images_ ? images_->size() : 0; }

    size_t lirePacks(int64_t i, uint8_t* tampon) override
    {
        if (i < 0 || i >= nombreImages())
            return 0;
        const Lot& lot = lotDe(i);
        const LecturesGroupees::Demande& d = lot.demandes[size_t(i - lot.premier)];
        if (d.resultat < 0)
            throw FileError("cannot read " + chemin_, int(-d.resultat));
        std::memcpy(tampon, d.tampon, size_t(d.resultat));
        return size_t(d.resultat);
    }

private:
    static constexpr int64_t kTailleLot = LecturesGroupees::kProfondeur;
    // The helper reads every other lot; this thread reads the others and
    // decodes every frame.
    bool aLAide(int64_t j) const { return aide_.joinable() && j % 2 != 0; }
    // Lots handed to the helper ahead of the one scanned (two of its own),
    // and the places they need with the one scanned, the one before it (a
    // step back) and this thread's next.
    static constexpr int64_t kAvance = 4;
    static constexpr int kLots = int(kAvance) + 3;

    struct Lot {
        int64_t numero = -1; // counted from debut_
        int64_t premier = 0;
        std::vector<LecturesGroupees::Demande> demandes;
        bool pret = false; // under mutex_ while the helper may hold it
        bool soumis = false; // one of this thread's, handed to the disk
        uint8_t tampons[kTailleLot][kOctetsPacksDV];
    };

    int64_t nombreLots() const { return (nombreImages() - debut_ + kTailleLot - 1) / kTailleLot; }
    Lot& place(int64_t j) { return lots_[size_t(j % kLots)]; }

    // The lot that holds frame i, read by now.
    const Lot& lotDe(int64_t i)
    {
        int64_t j = i >= debut_ ? (i - debut_) / kTailleLot : -1;
        // The lot scanned is read already: no lock for the frames that follow in it.
        if (j >= 0 && j == courant_)
            return place(j);
        // A step back into a lot still in its place.
        if (j >= 0 && j < courant_ && place(j).numero == j && estPret(place(j)))
            return place(j);
        if (j != courant_ + 1) {
            recommencer(i); // a jump: the lots start again from i
            j = 0;
        }
        Lot& lot = place(j);
        // The helper's next lots are on their way before this thread reads.
        if (demarrerAide())
            for (int64_t k = j; k <= j + kAvance; ++k)
                if (aLAide(k))
                    confier(k);
        if (aLAide(j)) {
            attendrePret(lot);
        } else {
            soumettre(j);
            // This thread's next lot goes to the disk before this one is waited for.
            soumettre(j + (aide_.joinable() ? 2 : 1));
            lectures_->attendre(lot.demandes);
            lot.pret = true;
        }
        courant_ = j;
        return lot;
    }

    // Hands lot j, one of this thread's, to the disk unless it is there already.
    void soumettre(int64_t j)
    {
        if (j >= nombreLots())
            return;
        Lot& lot = place(j);
        if (lot.numero == j && lot.soumis)
            return;
        preparer(lot, j);
        lectures_->soumettre(lot.demandes);
        lot.soumis = true;
    }

    // This thread's lots still with the disk are waited for before their places change hands.
    void attendreSoumis()
    {
        for (Lot& l : lotsPropres_)
            if (l.soumis && !l.pret) {
                lectures_->attendre(l.demandes);
                l.pret = true;
            }
    }

    void preparer(Lot& lot, int64_t j)
    {
        const int64_t premier = debut_ + j * kTailleLot;
        const size_t n = size_t(std::clamp<int64_t>(nombreImages() - premier, 0, kTailleLot));
        lot.numero = j;
        lot.premier = premier;
        lot.pret = false;
        lot.soumis = false;
        lot.demandes.assign(n, {});
        for (size_t k = 0; k < n; ++k) {
            const AviFrame f = images_->at(premier + int64_t(k));
            lot.demandes[k] = {f.offset, lot.tampons[k], std::min<uint32_t>(f.size, kOctetsPacksDV), 0};
        }
    }

    // Starts the helper for a clip of more than one lot on a machine of more than one core.
    bool demarrerAide()
    {
        if (aide_.joinable())
            return true;
        if (nombreLots() < 2 || std::thread::hardware_concurrency() < 2)
            return false;
        // Its own descriptor: two threads reading through one open file
        // share (and bounce between their cores) that file's counters.
        try {
            fichierAide_ = std::make_unique<BinaryFile>(chemin_, BinaryFile::Mode::Read);
        } catch (const FileError&) {
            return false;
        }
        ::posix_fadvise(fichierAide_->descriptor(), 0, 0, POSIX_FADV_RANDOM);
        lecturesAide_ = std::make_unique<LecturesGroupees>(fichierAide_->descriptor());
        aide_ = std::thread([this] { travaillerAide(); });
        return true;
    }

    void confier(int64_t j)
    {
        if (j >= nombreLots() || place(j).numero == j)
            return;
        {
            const std::lock_guard verrou(mutex_);
            preparer(place(j), j);
            aFaire_.push_back(&place(j));
        }
        signal_.notify_all();
    }

    void travaillerAide()
    {
        // Up to kLotsEnVol lots in flight: the next is with the disk while
        // the first one's last reads come back.
        std::deque<Lot*> enVol;
        std::unique_lock verrou(mutex_);
        for (;;) {
            signal_.wait(verrou, [&] { return arret_ || !aFaire_.empty() || !enVol.empty(); });
            if (arret_ && enVol.empty())
                return;
            while (!arret_ && !aFaire_.empty() && enVol.size() < LecturesGroupees::kLotsEnVol) {
                Lot* lot = aFaire_.front();
                aFaire_.pop_front();
                occupe_ = true;
                enVol.push_back(lot);
                verrou.unlock();
                lecturesAide_->soumettre(lot->demandes);
                verrou.lock();
            }
            Lot* lot = enVol.front();
            enVol.pop_front();
            verrou.unlock();
            lecturesAide_->attendre(lot->demandes);
            verrou.lock();
            lot->pret = true;
            occupe_ = !enVol.empty();
            signal_.notify_all();
        }
    }

    bool estPret(const Lot& lot)
    {
        const std::lock_guard verrou(mutex_);
        return lot.pret;
    }

    void attendrePret(const Lot& lot)
    {
        std::unique_lock verrou(mutex_);
        signal_.wait(verrou, [&] { return lot.pret; });
    }

    void recommencer(int64_t i)
    {
        attendreSoumis();
        std::unique_lock verrou(mutex_);
        aFaire_.clear();
        signal_.wait(verrou, [this] { return !occupe_; });
        for (Lot& l : lotsPropres_)
            l.numero = -1;
        debut_ = i;
        courant_ = -1;
    }

    void arreterAide()
    {
        if (!aide_.joinable())
            return;
        {
            const std::lock_guard verrou(mutex_);
            arret_ = true;
        }
        signal_.notify_all();
        aide_.join();
    }

    std::string chemin_;
    std::shared_ptr<BinaryFile> fichier_;
    std::unique_ptr<AviDemuxer> demuxer_;
    // Read a window at a time: the scan's memory does not grow with the clip.
    std::optional<AviFrameCursor> images_;
    std::unique_ptr<LecturesGroupees> lectures_;
    std::unique_ptr<BinaryFile> fichierAide_;
    std::unique_ptr<LecturesGroupees> lecturesAide_;
    std::vector<Lot> lotsPropres_ = std::vector<Lot>(kLots);
    Lot* lots_ = lotsPropres_.data();
    int64_t debut_ = 0;    // the frame the lots are counted from
    int64_t courant_ = -1; // the lot scanned last
    std::mutex mutex_;
    std::condition_variable signal_;
    std::deque<Lot*> aFaire_; // lots the helper is to read, in order
    bool occupe_ = false;     // the helper is reading one
    bool arret_ = false;
    // Joined by the destructor, before the lots it reads into go.
    std::thread aide_;
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
