#pragma once
// The media libraries (FFmpeg) as the rest of the pipelines see them: what
// this machine's build of them offers, and DV frames decoded into pictures.
// No libav type crosses this header.
#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>
#include <span>

namespace korvan::ffmpeg {

// Each is false when the installed libraries were built without the part.
bool decodeurDisponible(const char* codec);   // libavcodec decoder, e.g. "dvvideo"
bool encodeurDisponible(const char* codec);   // libavcodec encoder
bool filtreDisponible(const char* filtre);    // libavfilter filter, e.g. "yadif"
bool demuxeurDisponible(const char* format);  // libavformat demuxer, e.g. "avi", "dv"
bool muxeurDisponible(const char* format);    // libavformat muxer, e.g. "avi", "dv", "wav"
bool protocoleDisponible(const char* protocole, bool ecriture); // e.g. "file"
bool conversionAudioDisponible();             // libswresample can convert to 16-bit PCM
bool conversionImageDisponible();             // libswscale can turn DV pictures into RGB

// Decodes whole DV frames (the bytes of one frame, as an AVI chunk holds
// them) into pictures of the frame's stored size (720x576 or 720x480),
// format QImage::Format_RGB32. Not shared between threads.
class DecodeurImagesDV {
public:
    DecodeurImagesDV();
    ~DecodeurImagesDV();
    DecodeurImagesDV(const DecodeurImagesDV&) = delete;
    DecodeurImagesDV& operator=(const DecodeurImagesDV&) = delete;

    // False when libavcodec has no DV decoder; decoder() then gives null images.
    bool valide() const;
    // A null image when the bytes do not decode; erreur() then says why.
    QImage decoder(std::span<const uint8_t> trame);
    QString erreur() const { return erreur_; }

private:
    struct Etat;
    std::unique_ptr<Etat> etat_;
    QString erreur_;
};

} // namespace korvan::ffmpeg
