#pragma once
// Program-wide state read and written across subsystems: the abort flags set
// by Esc and Shift+Esc, the question switch of command-line runs, and the
// position of the running conversion or scene scan that the runner's
// progress timer follows. Flags read by worker threads are atomic.
#include <QString>
#include <atomic>
#include <cstdint>

namespace korvan {

// Something whose current position the progress timer can read: a running
// conversion graph, a scene scan. Positions are in the units of dureeConversion.
class ISuiviPosition {
public:
    virtual ~ISuiviPosition() = default;
    virtual int64_t positionCourante() const = 0;
};

inline std::atomic<bool> abandonDemande{false};   // Esc: stop the running loop or conversion
inline std::atomic<bool> abandonTout{false};      // Shift+Esc: stop the whole run
inline std::atomic<bool> sansConfirmation{false}; // commands ask no questions (command line)
inline std::atomic<bool> chargementEnCours{false};

inline std::atomic<bool> conversionTerminee{false};
inline std::atomic<ISuiviPosition*> progressionConversion{nullptr};
inline std::atomic<int64_t> dureeConversion{0};

// How many runs are under way (commands, conversions, their waits). Their
// waits hand events out and may let the event loop block, which must not
// count as the application going idle.
inline std::atomic<int> travauxEnCours{0};
class TravailEnCours {
public:
    TravailEnCours() { ++travauxEnCours; }
    ~TravailEnCours() { --travauxEnCours; }
    TravailEnCours(const TravailEnCours&) = delete;
    TravailEnCours& operator=(const TravailEnCours&) = delete;
};

// Frame rate of the entry on display (0 when none); also turns frame numbers into position texts.
inline std::atomic<double> fpsCourant{0.0};

} // namespace korvan
