#include "pipelines/ffmpeg_video.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>

namespace korvan::ffmpeg {

struct Image {
    AVFrame* frame = nullptr;
};

void LibererImage::operator()(Image* image) const noexcept
{
    if (image)
        av_frame_free(&image->frame);
    delete image;
}

namespace {

QString texteErreur(int code)
{
    char texte[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, texte, sizeof texte);
    return QString::fromUtf8(texte);
}

void verifier(int code, const char* quoi)
{
    if (code < 0)
        throw EchecMedia(QString::fromUtf8(quoi) + QStringLiteral(" : ") + texteErreur(code));
}

template <typename T>
T* exiger(T* p)
{
    if (!p)
        throw EchecMedia(QStringLiteral("Mémoire insuffisante"));
    return p;
}

// The source frame number rides in the frame's opaque field, which every
// filter copies with the frame's properties; 0 there means none.
void poserIndex(AVFrame* f, int64_t index)
{
    f->opaque = reinterpret_cast<void*>(static_cast<intptr_t>(index + 1));
}

ImagePtr envelopper(AVFrame* f)
{
    ImagePtr i(new Image);
    i->frame = f;
    return i;
}

AVRational versAv(Rationnel r)
{
    return AVRational{r.num, r.den};
}

AVCodecContext* ouvrirDecodeur(const AVCodec* codec, const AVCodecParameters* parametres, int fils, int type)
{
    AVCodecContext* c = exiger(avcodec_alloc_context3(codec));
    if (parametres)
        verifier(avcodec_parameters_to_context(c, parametres), "Paramètres du décodeur");
    c->thread_count = fils;
    c->thread_type = type;
    if (const int r = avcodec_open2(c, codec, nullptr); r < 0) {
        avcodec_free_context(&c);
        verifier(r, "Ouverture du décodeur");
    }
    return c;
}

} // namespace

int64_t IndexSource(const Image& image)
{
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(image.frame->opaque)) - 1;
}

void PoserIndexSource(Image& image, int64_t index)
{
    poserIndex(image.frame, index);
}

QSize TailleImage(const Image& image)
{
    return {image.frame->width, image.frame->height};
}

ImagePtr Dupliquer(const Image& image)
{
    return envelopper(exiger(av_frame_clone(image.frame)));
}

// ---------------------------------------------------------------- DV decoder

struct DecodeurDV::Etat {
    AVCodecContext* contexte = nullptr;
    AVPacket* paquet = nullptr;
    ~Etat()
    {
        av_packet_free(&paquet);
        avcodec_free_context(&contexte);
    }
};

DecodeurDV::DecodeurDV(int fils) : e_(std::make_unique<Etat>())
{
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_DVVIDEO);
    if (!codec)
        throw EchecMedia(QStringLiteral("libavcodec n'a pas de décodeur DV"));
    // Slices, not frames: a frame's picture comes back at once, before the next is read.
    e_->contexte = ouvrirDecodeur(codec, nullptr, fils, FF_THREAD_SLICE);
    e_->paquet = exiger(av_packet_alloc());
}

DecodeurDV::~DecodeurDV() = default;

ImagePtr DecodeurDV::decoder(std::span<const uint8_t> trame, int64_t index)
{
    if (trame.empty())
        return {};
    av_packet_unref(e_->paquet);
    // The decoder reads a little past its input: a padded copy.
    verifier(av_new_packet(e_->paquet, int(trame.size())), "Décodage DV");
    std::memcpy(e_->paquet->data, trame.data(), trame.size());
    AVFrame* f = exiger(av_frame_alloc());
    int r = avcodec_send_packet(e_->contexte, e_->paquet);
    if (r >= 0)
        r = avcodec_receive_frame(e_->contexte, f);
    if (r < 0) {
        av_frame_free(&f);
        avcodec_flush_buffers(e_->contexte);
        return {};
    }
    poserIndex(f, index);
    return envelopper(f);
}

// ---------------------------------------------------------------- filters

struct ChaineFiltres::Etat {
    std::string description;
    AVRational base;
    AVRational aspect;
    AVFilterGraph* graphe = nullptr;
    AVFilterContext* entree = nullptr;
    AVFilterContext* sortie = nullptr;
    bool fin = false;
    ~Etat() { avfilter_graph_free(&graphe); }

