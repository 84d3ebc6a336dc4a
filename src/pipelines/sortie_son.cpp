#include "pipelines/sortie_son.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <deque>
#include <mutex>

namespace korvan {

int64_t horlogeSysteme100ns()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
               .count()
        / 100;
}

namespace {

// What the sink pulls from: the samples queued by the decoding thread.
class FileSon final : public QIODevice {
public:
    bool isSequential() const override { return true; }

    void ajouter(const std::vector<int16_t>& e)
    {
        std::lock_guard l(verrou_);
        const auto* o = reinterpret_cast<const char*>(e.data());
        octets_.insert(octets_.end(), o, o + e.size() * sizeof(int16_t));
    }
    void vider()
    {
        std::lock_guard l(verrou_);
        octets_.clear();
    }
    qint64 enFile() const
    {
        std::lock_guard l(verrou_);
        return qint64(octets_.size());
    }
    qint64 bytesAvailable() const override { return enFile() + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        std::lock_guard l(verrou_);
        const qint64 n = std::min<qint64>(max, qint64(octets_.size()));
        std::copy(octets_.begin(), octets_.begin() + n, data);
        octets_.erase(octets_.begin(), octets_.begin() + n);
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    mutable std::mutex verrou_;
    std::deque<char> octets_;
};

} // namespace

// Lives on the sound thread with the sink; the other threads reach it through
// queued calls and the values it publishes under its lock.
class SortieSon::Pilote : public QObject {
public:
    Pilote(const QAudioDevice& peripherique, const QAudioFormat& format) : peripherique_(peripherique), format_(format)
    {
        fil_.setObjectName(QStringLiteral("korvan-son"));
        moveToThread(&fil_);
        fil_.start();
        QMetaObject::invokeMethod(this, [this] { creer(); }, Qt::BlockingQueuedConnection);
    }
    ~Pilote() override
    {
        QMetaObject::invokeMethod(this, [this] { detruire(); }, Qt::BlockingQueuedConnection);
        fil_.quit();
        fil_.wait();
    }

    void demarrer(int64_t debut)
    {
        file_.vider();
        {
            std::lock_guard l(verrou_);
            debut_ = debut;
            actif_ = false;
            traiteUs_ = 0;
        }
        QMetaObject::invokeMethod(this, [this] {
            sink_->stop();
            file_.vider();
            sink_->start(&file_);
        }, Qt::BlockingQueuedConnection);
    }

    void arreter()
    {
        QMetaObject::invokeMethod(this, [this] { sink_->stop(); }, Qt::BlockingQueuedConnection);
        file_.vider();
        std::lock_guard l(verrou_);
        actif_ = false;
    }

    void volume(double v)
    {
        QMetaObject::invokeMethod(this, [this, v] { sink_->setVolume(v); }, Qt::QueuedConnection);
    }

    int64_t enAttente() const
    {
        const int64_t parSeconde = int64_t(format_.bytesForDuration(1000000));
        return parSeconde > 0 ? file_.enFile() * 10000000 / parSeconde : 0;
    }

    std::optional<int64_t> position() const
    {
        std::lock_guard l(verrou_);
        if (!actif_)
            return std::nullopt;
        // processedUSecs moves in steps; between two readings the sound runs on.
        const int64_t depuis = std::min<int64_t>(horlogeSysteme100ns() - lu_, 200000);
        return debut_ + traiteUs_ * 10 + depuis;
    }

    void ajouter(const std::vector<int16_t>& e) { file_.ajouter(e); }

private:
    void creer()
    {
        sink_ = new QAudioSink(peripherique_, format_, this);
        // Enough for the scheduler's hiccups, little enough for a quick start.
        sink_->setBufferSize(format_.bytesForDuration(100000));
        file_.open(QIODevice::ReadOnly);
        releve_ = new QTimer(this);
        releve_->setTimerType(Qt::PreciseTimer);
        QObject::connect(releve_, &QTimer::timeout, this, [this] { relever(); });
        releve_->start(10);
    }
    void detruire()
    {
        delete releve_;
        releve_ = nullptr;
        if (sink_)
            sink_->stop();
        delete sink_;
        sink_ = nullptr;
    }
    void relever()
    {
        const bool joue = sink_->state() == QAudio::ActiveState;
        const int64_t us = sink_->processedUSecs();
        std::lock_guard l(verrou_);
        actif_ = joue && us > 0;
        traiteUs_ = us;
        lu_ = horlogeSysteme100ns();
    }

    QThread fil_;
    QAudioDevice peripherique_;
    QAudioFormat format_;
    QAudioSink* sink_ = nullptr;
    QTimer* releve_ = nullptr;
    FileSon file_;

    mutable std::mutex verrou_;
    int64_t debut_ = 0;
    bool actif_ = false;
    int64_t traiteUs_ = 0;
    int64_t lu_ = 0;
};

SortieSon::SortieSon() = default;

SortieSon::~SortieSon() = default;

std::unique_ptr<SortieSon> SortieSon::creer(const FormatSon& format)
{
    if (!format.present())
        return nullptr;
    const QAudioDevice peripherique = QMediaDevices::defaultAudioOutput();
    if (peripherique.isNull())
        return nullptr;
    QAudioFormat f;
    f.setSampleRate(format.frequence);
    f.setChannelCount(format.canaux);
    f.setSampleFormat(QAudioFormat::Int16);
    if (!peripherique.isFormatSupported(f))
        return nullptr;
    std::unique_ptr<SortieSon> s(new SortieSon);
    s->pilote_ = std::make_unique<Pilote>(peripherique, f);
    return s;
}

void SortieSon::demarrer(int64_t debut) { pilote_->demarrer(debut); }
void SortieSon::arreter() { pilote_->arreter(); }
void SortieSon::ecrire(const std::vector<int16_t>& e) { pilote_->ajouter(e); }
int64_t SortieSon::enAttente() const { return pilote_->enAttente(); }
std::optional<int64_t> SortieSon::position() const { return pilote_->position(); }
void SortieSon::volume(double valeur) { pilote_->volume(valeur); }

} // namespace korvan
