#include "pipelines/ffmpeg_glue.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <cstring>

namespace korvan::ffmpeg {

bool decodeurDisponible(const char* codec)
{
    return avcodec_find_decoder_by_name(codec) != nullptr;
}

bool encodeurDisponible(const char* codec)
{
    return avcodec_find_encoder_by_name(codec) != nullptr;
}

bool filtreDisponible(const char* filtre)
{
    return avfilter_get_by_name(filtre) != nullptr;
}

bool demuxeurDisponible(const char* format)
{
    return av_find_input_format(format) != nullptr;
}

bool muxeurDisponible(const char* format)
{
    // av_guess_format falls back to a near match; only the exact name counts.
    const AVOutputFormat* f = av_guess_format(format, nullptr, nullptr);
    return f && std::strcmp(f->name, format) == 0;
}

bool protocoleDisponible(const char* protocole, bool ecriture)
{
    void* curseur = nullptr;
    while (const char* nom = avio_enum_protocols(&curseur, ecriture ? 1 : 0))
        if (std::strcmp(nom, protocole) == 0)
            return true;
    return false;
}

bool conversionAudioDisponible()
{
    SwrContext* swr = swr_alloc();
    const bool ok = swr != nullptr && avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE) != nullptr;
    swr_free(&swr);
    return ok;
}

bool conversionImageDisponible()
{
    return sws_isSupportedInput(AV_PIX_FMT_YUV420P) && sws_isSupportedInput(AV_PIX_FMT_YUV411P)
        && sws_isSupportedOutput(AV_PIX_FMT_RGB32);
}

namespace {

QString texteErreur(int code)
{
    char texte[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, texte, sizeof texte);
    return QString::fromUtf8(texte);
}

} // namespace

struct DecodeurImagesDV::Etat {
    AVCodecContext* contexte = nullptr;
    AVPacket* paquet = nullptr;
    AVFrame* image = nullptr;
    SwsContext* conversion = nullptr;

    ~Etat()
    {
        sws_freeContext(conversion);
        av_frame_free(&image);
        av_packet_free(&paquet);
        avcodec_free_context(&contexte);
    }
};

DecodeurImagesDV::DecodeurImagesDV() : etat_(std::make_unique<Etat>())
{
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_DVVIDEO);
    if (!codec) {
        erreur_ = QStringLiteral("libavcodec n'a pas de décodeur DV");
        return;
    }
    etat_->contexte = avcodec_alloc_context3(codec);
    etat_->paquet = av_packet_alloc();
    etat_->image = av_frame_alloc();
    if (!etat_->contexte || !etat_->paquet || !etat_->image) {
        erreur_ = QStringLiteral("mémoire insuffisante");
        return;
    }
    // One frame in, its picture out at once: no frame threading delay.
    etat_->contexte->thread_count = 1;
    if (const int r = avcodec_open2(etat_->contexte, codec, nullptr); r < 0) {
        erreur_ = texteErreur(r);
        avcodec_free_context(&etat_->contexte);
    }
}

DecodeurImagesDV::~DecodeurImagesDV() = default;

bool DecodeurImagesDV::valide() const
{
    return etat_->contexte != nullptr && etat_->paquet != nullptr && etat_->image != nullptr;
}

QImage DecodeurImagesDV::decoder(std::span<const uint8_t> trame)
{
    if (!valide())
        return {};
    if (trame.empty()) {
        erreur_ = QStringLiteral("trame vide");
        return {};
    }
    Etat& e = *etat_;
    av_packet_unref(e.paquet);
    // The decoder reads a little past the end of its input: copy into a padded buffer.
    if (const int r = av_new_packet(e.paquet, int(trame.size())); r < 0) {
        erreur_ = texteErreur(r);
        return {};
    }
    std::memcpy(e.paquet->data, trame.data(), trame.size());
    int r = avcodec_send_packet(e.contexte, e.paquet);
    if (r >= 0)
        r = avcodec_receive_frame(e.contexte, e.image);
    if (r < 0) {
        erreur_ = texteErreur(r);
        avcodec_flush_buffers(e.contexte);
        return {};
    }
    const int l = e.image->width;
    const int h = e.image->height;
    e.conversion = sws_getCachedContext(e.conversion, l, h, AVPixelFormat(e.image->format), l, h, AV_PIX_FMT_RGB32,
                                        SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr,
                                        nullptr);
    QImage sortie(l, h, QImage::Format_RGB32);
    if (!e.conversion || sortie.isNull()) {
        erreur_ = QStringLiteral("conversion de l'image impossible");
        av_frame_unref(e.image);
        return {};
    }
    uint8_t* plans[4] = {sortie.bits(), nullptr, nullptr, nullptr};
    int pas[4] = {int(sortie.bytesPerLine()), 0, 0, 0};
    sws_scale(e.conversion, e.image->data, e.image->linesize, 0, h, plans, pas);
    av_frame_unref(e.image);
    erreur_.clear();
    return sortie;
}

} // namespace korvan::ffmpeg