    void construire(const AVFrame* premiere)
    {
        graphe = exiger(avfilter_graph_alloc());
        // One thread: the conversion overlaps its stages itself, and the encoder takes the cores.
        graphe->nb_threads = 1;
        const AVRational sar = aspect.num > 0 ? aspect : premiere->sample_aspect_ratio;
        char args[256];
        std::snprintf(args, sizeof args, "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d",
                      premiere->width, premiere->height, premiere->format, base.num, base.den,
                      sar.num > 0 ? sar.num : 1, sar.den > 0 ? sar.den : 1);
        verifier(avfilter_graph_create_filter(&entree, avfilter_get_by_name("buffer"), "entree", args, nullptr, graphe),
                 "Chaîne de filtres");
        verifier(avfilter_graph_create_filter(&sortie, avfilter_get_by_name("buffersink"), "sortie", nullptr, nullptr,
                                              graphe),
                 "Chaîne de filtres");
        AVFilterInOut* sorties = exiger(avfilter_inout_alloc());
        AVFilterInOut* entrees = exiger(avfilter_inout_alloc());
        sorties->name = av_strdup("in");
        sorties->filter_ctx = entree;
        entrees->name = av_strdup("out");
        entrees->filter_ctx = sortie;
        const std::string d = description.empty() ? std::string("null") : description;
        const int r = avfilter_graph_parse_ptr(graphe, d.c_str(), &entrees, &sorties, nullptr);
        avfilter_inout_free(&entrees);
        avfilter_inout_free(&sorties);
        verifier(r, "Chaîne de filtres");
        verifier(avfilter_graph_config(graphe, nullptr), "Chaîne de filtres");
    }
};

ChaineFiltres::ChaineFiltres(std::string description, Rationnel base, Rationnel aspect) : e_(std::make_unique<Etat>())
{
    // Only errors on the error output: a hidden run's user reads it.
    av_log_set_level(AV_LOG_ERROR);
    e_->description = std::move(description);
    e_->base = versAv(base);
    e_->aspect = versAv(aspect);
}

ChaineFiltres::~ChaineFiltres() = default;

void ChaineFiltres::pousser(ImagePtr image, int64_t temps)
{
    if (!image) {
        // The end's time gives the last picture its length (a rate change fills it).
        if (e_->graphe && !e_->fin)
            verifier(av_buffersrc_close(e_->entree, temps, 0), "Chaîne de filtres");
        e_->fin = true;
        return;
    }
    if (!e_->graphe)
        e_->construire(image->frame);
    image->frame->pts = temps;
    verifier(av_buffersrc_add_frame_flags(e_->entree, image->frame, AV_BUFFERSRC_FLAG_KEEP_REF), "Chaîne de filtres");
}

ImagePtr ChaineFiltres::tirer()
{
    if (!e_->graphe)
        return {};
    AVFrame* f = exiger(av_frame_alloc());
    const int r = av_buffersink_get_frame(e_->sortie, f);
    if (r < 0) {
        av_frame_free(&f);
        if (r != AVERROR(EAGAIN) && r != AVERROR_EOF)
            verifier(r, "Chaîne de filtres");
        return {};
    }
    return envelopper(f);
}

// ---------------------------------------------------------------- DV encoder

struct EncodeurDV::Etat {
    AVCodecContext* contexte = nullptr;
    AVPacket* paquet = nullptr;
    int64_t numero = 0;
    bool fin = false;
    ~Etat()
    {
        av_packet_free(&paquet);
        avcodec_free_context(&contexte);
    }
};

const char* EncodeurDV::formatPixels(bool pal)
{
    return pal ? "yuv420p" : "yuv411p";
}

EncodeurDV::EncodeurDV(bool pal, bool large, int fils) : e_(std::make_unique<Etat>())
{
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_DVVIDEO);
    if (!codec)
        throw EchecMedia(QStringLiteral("libavcodec n'a pas d'encodeur DV"));
    AVCodecContext* c = exiger(avcodec_alloc_context3(codec));
    e_->contexte = c;
    c->width = 720;
    c->height = pal ? 576 : 480;
    c->pix_fmt = av_get_pix_fmt(formatPixels(pal));
    c->time_base = pal ? AVRational{1, 25} : AVRational{1001, 30000};
    c->framerate = AVRational{c->time_base.den, c->time_base.num};
    // The stored frame's pixels for a 4:3 or 16:9 picture (ITU-R BT.601).
    c->sample_aspect_ratio = pal ? (large ? AVRational{64, 45} : AVRational{16, 15})
                                 : (large ? AVRational{32, 27} : AVRational{8, 9});
    // Each 8x8 block picks 2-4-8 when its fields differ: interlaced pictures keep their detail.
    c->flags |= AV_CODEC_FLAG_INTERLACED_DCT;
    c->thread_count = fils;
    c->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    verifier(avcodec_open2(c, codec, nullptr), "Ouverture de l'encodeur DV");
    e_->paquet = exiger(av_packet_alloc());
}

