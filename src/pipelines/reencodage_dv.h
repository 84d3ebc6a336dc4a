#pragma once
// The conversions that re-encode the picture: a clip taken to the other TV
// standard (deinterlaced to fields, scaled, brought to the other field rate
// and interlaced again, at the same speed), the datecode burnt into the
// picture, and any AVI the media libraries decode recompressed to DV type 2.
// Decoding and filtering, drawing and encoding, and writing run on three
// threads with small queues between them, so that the encoder (the costly
// part, which takes every core) never waits for the rest and memory does not
// grow with the clip. Every output frame goes through the DV header writer
// with the source frame shown at the same time, and gets its share of the
// sound at 48 kHz (type 1: in the frames; type 2: also as a PCM stream).
#include "pipelines/conversions_dv.h"
#include "pipelines/datecoder.h"
#include "pipelines/dvheader.h"
#include "pipelines/superposer.h"

#include <QString>

#include <memory>
#include <string>

namespace korvan {

enum class TypeSortieDV { Type1, Type2 };

// The first stream's DV frames to the other standard: versPal gives PAL,
// otherwise NTSC. desentrelaceur: the libavfilter filter of the deinterlacer
// role ("yadif" or "bwdif"); dvheader: none when the DV header writer is
// missing (the frames then have no recording clock). The sound comes from the second stream when it
// is PCM, else from the frames.
PreparationConversion PreparerChangementStandard(std::shared_ptr<const AviDemuxer> source, bool versPal,
                                                 TypeSortieDV type, const QString& desentrelaceur, DVHeader* dvheader);

// The datecode drawn by the superposer with the datecoder's text over every
// frame, re-encoded at the given standard (the source's own, normally). A
// type 1 output keeps the frames' sound blocks as they are; a type 2 output
// copies the second stream as it is.
PreparationConversion PreparerIncrustation(std::shared_ptr<const AviDemuxer> source, bool pal, TypeSortieDV type,
                                           DVHeader& dvheader, Datecoder& datecoder, Superposer& superposer);

// The first video stream of any clip FFmpeg decodes, scaled to fill the DV
// frame (no bars: a picture neither 4:3 nor 16:9 is stretched, and flagged
// 16:9 when it is wider than 14:9), at the standard's frame rate; its first
// sound stream at 48 kHz stereo. DV type 2 with the OpenDML indexes only.
PreparationConversion PreparerRecompression(const std::string& chemin, std::shared_ptr<const AviDemuxer> source,
                                            bool pal, DVHeader* dvheader);

// The 16:9 flag of a recompressed picture of that stored size.
constexpr bool RecompressionLarge(int largeur, int hauteur)
{
    return int64_t(largeur) * 9 > int64_t(hauteur) * 14;
}

} // namespace korvan
