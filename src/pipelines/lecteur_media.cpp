#include "pipelines/lecteur_media.h"

#include <QPointer>

#include <algorithm>
#include <chrono>

namespace korvan {

namespace {

// Pictures decoded ahead of the clock: enough to ride over a slow frame.
constexpr size_t kImagesEnAvance = 6;
// Sound queued ahead of the card: a sound-only clip is read this far ahead.
constexpr int64_t kSonEnAvance = 5000000;        // 0.5 s
constexpr int64_t kSonEnAvanceMaximum = 20000000; // 2 s, with pictures
// Beyond this the clock jumps to the card's position; below, it is pulled gently.
constexpr int64_t kEcartSaut = 400000;           // 40 ms
// A card that plays nothing for this long is not waited for.
constexpr int64_t kAttenteSon = 15000000;        // 1.5 s

} // namespace

void Horloge::demarrer(int64_t debut)
{
    enMarche_ = true;
    sonEntendu_ = false;
    ancre_ = dernier_ = debut;
    tAncre_ = tDepart_ = horlogeSysteme100ns();
}

void Horloge::arreter()
{
    ancre_ = dernier_ = maintenant();
    enMarche_ = false;
}

int64_t Horloge::systeme() const
{
    return enMarche_ ? ancre_ + (horlogeSysteme100ns() - tAncre_) : ancre_;
}

int64_t Horloge::maintenant()
{
    if (!enMarche_)
        return ancre_;
    const int64_t t = horlogeSysteme100ns();
    if (sortie_) {
        if (const auto son = sortie_->position()) {
            sonEntendu_ = true;
            // Ahead, the card is caught up at once; behind, the pictures slow
            // down to it rather than stall on a jittery reading.
            const int64_t ecart = *son - (ancre_ + (t - tAncre_));
            ancre_ += ecart > kEcartSaut ? ecart : ecart / 8;
        } else if (!sonEntendu_ && t - tDepart_ < kAttenteSon) {
            tAncre_ = t;
        }
    }
    // Never back: a picture shown stays shown.
    dernier_ = std::max(dernier_, ancre_ + (t - tAncre_));
    return dernier_;
}

LecteurMedia::LecteurMedia(std::unique_ptr<SourceLecture> source, std::unique_ptr<SortieSon> sortie,
                           QObject* parent)
    : QObject(parent),
      source_(std::move(source)),
      sortie_(std::move(sortie)),
      aVideo_(source_->aVideo()),
      nombre_(source_->nombreImages()),
      base_(source_->base()),
      duree_(source_->duree()),
      horloge_(sortie_.get())
{
    minuterie_.setSingleShot(true);
    minuterie_.setTimerType(Qt::PreciseTimer);
    connect(&minuterie_, &QTimer::timeout, this, [this] { servir(); });
    fil_ = std::thread([this] { decoder(); });
}

LecteurMedia::~LecteurMedia()
{
    {
        std::lock_guard l(verrou_);
        quitter_ = true;
    }
    condition_.notify_all();
    fil_.join();
    if (sortie_)
        sortie_->arreter();
    sortie_.reset();
    source_.reset();
}

void LecteurMedia::volume(double valeur)
{
    if (sortie_)
        sortie_->volume(valeur);
}

int64_t LecteurMedia::position()
{
    if (!aVideo_ && enLecture_)
        return std::clamp<int64_t>(horloge_.maintenant(), 0, duree_);
    return position_;
}

void LecteurMedia::demander(Mode mode, int64_t debut, bool sauterPremiere)
{
    {
        std::lock_guard l(verrou_);
        ++generation_;
        file_.clear();
        demande_ = {mode, debut, sauterPremiere, generation_, true};
    }
    condition_.notify_all();
    minuterie_.stop();
}

void LecteurMedia::afficher(int64_t n)
{
    n = aVideo_ ? std::clamp<int64_t>(n, 0, std::max<int64_t>(nombre_ - 1, 0)) : std::clamp<int64_t>(n, 0, duree_);
    position_ = n;
    termineEmis_ = false;
    if (enLecture_) {
        const int64_t t = aVideo_ ? base_.debutImage(n) : n;
        if (sortie_)
            sortie_->demarrer(t);
        horloge_.demarrer(t);
        demander(Mode::Lire, n, false);
        return;
    }
    if (aVideo_) {
        demander(Mode::Afficher, n, false);
    } else {
        demander(Mode::Aucun, n, false);
        pauseEnAttente_ = true;
        QMetaObject::invokeMethod(this, [this] { emettrePause(); }, Qt::QueuedConnection);
    }
}

void LecteurMedia::emettrePause()
{
    if (!pauseEnAttente_)
        return;
    pauseEnAttente_ = false;
    emit pauseAtteinte();
}

void LecteurMedia::lire()
{
    if (enLecture_)
        return;
    enLecture_ = true;
    termineEmis_ = false;
    pauseEnAttente_ = false;
    const int64_t debut = position_;
    const int64_t t = aVideo_ ? base_.debutImage(debut) : debut;
    if (sortie_)
        sortie_->demarrer(t);
    horloge_.demarrer(t);
    // The frame on screen stays for its time while its sound plays.
    demander(Mode::Lire, debut, aVideo_ && affichee_ == debut);
}

void LecteurMedia::pause()
{
    if (!enLecture_)
        return;
    if (!aVideo_)
        position_ = std::clamp<int64_t>(horloge_.maintenant(), 0, duree_);
    enLecture_ = false;
    horloge_.arreter();
    if (sortie_)
        sortie_->arreter();
    // A frame asked for while playing and not shown yet is shown now.
    if (aVideo_ && affichee_ != position_)
        demander(Mode::Afficher, position_, false);
    else
        demander(Mode::Aucun, position_, false);
}

bool LecteurMedia::peutProduire() const
{
    if (!aVideo_)
        return !sortie_ || sortie_->enAttente() < kSonEnAvance; // without a card the end is all there is to read
    return file_.size() < kImagesEnAvance && (!sortie_ || sortie_->enAttente() < kSonEnAvanceMaximum);
}

void LecteurMedia::decoder()
{
    std::unique_lock l(verrou_);
    uint64_t generation = 0;
    Mode mode = Mode::Aucun;
    bool sauter = false;
    bool finEnvoyee = false;
    for (;;) {
        // The sound queue drains without telling: look again now and then.
        condition_.wait_for(l, std::chrono::milliseconds(20), [&] {
            return quitter_ || demande_.nouvelle || (mode == Mode::Lire && !finEnvoyee && peutProduire());
        });
        if (quitter_)
            return;
        if (demande_.nouvelle) {
            const Demande d = demande_;
            demande_.nouvelle = false;
            generation = d.generation;
            mode = d.mode;
            sauter = d.sauterPremiere;
            finEnvoyee = false;
            if (mode == Mode::Aucun)
                continue;
            l.unlock();
            try {
                source_->positionner(d.debut);
            } catch (...) {
                // An unreadable file ends the reading below.
            }
            l.lock();
            if (demande_.nouvelle)
                continue;
            if (mode == Mode::Afficher) {
                Element e;
                e.generation = generation;
                e.immediat = true;
                l.unlock();
                bool lu = false;
                try {
                    lu = aVideo_ && source_->lireImage(e.image, true, nullptr);
                } catch (...) {
                }
                if (!lu)
                    e.image = {};
                l.lock();
                mode = Mode::Aucun;
                if (generation == demande_.generation && !demande_.nouvelle) {
                    file_.push_back(std::move(e));
                    condition_.notify_all();
                    notifier();
                }
                continue;
            }
        }
        if (mode != Mode::Lire || finEnvoyee || !peutProduire())
            continue;

        Element e;
        e.generation = generation;
        std::vector<int16_t> son;
        std::vector<int16_t>* versSon = sortie_ ? &son : nullptr;
        const bool avecImage = !sauter;
        l.unlock();
        bool lu = false;
        try {
            lu = aVideo_ ? source_->lireImage(e.image, avecImage, versSon) : (versSon && source_->lireSon(son));
        } catch (...) {
        }
        l.lock();
        if (generation != demande_.generation || demande_.nouvelle)
            continue;
        if (!son.empty())
            sortie_->ecrire(son);
        if (!lu) {
            e.fin = true;
            e.temps = duree_;
            finEnvoyee = true;
        } else if (aVideo_ && avecImage) {
            e.temps = base_.debutImage(e.image.numero);
        } else {
            sauter = false;
            continue;
        }
        sauter = false;
        file_.push_back(std::move(e));
        condition_.notify_all();
        notifier();
    }
}

void LecteurMedia::notifier()
{
    if (!notificationEnvoyee_.exchange(true))
        QMetaObject::invokeMethod(this, [this] { servir(); }, Qt::QueuedConnection);
}

void LecteurMedia::planifier(int64_t dans)
{
    const int64_t ms = std::max<int64_t>(0, (dans + 9999) / 10000);
    minuterie_.start(int(std::min<int64_t>(ms, 1000)));
}

void LecteurMedia::servir()
{
    notificationEnvoyee_ = false;
    // A receiver may end the player (a new build from a slot): stop then.
    const QPointer<LecteurMedia> vivant(this);
    for (;;) {
        std::unique_lock l(verrou_);
        while (!file_.empty() && file_.front().generation != generation_)
            file_.pop_front();
        if (file_.empty())
            return;
        Element& tete = file_.front();
        if (tete.immediat) {
            Element e = std::move(tete);
            file_.pop_front();
            condition_.notify_all();
            l.unlock();
            if (!e.image.octets.empty() || !e.image.image.isNull()) {
                affichee_ = e.image.numero;
                emit imagePrete(e.image);
                if (!vivant)
                    return;
            }
            emit pauseAtteinte();
            if (!vivant)
                return;
            continue;
        }
        if (!enLecture_)
            return;
        const int64_t maintenant = horloge_.maintenant();
        if (tete.fin) {
            if (maintenant < tete.temps) {
                l.unlock();
                planifier(tete.temps - maintenant);
                return;
            }
            file_.pop_front();
            l.unlock();
            if (!termineEmis_) {
                termineEmis_ = true;
                emit termine();
            }
            return;
        }
        if (tete.temps > maintenant) {
            const int64_t dans = tete.temps - maintenant;
            l.unlock();
            planifier(dans);
            return;
        }
        // Due: skipped when the next picture is due as well.
        if (file_.size() > 1 && !file_[1].fin && file_[1].generation == generation_ && file_[1].temps <= maintenant) {
            file_.pop_front();
            ++sautees_;
            condition_.notify_all();
            continue;
        }
        Element e = std::move(tete);
        file_.pop_front();
        condition_.notify_all();
        l.unlock();
        position_ = e.image.numero;
        affichee_ = e.image.numero;
        emit imagePrete(e.image);
        if (!vivant)
            return;
    }
}

bool LecteurMedia::attendreImage(int ms)
{
    if (!aVideo_) {
        emettrePause();
        return true;
    }
    {
        std::unique_lock l(verrou_);
        const bool pret = condition_.wait_for(l, std::chrono::milliseconds(ms), [&] {
            return std::any_of(file_.begin(), file_.end(),
                               [&](const Element& e) { return e.generation == generation_ && e.immediat; });
        });
        if (!pret)
            return false;
    }
    servir();
    return true;
}

} // namespace korvan
