#include "pipelines/source_ffmpeg.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <deque>

namespace korvan {

namespace {

constexpr AVRational kBase100ns{1, 10000000};

AVCodecContext* ouvrirDecodeur(const AVStream* flux)
{
    const AVCodec* codec = avcodec_find_decoder(flux->codecpar->codec_id);
    if (!codec)
        return nullptr;
    AVCodecContext* c = avcodec_alloc_context3(codec);
    if (!c)
        return nullptr;
    // Slices only: frame threading would hold pictures back behind a seek.
    c->thread_count = 0;
    c->thread_type = FF_THREAD_SLICE;
    if (avcodec_parameters_to_context(c, flux->codecpar) < 0 || avcodec_open2(c, codec, nullptr) < 0)
        avcodec_free_context(&c);
    return c;
}

} // namespace

struct SourceFFmpeg::Etat {
    AVFormatContext* format = nullptr;
    int fluxVideo = -1;
    int fluxSon = -1;
    AVCodecContext* video = nullptr;
    AVCodecContext* son = nullptr;
    SwsContext* conversion = nullptr;
    SwrContext* reechantillonnage = nullptr;
    AVPacket* paquet = nullptr;
    AVFrame* image = nullptr;
    AVFrame* trame = nullptr;

    BaseTemps base;
    int64_t debutVideo = 0; // pts of frame 0
    int64_t nombre = 0;
    int64_t duree = 0;
    FormatSon formatSon;

    int64_t cible = 0;                       // next frame wanted
    int64_t cibleSon = INT64_MIN;            // 100 ns: sound before it is dropped
    bool finFichier = false;
    bool videoVidee = false;
    bool sonVide = false;
    std::deque<std::pair<int64_t, std::vector<uint8_t>>> paquetsRecents; // pts, bytes
    std::vector<int16_t> sonEnAttente;

    ~Etat()
    {
        swr_free(&reechantillonnage);
        sws_freeContext(conversion);
        av_frame_free(&trame);
        av_frame_free(&image);
        av_packet_free(&paquet);
        avcodec_free_context(&son);
        avcodec_free_context(&video);
        avformat_close_input(&format);
    }

    const AVStream* flux(int i) const { return format->streams[i]; }