EncodeurDV::~EncodeurDV() = default;

void EncodeurDV::envoyer(ImagePtr image)
{
    if (!image) {
        if (!e_->fin)
            verifier(avcodec_send_frame(e_->contexte, nullptr), "Encodage DV");
        e_->fin = true;
        return;
    }
    AVFrame* f = image->frame;
    if (f->width != e_->contexte->width || f->height != e_->contexte->height || f->format != e_->contexte->pix_fmt)
        throw EchecMedia(QStringLiteral("Encodage DV : image de %1x%2 au lieu de %3x%4")
                             .arg(f->width)
                             .arg(f->height)
                             .arg(e_->contexte->width)
                             .arg(e_->contexte->height));
    f->pts = e_->numero++;
    f->pict_type = AV_PICTURE_TYPE_NONE;
    verifier(avcodec_send_frame(e_->contexte, f), "Encodage DV");
}

bool EncodeurDV::recevoir(std::vector<uint8_t>& trame)
{
    const int r = avcodec_receive_packet(e_->contexte, e_->paquet);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
        return false;
    verifier(r, "Encodage DV");
    trame.assign(e_->paquet->data, e_->paquet->data + e_->paquet->size);
    av_packet_unref(e_->paquet);
    return true;
}

// ---------------------------------------------------------------- drawing

void DessinerSur(ImagePtr& image, QImage& toile, const QRect& zone, const std::function<void(QImage&)>& dessiner)
{
    AVFrame* f = image->frame;
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(AVPixelFormat(f->format));
    if (!d || zone.isEmpty())
        return;
    if (toile.size() != QSize(f->width, f->height) || toile.format() != QImage::Format_RGB32)
        toile = QImage(f->width, f->height, QImage::Format_RGB32);
    verifier(av_frame_make_writable(f), "Incrustation");

    // The rows that hold the drawing, on whole chroma rows, across the whole
    // width: the scaler's vector code wants widths of whole blocks.
    const int pasY = 1 << d->log2_chroma_h;
    const QRect r = zone.intersected(QRect(0, 0, f->width, f->height));
    const int y0 = r.top() / pasY * pasY;
    const int y1 = std::min(f->height, (r.bottom() + pasY) / pasY * pasY);
    const int l = f->width;
    const int h = y1 - y0;
    if (r.isEmpty() || h <= 0)
        return;

    uint8_t* plans[4] = {};
    for (int p = 0; p < 3; ++p) {
        const int dy = p == 0 ? y0 : y0 >> d->log2_chroma_h;
        plans[p] = f->data[p] + ptrdiff_t(dy) * f->linesize[p];
    }
    uint8_t* rgb[4] = {toile.bits() + ptrdiff_t(y0) * toile.bytesPerLine(), nullptr, nullptr,
                       nullptr};
    const int pasRgb[4] = {int(toile.bytesPerLine()), 0, 0, 0};
    const AVPixelFormat format = AVPixelFormat(f->format);
    const int options = SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT | SWS_FULL_CHR_H_INP;
    SwsContext* versRgb = sws_getContext(l, h, format, l, h, AV_PIX_FMT_RGB32, options, nullptr, nullptr, nullptr);
    SwsContext* versYuv = sws_getContext(l, h, AV_PIX_FMT_RGB32, l, h, format, options, nullptr, nullptr, nullptr);
    if (!versRgb || !versYuv) {
        sws_freeContext(versRgb);
        sws_freeContext(versYuv);
        throw EchecMedia(QStringLiteral("Incrustation : conversion de l'image impossible"));
    }
    sws_scale(versRgb, plans, f->linesize, 0, h, rgb, pasRgb);
    dessiner(toile);
    const uint8_t* const rgbConst[4] = {rgb[0], nullptr, nullptr, nullptr};
    sws_scale(versYuv, rgbConst, pasRgb, 0, h, plans, f->linesize);
    sws_freeContext(versRgb);
    sws_freeContext(versYuv);
}

