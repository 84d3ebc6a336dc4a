#pragma once
// DV clips read through the program's AVI demuxer: every DV frame is a
// keyframe, so any frame is read and decoded on its own, straight from the
// frame index (no decoding from the start on a seek). The sound comes from
// the file's PCM stream (DV type 2) or from the DV frames themselves (type 1).
#include "analysis/avi_demuxer.h"
#include "pipelines/ffmpeg_glue.h"
#include "pipelines/source_lecture.h"

#include <memory>

namespace korvan {

class SourceDV final : public SourceLecture {
public:
    // fluxVideo: the DV video or interleaved stream. fluxSon: a PCM stream, or
    // -1 to take the sound of the DV frames when sonDesImages, none otherwise.
    SourceDV(std::shared_ptr<const AviDemuxer> avi, int fluxVideo, int fluxSon, bool sonDesImages);

    bool aVideo() const override { return true; }
    int64_t nombreImages() const override { return int64_t(images_.size()); }
    BaseTemps base() const override { return base_; }
    int64_t duree() const override { return base_.debutImage(nombreImages()); }
    FormatSon formatSon() const override { return son_; }

    void positionner(int64_t n) override;
    bool lireImage(ImageLue& image, bool avecImage, std::vector<int16_t>* son) override;
    bool lireSon(std::vector<int16_t>&) override { return false; }

private:
    void lireSonPcm(int64_t n, std::vector<int16_t>& son) const;

    std::shared_ptr<const AviDemuxer> avi_;
    std::vector<AviFrame> images_;
    BaseTemps base_;
    FormatSon son_;
    bool sonDesImages_ = false;
    // PCM stream: its chunks and the bytes before each.
    std::vector<AviFrame> morceauxSon_;
    std::vector<int64_t> avantMorceau_;
    int octetsParBloc_ = 0;
    int64_t suivante_ = 0;
    ffmpeg::DecodeurImagesDV decodeur_;
    QImage derniere_; // shown again for a frame that does not decode (a dropped frame)
};

} // namespace korvan