    int64_t numero(int64_t pts) const
    {
        const AVStream* s = flux(fluxVideo);
        return av_rescale_q_rnd(pts - debutVideo, s->time_base, AVRational{int(base.scale), int(base.rate)},
                                AVRounding(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
    }

    bool ouvrirSon(int i)
    {
        son = ouvrirDecodeur(flux(i));
        if (!son)
            return false;
        fluxSon = i;
        const int canaux = std::min(son->ch_layout.nb_channels, 2);
        AVChannelLayout sortie;
        av_channel_layout_default(&sortie, canaux);
        if (canaux <= 0 || son->sample_rate <= 0
            || swr_alloc_set_opts2(&reechantillonnage, &sortie, AV_SAMPLE_FMT_S16, son->sample_rate, &son->ch_layout,
                                   son->sample_fmt, son->sample_rate, 0, nullptr) < 0
            || swr_init(reechantillonnage) < 0) {
            avcodec_free_context(&son);
            fluxSon = -1;
            return false;
        }
        formatSon = {son->sample_rate, canaux};
        return true;
    }

    // Decodes a sound packet (or drains the decoder with none) into sonEnAttente.
    void decoderSon(const AVPacket* p)
    {
        if (!son || avcodec_send_packet(son, p) < 0)
            return;
        while (avcodec_receive_frame(son, trame) == 0) {
            const int max = swr_get_out_samples(reechantillonnage, trame->nb_samples);
            if (max > 0) {
                std::vector<int16_t> tampon(size_t(max) * size_t(formatSon.canaux));
                uint8_t* sortie[1] = {reinterpret_cast<uint8_t*>(tampon.data())};
                const int n = swr_convert(reechantillonnage, sortie, max, const_cast<const uint8_t**>(trame->extended_data),
                                          trame->nb_samples);
                int64_t saut = 0;
                if (n > 0 && cibleSon != INT64_MIN && trame->best_effort_timestamp != AV_NOPTS_VALUE) {
                    const int64_t t = av_rescale_q(trame->best_effort_timestamp, flux(fluxSon)->time_base, kBase100ns);
                    if (t < cibleSon)
                        saut = std::min<int64_t>(n, (cibleSon - t) * formatSon.frequence / 10000000);
                    else
                        cibleSon = INT64_MIN;
                }
                if (n > saut)
                    sonEnAttente.insert(sonEnAttente.end(), tampon.begin() + saut * formatSon.canaux,
                                        tampon.begin() + int64_t(n) * formatSon.canaux);
            }
            av_frame_unref(trame);
        }
    }

    QImage versImage(const AVFrame* f)
    {
        const int l = f->width;
        const int h = f->height;
        // The JPEG formats are the plain ones at full range.
        AVPixelFormat format = AVPixelFormat(f->format);
        bool pleineEchelle = f->color_range == AVCOL_RANGE_JPEG;
        switch (format) {
        case AV_PIX_FMT_YUVJ420P: format = AV_PIX_FMT_YUV420P; pleineEchelle = true; break;
        case AV_PIX_FMT_YUVJ422P: format = AV_PIX_FMT_YUV422P; pleineEchelle = true; break;
        case AV_PIX_FMT_YUVJ444P: format = AV_PIX_FMT_YUV444P; pleineEchelle = true; break;
        case AV_PIX_FMT_YUVJ440P: format = AV_PIX_FMT_YUV440P; pleineEchelle = true; break;
        default: break;
        }
        conversion = sws_getCachedContext(conversion, l, h, format, l, h, AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr,
                                          nullptr, nullptr);
        if (conversion) {
            int* table = nullptr;
            int* tableSortie = nullptr;
            int entree = 0, sortieEchelle = 0, luminosite = 0, contraste = 0, saturation = 0;
            if (sws_getColorspaceDetails(conversion, &table, &entree, &tableSortie, &sortieEchelle, &luminosite,
                                         &contraste, &saturation) >= 0)
                sws_setColorspaceDetails(conversion, table, pleineEchelle ? 1 : 0, tableSortie, 1, luminosite,
                                         contraste, saturation);
        }
        QImage sortie(l, h, QImage::Format_RGB32);
        if (!conversion || sortie.isNull())
            return {};
        uint8_t* plans[4] = {sortie.bits(), nullptr, nullptr, nullptr};
        int pas[4] = {int(sortie.bytesPerLine()), 0, 0, 0};
        sws_scale(conversion, f->data, f->linesize, 0, h, plans, pas);
        return sortie;
    }

    std::vector<uint8_t> octetsDe(int64_t pts)
    {
        for (auto it = paquetsRecents.begin(); it != paquetsRecents.end(); ++it)
            if (it->first == pts) {
                std::vector<uint8_t> o = std::move(it->second);
                paquetsRecents.erase(paquetsRecents.begin(), it + 1);
                return o;
            }
        return {};
    }

    void recommencer()
    {
        if (video)
            avcodec_flush_buffers(video);
        if (son)
            avcodec_flush_buffers(son);
        finFichier = videoVidee = sonVide = false;
        paquetsRecents.clear();
        sonEnAttente.clear();
    }
};

SourceFFmpeg::SourceFFmpeg(std::unique_ptr<Etat> etat) : etat_(std::move(etat)) {}

SourceFFmpeg::~SourceFFmpeg() = default;

std::unique_ptr<SourceFFmpeg> SourceFFmpeg::ouvrir(const QString& chemin, bool video, int64_t connu, Issue& issue)
{
    // The program has no log: FFmpeg's notes on odd files would only clutter the terminal.
    av_log_set_level(AV_LOG_ERROR);
    auto e = std::make_unique<Etat>();
    issue = Issue::NonLue;
    const QByteArray nom = chemin.toUtf8();
    if (avformat_open_input(&e->format, nom.constData(), av_find_input_format("avi"), nullptr) < 0)
        return nullptr;
    if (avformat_find_stream_info(e->format, nullptr) < 0)
        return nullptr;
    e->paquet = av_packet_alloc();
    e->image = av_frame_alloc();
    e->trame = av_frame_alloc();
    if (!e->paquet || !e->image || !e->trame)
        return nullptr;

    const auto premier = [&](AVMediaType type) {
        for (unsigned i = 0; i < e->format->nb_streams; ++i)
            if (e->format->streams[i]->codecpar->codec_type == type
                && !(e->format->streams[i]->disposition & AV_DISPOSITION_ATTACHED_PIC))
                return int(i);
        return -1;
    };
    const int fluxSon = premier(AVMEDIA_TYPE_AUDIO);
    if (video) {
        e->fluxVideo = premier(AVMEDIA_TYPE_VIDEO);
        if (e->fluxVideo < 0) {
            issue = Issue::SansFlux;
            return nullptr;
        }
        const AVStream* s = e->flux(e->fluxVideo);
        e->video = ouvrirDecodeur(s);
        if (!e->video) {
            issue = Issue::SansDecodeur;
            return nullptr;
        }
        AVRational tb = s->time_base;
        if (s->avg_frame_rate.num > 0 && s->avg_frame_rate.den > 0
            && av_cmp_q(av_inv_q(s->avg_frame_rate), tb) != 0 && tb.den > 100000)
            tb = av_inv_q(s->avg_frame_rate); // a fine time base: count frames at the frame rate
        e->base = {tb.den, tb.num};
        e->debutVideo = s->start_time != AV_NOPTS_VALUE ? s->start_time : 0;
        if (s->nb_frames > 0)
            e->nombre = s->nb_frames;
        else if (s->duration != AV_NOPTS_VALUE)
            e->nombre = av_rescale_q(s->duration, s->time_base, AVRational{tb.num, tb.den});
        else if (e->format->duration != AV_NOPTS_VALUE)
            e->nombre = av_rescale_q(e->format->duration, AV_TIME_BASE_Q, AVRational{tb.num, tb.den});
        if (connu > 0)
            e->nombre = connu;
        e->duree = e->base.debutImage(e->nombre);
        if (fluxSon >= 0)
            e->ouvrirSon(fluxSon);
    } else {
        if (fluxSon < 0) {
            issue = Issue::SansFlux;
            return nullptr;
        }
        const AVStream* s = e->flux(fluxSon);
        if (s->duration != AV_NOPTS_VALUE)
            e->duree = av_rescale_q(s->duration, s->time_base, kBase100ns);
        else if (e->format->duration != AV_NOPTS_VALUE)
            e->duree = av_rescale_q(e->format->duration, AV_TIME_BASE_Q, kBase100ns);
        if (connu > 0)
            e->duree = connu;
        if (!e->ouvrirSon(fluxSon)) {
            issue = Issue::SansDecodeur;
            e->fluxSon = fluxSon; // positions still run, in silence
        }
    }
    if (issue != Issue::SansDecodeur)
        issue = Issue::Ouverte;
    return std::unique_ptr<SourceFFmpeg>(new SourceFFmpeg(std::move(e)));
}

bool SourceFFmpeg::aVideo() const { return etat_->fluxVideo >= 0; }
int64_t SourceFFmpeg::nombreImages() const { return etat_->nombre; }
BaseTemps SourceFFmpeg::base() const { return etat_->base; }
int64_t SourceFFmpeg::duree() const { return etat_->duree; }
FormatSon SourceFFmpeg::formatSon() const { return etat_->formatSon; }

void SourceFFmpeg::positionner(int64_t n)
{
    Etat& e = *etat_;
    e.recommencer();
    if (e.fluxVideo >= 0) {
        e.cible = std::clamp<int64_t>(n, 0, std::max<int64_t>(e.nombre - 1, 0));
        e.cibleSon = e.base.debutImage(e.cible);
        const AVStream* s = e.flux(e.fluxVideo);
        const int64_t ts = e.debutVideo
            + av_rescale_q(e.cible, AVRational{int(e.base.scale), int(e.base.rate)}, s->time_base);
        if (av_seek_frame(e.format, e.fluxVideo, ts, AVSEEK_FLAG_BACKWARD) < 0)
            av_seek_frame(e.format, e.fluxVideo, e.debutVideo, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
    } else if (e.fluxSon >= 0) {
        e.cibleSon = std::clamp<int64_t>(n, 0, e.duree);
        const AVStream* s = e.flux(e.fluxSon);
        const int64_t debut = s->start_time != AV_NOPTS_VALUE ? s->start_time : 0;
        av_seek_frame(e.format, e.fluxSon, debut + av_rescale_q(e.cibleSon, kBase100ns, s->time_base),
                      AVSEEK_FLAG_BACKWARD);
    }
    e.recommencer();
}

bool SourceFFmpeg::lireImage(ImageLue& sortie, bool avecImage, std::vector<int16_t>* son)
{
    Etat& e = *etat_;
    if (!e.video)
        return false;
    for (;;) {
        const int r = avcodec_receive_frame(e.video, e.image);
        if (r == 0) {
            const int64_t pts = e.image->best_effort_timestamp != AV_NOPTS_VALUE ? e.image->best_effort_timestamp
                                                                                  : e.image->pkt_dts;
            const int64_t n = pts != AV_NOPTS_VALUE ? e.numero(pts) : e.cible;
            if (n < e.cible) {
                av_frame_unref(e.image);
                continue;
            }
            sortie.numero = n;
            sortie.octets = e.octetsDe(pts);
            sortie.image = avecImage ? e.versImage(e.image) : QImage();
            av_frame_unref(e.image);
            e.cible = n + 1;
            if (son) {
                son->insert(son->end(), e.sonEnAttente.begin(), e.sonEnAttente.end());
            }
            e.sonEnAttente.clear();
            return true;
        }
        if (r != AVERROR(EAGAIN) || (e.finFichier && e.videoVidee)) {
            // The sound after the last picture goes with the end.
            if (son && e.finFichier && !e.sonVide) {
                e.decoderSon(nullptr);
                e.sonVide = true;
            }
            if (son)
                son->insert(son->end(), e.sonEnAttente.begin(), e.sonEnAttente.end());
            e.sonEnAttente.clear();
            return false;
        }
        if (e.finFichier) {
            avcodec_send_packet(e.video, nullptr);
            e.videoVidee = true;
            continue;
        }
        if (av_read_frame(e.format, e.paquet) < 0) {
            e.finFichier = true;
            continue;
        }
        if (e.paquet->stream_index == e.fluxVideo) {
            const int64_t pts = e.paquet->pts != AV_NOPTS_VALUE ? e.paquet->pts : e.paquet->dts;
            e.paquetsRecents.emplace_back(pts, std::vector<uint8_t>(e.paquet->data, e.paquet->data + e.paquet->size));
            if (e.paquetsRecents.size() > 32)
                e.paquetsRecents.pop_front();
            avcodec_send_packet(e.video, e.paquet);
        } else if (son && e.paquet->stream_index == e.fluxSon) {
            e.decoderSon(e.paquet);
        }
        av_packet_unref(e.paquet);
    }
}

bool SourceFFmpeg::lireSon(std::vector<int16_t>& son)
{
    Etat& e = *etat_;
    if (!e.son)
        return false;
    while (e.sonEnAttente.empty()) {
        if (e.finFichier) {
            if (e.sonVide)
                return false;
            e.decoderSon(nullptr);
            e.sonVide = true;
            continue;
        }
        if (av_read_frame(e.format, e.paquet) < 0) {
            e.finFichier = true;
            continue;
        }
        if (e.paquet->stream_index == e.fluxSon)
            e.decoderSon(e.paquet);
        av_packet_unref(e.paquet);
    }
    son.insert(son.end(), e.sonEnAttente.begin(), e.sonEnAttente.end());
    e.sonEnAttente.clear();
    return true;
}

} // namespace korvan
