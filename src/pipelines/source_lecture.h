#pragma once
// What the player reads a clip through: its pictures one frame after the
// other from any frame, each with the bytes it was decoded from, and the
// sound of each frame's interval (16-bit interleaved samples). A source is
// used by one thread at a time; it holds the file open until destroyed.
#include <QImage>

#include <cstdint>
#include <memory>
#include <vector>

namespace korvan {

// Frame times of a stream running at rate / scale frames a second, in 100 ns.
// Frame n starts at the first whole unit of its interval, and a time belongs to
// the frame whose interval holds it, one unit of slack for the rounding of the
// steps of one frame (10,000,000 / fps rounded) that the panel takes.
struct BaseTemps {
    int64_t rate = 25;
    int64_t scale = 1;

    int64_t debutImage(int64_t n) const;
    int64_t imageAuTemps(int64_t temps) const;
};

struct FormatSon {
    int frequence = 0; // 0: no sound
    int canaux = 0;    // 1 or 2

    bool present() const { return frequence > 0 && canaux > 0; }
    int octetsParSeconde() const { return frequence * canaux * 2; }
};

struct ImageLue {
    int64_t numero = 0;
    QImage image;                // the decoded picture (RGB32); null when not asked for
    std::vector<uint8_t> octets; // as stored in the file (a whole DV frame for DV)
};

class SourceLecture {
public:
    virtual ~SourceLecture() = default;

    virtual bool aVideo() const = 0;
    virtual int64_t nombreImages() const = 0; // 0 without video
    virtual BaseTemps base() const = 0;
    virtual int64_t duree() const = 0;        // 100 ns
    virtual FormatSon formatSon() const = 0;

    // The next read gives frame n (with video) or the sound from time n in
    // 100 ns (sound only).
    virtual void positionner(int64_t n) = 0;
    // The next frame: its bytes, its picture when asked for, and when son is
    // given the sound of its interval appended. False at the end.
    virtual bool lireImage(ImageLue& image, bool avecImage, std::vector<int16_t>* son) = 0;
    // Sound only: the next block of sound, appended. False at the end.
    virtual bool lireSon(std::vector<int16_t>& son) = 0;
};

} // namespace korvan
