#pragma once
// Clips of any other codec, and sound-only clips, read and decoded by FFmpeg
// (libavformat's AVI demuxer, libavcodec's decoders). Frames are numbered by
// their time in the video stream; a seek decodes from the keyframe before it.
#include "pipelines/source_lecture.h"

#include <QString>

#include <memory>

namespace korvan {

class SourceFFmpeg final : public SourceLecture {
public:
    enum class Issue { Ouverte, NonLue, SansFlux, SansDecodeur };

    // video: the first video stream with the first sound stream as its sound;
    // otherwise the first sound stream alone. Null unless issue is Ouverte
    // (for a sound-only clip, SansDecodeur still opens: it plays silent).
    // connu: the frame count (video) or the duration in 100 ns (sound) as the
    // program's demuxer reads the stream, trusted over FFmpeg's estimates; 0: FFmpeg's.
    static std::unique_ptr<SourceFFmpeg> ouvrir(const QString& chemin, bool video, int64_t connu, Issue& issue);
    ~SourceFFmpeg() override;

    bool aVideo() const override;
    int64_t nombreImages() const override;
    BaseTemps base() const override;
    int64_t duree() const override;
    FormatSon formatSon() const override;

    void positionner(int64_t n) override;
    bool lireImage(ImageLue& image, bool avecImage, std::vector<int16_t>* son) override;
    bool lireSon(std::vector<int16_t>& son) override;

private:
    struct Etat;
    explicit SourceFFmpeg(std::unique_ptr<Etat> etat);
    std::unique_ptr<Etat> etat_;
};

} // namespace korvan