// ---------------------------------------------------------------- sound

struct Reechantillonneur::Etat {
    SwrContext* swr = nullptr;
    int entree = 0;
    int sortie = 0;
    ~Etat() { swr_free(&swr); }
};

Reechantillonneur::Reechantillonneur(int frequenceEntree, int frequenceSortie) : e_(std::make_unique<Etat>())
{
    e_->entree = frequenceEntree;
    e_->sortie = frequenceSortie;
    if (frequenceEntree == frequenceSortie)
        return;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    verifier(swr_alloc_set_opts2(&e_->swr, &stereo, AV_SAMPLE_FMT_S16, frequenceSortie, &stereo, AV_SAMPLE_FMT_S16,
                                 frequenceEntree, 0, nullptr),
             "Conversion du son");
    verifier(swr_init(e_->swr), "Conversion du son");
}

Reechantillonneur::~Reechantillonneur() = default;

void Reechantillonneur::convertir(const int16_t* pcm, size_t paires, std::vector<int16_t>& sortie)
{
    if (!e_->swr) {
        if (pcm)
            sortie.insert(sortie.end(), pcm, pcm + 2 * paires);
        return;
    }
    const int place = swr_get_out_samples(e_->swr, int(paires));
    if (place <= 0)
        return;
    const size_t debut = sortie.size();
    sortie.resize(debut + 2 * size_t(place));
    uint8_t* out = reinterpret_cast<uint8_t*>(sortie.data() + debut);
    const uint8_t* in = reinterpret_cast<const uint8_t*>(pcm);
    const int n = swr_convert(e_->swr, &out, place, pcm ? &in : nullptr, int(paires));
    verifier(n, "Conversion du son");
    sortie.resize(debut + 2 * size_t(n));
}

// ---------------------------------------------------------------- clips of any codec

namespace {

struct Lecture {
    AVFormatContext* format = nullptr;
    AVCodecContext* decodeur = nullptr;
    AVPacket* paquet = nullptr;
    AVFrame* image = nullptr;
    int flux = -1;
    bool finLecture = false;

    ~Lecture()
    {
        av_frame_free(&image);
        av_packet_free(&paquet);
        avcodec_free_context(&decodeur);
        avformat_close_input(&format);
    }

    // False when the clip has no stream of that type FFmpeg decodes.
    bool ouvrir(const std::string& chemin, AVMediaType type, int fils)
    {
        verifier(avformat_open_input(&format, chemin.c_str(), nullptr, nullptr), "Lecture du fichier");
        verifier(avformat_find_stream_info(format, nullptr), "Lecture du fichier");
        const AVCodec* codec = nullptr;
        flux = av_find_best_stream(format, type, -1, -1, &codec, 0);
        if (flux < 0 || !codec)
            return false;
        decodeur = ouvrirDecodeur(codec, format->streams[flux]->codecpar, fils,
                                  type == AVMEDIA_TYPE_VIDEO ? FF_THREAD_FRAME | FF_THREAD_SLICE : 0);
        paquet = exiger(av_packet_alloc());
        image = exiger(av_frame_alloc());
        return true;
    }

    // The next decoded frame into image; false at the end of the stream.
    bool suivante()
    {
        for (;;) {
            const int r = avcodec_receive_frame(decodeur, image);
            if (r >= 0)
                return true;
            if (r == AVERROR_EOF)
                return false;
            if (r != AVERROR(EAGAIN))
                verifier(r, "Décodage");
            // Flushed and still asking for input: nothing more will come.
            if (finLecture)
                return false;
            const int l = av_read_frame(format, paquet);
            if (l == AVERROR_EOF) {
                finLecture = true;
                avcodec_send_packet(decodeur, nullptr);
                continue;
            }
            verifier(l, "Lecture du fichier");
            if (paquet->stream_index == flux) {
                // A damaged packet is passed over, as a player does.
                const int e = avcodec_send_packet(decodeur, paquet);
                if (e < 0 && e != AVERROR_INVALIDDATA)
                    verifier(e, "Décodage");
            }
            av_packet_unref(paquet);
        }
    }
};

} // namespace

struct VideoFichier::Etat {
    Lecture lecture;
    int64_t numero = 0;
    int64_t fin = 0;
};

