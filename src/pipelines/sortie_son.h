#pragma once
// The sound card, and the player's clock while sound plays: 16-bit samples
// queued by the decoding thread are played by a QAudioSink that lives on a
// thread of its own, so that a busy user-interface thread never starves it.
#include "pipelines/source_lecture.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace korvan {

// The steady system clock in 100 ns units, which the player's clocks read.
int64_t horlogeSysteme100ns();

class SortieSon {
public:
    // Null when the machine has no sound output or it refuses the format.
    static std::unique_ptr<SortieSon> creer(const FormatSon& format);
    ~SortieSon();
    SortieSon(const SortieSon&) = delete;
    SortieSon& operator=(const SortieSon&) = delete;

    // A new run: the queue is emptied and the clock starts at debut (100 ns)
    // with the first sample queued after it.
    void demarrer(int64_t debut);
    // Silence at once; the queue is emptied.
    void arreter();
    // Any thread.
    void ecrire(const std::vector<int16_t>& echantillons);
    // Sound queued and not yet taken by the device, in 100 ns.
    int64_t enAttente() const;
    // Time of the sound heard now, while the device plays; none otherwise.
    std::optional<int64_t> position() const;
    // 0 silence .. 1 full (linear).
    void volume(double valeur);

    class Pilote;
private:
    SortieSon();
    std::unique_ptr<Pilote> pilote_;
};

} // namespace korvan
