#pragma once
// Pictures and sound through the media libraries for the conversions that
// re-encode: DV frames and clips of any other codec decoded, libavfilter
// chains (deinterlace, scale, frame rate), text drawn on a picture, the DV
// encoder, sound resampled. No libav type crosses this header: a picture is
// an opaque handle. Nothing here is shared between threads; each stage of a
// conversion owns its objects. Failures throw EchecMedia with the
// libraries' reason.
#include <QImage>
#include <QRect>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvan::ffmpeg {

// A failure of the media libraries, in words for the user.
class EchecMedia : public std::runtime_error {
public:
    explicit EchecMedia(const QString& raison) : std::runtime_error(raison.toStdString()) {}
};

struct Image;
struct LibererImage {
    void operator()(Image* image) const noexcept;
};
// A decoded picture (a reference-counted libav frame).
using ImagePtr = std::unique_ptr<Image, LibererImage>;

struct Rationnel {
    int num = 0;
    int den = 1;
};

// The number of the source frame a picture was decoded from; it follows the
// picture through the filters (a duplicated picture keeps it). -1: unknown.
int64_t IndexSource(const Image& image);
void PoserIndexSource(Image& image, int64_t index);
QSize TailleImage(const Image& image);
// Another reference to the same picture (a frame shown again).
ImagePtr Dupliquer(const Image& image);

// Whole DV frames decoded into pictures in the decoder's own format.
class DecodeurDV {
public:
    explicit DecodeurDV(int fils);
    ~DecodeurDV();
    DecodeurDV(const DecodeurDV&) = delete;
    DecodeurDV& operator=(const DecodeurDV&) = delete;

    // Null when the bytes do not decode (a damaged or empty frame).
    ImagePtr decoder(std::span<const uint8_t> trame, int64_t index);

private:
    struct Etat;
    std::unique_ptr<Etat> e_;
};

// A libavfilter chain ("yadif=1,scale=720:480,fps=30000/1001"), set up from
// the first picture it receives. An empty description passes pictures on.
class ChaineFiltres {
public:
    // base: the time base of the pictures' times; aspect: their sample aspect.
    ChaineFiltres(std::string description, Rationnel base, Rationnel aspect);
    ~ChaineFiltres();
    ChaineFiltres(const ChaineFiltres&) = delete;
    ChaineFiltres& operator=(const ChaineFiltres&) = delete;

    // A picture at that time (in the base); null: the end of the stream, at that time.
    void pousser(ImagePtr image, int64_t temps);
    // The next filtered picture; null when the chain wants more input or is done.
    ImagePtr tirer();

private:
    struct Etat;
    std::unique_ptr<Etat> e_;
};

// The DV encoder at a standard's frame size, rate and pixel format. Frames
// come out in the order the pictures went in.
class EncodeurDV {
public:
    EncodeurDV(bool pal, bool large, int fils);
    ~EncodeurDV();
    EncodeurDV(const EncodeurDV&) = delete;
    EncodeurDV& operator=(const EncodeurDV&) = delete;

    // The pixel format pictures must have, for a filter chain's "format=".
    static const char* formatPixels(bool pal);
    // A picture (null: the end of the stream, the encoder then gives what it holds).
    void envoyer(ImagePtr image);
    // The next coded frame; false when none is ready.
    bool recevoir(std::vector<uint8_t>& trame);

private:
    struct Etat;
    std::unique_ptr<Etat> e_;
};

// Draws on a picture through an RGB copy of the rows that hold the drawing
// (the zone): toile is a full-size RGB32 canvas reused from picture to
// picture, of which only those rows are filled before dessiner and read back after.
// The picture is made writable first (a duplicate keeps its own pixels).
void DessinerSur(ImagePtr& image, QImage& toile, const QRect& zone, const std::function<void(QImage&)>& dessiner);

// 16-bit stereo sound from one rate to another (libswresample).
class Reechantillonneur {
public:
    Reechantillonneur(int frequenceEntree, int frequenceSortie);
    ~Reechantillonneur();
    Reechantillonneur(const Reechantillonneur&) = delete;
    Reechantillonneur& operator=(const Reechantillonneur&) = delete;

    // Appends the converted samples of paires stereo pairs to sortie;
    // pcm null with paires 0: what the resampler still holds (the end).
    void convertir(const int16_t* pcm, size_t paires, std::vector<int16_t>& sortie);

private:
    struct Etat;
    std::unique_ptr<Etat> e_;
};

// A clip of any codec libavformat and libavcodec read: its first video
// stream's pictures and its first sound stream as 16-bit stereo at a chosen
// rate. Pictures and sound are read by separate objects, so that two stages
// of a conversion each read their own.
class VideoFichier {
public:
    explicit VideoFichier(const std::string& chemin); // throws EchecMedia
    ~VideoFichier();
    VideoFichier(const VideoFichier&) = delete;
    VideoFichier& operator=(const VideoFichier&) = delete;

    int largeur() const;
    int hauteur() const;
    Rationnel base() const;   // of the pictures' times
    Rationnel aspect() const; // sample aspect, 0/1 when unknown
    // The next picture in display order and its time in the base; null at
    // the end, with the time the last picture ends.
    ImagePtr suivante(int64_t& temps);

private:
    struct Etat;
    std::unique_ptr<Etat> e_;
};

class SonFichier {
public:
    // Null when the clip has no sound stream FFmpeg decodes.
    static std::unique_ptr<SonFichier> ouvrir(const std::string& chemin, int frequence);
    ~SonFichier();
    // Appends at least some samples (stereo pairs, interleaved); false at the end.
    bool lire(std::vector<int16_t>& sortie);

private:
    struct Etat;
    explicit SonFichier(std::unique_ptr<Etat> e);
    std::unique_ptr<Etat> e_;
};

} // namespace korvan::ffmpeg