VideoFichier::VideoFichier(const std::string& chemin) : e_(std::make_unique<Etat>())
{
    if (!e_->lecture.ouvrir(chemin, AVMEDIA_TYPE_VIDEO, 2))
        throw EchecMedia(QStringLiteral("Le fichier ne contient pas de vidéo que FFmpeg sache décoder"));
}

VideoFichier::~VideoFichier() = default;

int VideoFichier::largeur() const
{
    return e_->lecture.decodeur->width;
}

int VideoFichier::hauteur() const
{
    return e_->lecture.decodeur->height;
}

Rationnel VideoFichier::base() const
{
    const AVRational b = e_->lecture.format->streams[e_->lecture.flux]->time_base;
    return {b.num, b.den};
}

Rationnel VideoFichier::aspect() const
{
    const AVRational a = e_->lecture.decodeur->sample_aspect_ratio;
    return {a.num, a.den};
}

ImagePtr VideoFichier::suivante(int64_t& temps)
{
    Lecture& l = e_->lecture;
    if (!l.suivante()) {
        temps = e_->fin;
        return {};
    }
    AVFrame* f = exiger(av_frame_alloc());
    av_frame_move_ref(f, l.image);
    temps = f->best_effort_timestamp != AV_NOPTS_VALUE ? f->best_effort_timestamp : f->pts;
    if (temps == AV_NOPTS_VALUE)
        temps = e_->numero;
    // Where the picture ends: its own length, else the stream's frame time.
    const AVStream* s = l.format->streams[l.flux];
    int64_t longueur = f->pkt_duration;
    if (longueur <= 0 && s->avg_frame_rate.num > 0)
        longueur = av_rescale_q(1, av_inv_q(s->avg_frame_rate), s->time_base);
    e_->fin = std::max(e_->fin, temps + std::max<int64_t>(longueur, 1));
    poserIndex(f, e_->numero++);
    return envelopper(f);
}

struct SonFichier::Etat {
    Lecture lecture;
    SwrContext* swr = nullptr;
    int frequence = 0;
    bool vide = false;
    ~Etat() { swr_free(&swr); }
};

SonFichier::SonFichier(std::unique_ptr<Etat> e) : e_(std::move(e)) {}

SonFichier::~SonFichier() = default;

std::unique_ptr<SonFichier> SonFichier::ouvrir(const std::string& chemin, int frequence)
{
    auto e = std::make_unique<Etat>();
    if (!e->lecture.ouvrir(chemin, AVMEDIA_TYPE_AUDIO, 1))
        return nullptr;
    e->frequence = frequence;
    return std::unique_ptr<SonFichier>(new SonFichier(std::move(e)));
}

bool SonFichier::lire(std::vector<int16_t>& sortie)
{
    Etat& e = *e_;
    if (e.vide)
        return false;
    AVFrame* f = e.lecture.image;
    const bool decode = e.lecture.suivante();
    if (decode && !e.swr) {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        AVChannelLayout entree;
        if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || f->ch_layout.nb_channels == 0)
            av_channel_layout_default(&entree, std::max(f->ch_layout.nb_channels, 1));
        else
            av_channel_layout_copy(&entree, &f->ch_layout);
        const int r = swr_alloc_set_opts2(&e.swr, &stereo, AV_SAMPLE_FMT_S16, e.frequence, &entree,
                                          AVSampleFormat(f->format), f->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&entree);
        verifier(r, "Conversion du son");
        verifier(swr_init(e.swr), "Conversion du son");
    }
    if (!e.swr) {
        e.vide = true;
        return false;
    }
    const int entree = decode ? f->nb_samples : 0;
    const int place = swr_get_out_samples(e.swr, entree);
    if (place > 0) {
        const size_t debut = sortie.size();
        sortie.resize(debut + 2 * size_t(place));
        uint8_t* out = reinterpret_cast<uint8_t*>(sortie.data() + debut);
        const int n = swr_convert(e.swr, &out, place, decode ? const_cast<const uint8_t**>(f->extended_data) : nullptr,
                                  entree);
        verifier(n, "Conversion du son");
        sortie.resize(debut + 2 * size_t(n));
    }
    if (decode)
        av_frame_unref(f);
    else
        e.vide = true;
    return decode;
}

} // namespace korvan::ffmpeg
