#include "analysis/buildlist.h"

#include "analysis/avi_demuxer.h"
#include "analysis/avi_structs.h"
#include "analysis/codec_dv.h"
#include "analysis/systeme_dv.h"

#include <algorithm>
#include <optional>

namespace korvan {

namespace {

// Frames looked at when the first frame of a DV stream is damaged (zeroes,
// garbage, a pack missing): about two seconds.
constexpr size_t kImagesEssayees = 50;

// DV is constant bit rate: one frame of its system per frame time.
uint32_t debitDV(const SystemeDV& systeme, int64_t tempsParImage)
{
    return uint32_t(std::min<int64_t>(int64_t(systeme.octetsImage()) * 8 * 10000000 / tempsParImage, UINT32_MAX));
}

TTypeMedia typeVideo(const VideoInfoHeader& vih, uint32_t tailleEchantillon, bool compressionTemporelle)
{
    TTypeMedia t;
    t.majortype = FourCC("vids");
    t.subtype = vih.bmiHeader.biCompression;
    t.bFixedSizeSamples = tailleEchantillon != 0;
    t.bTemporalCompression = compressionTemporelle;
    t.lSampleSize = tailleEchantillon;
    t.formattype = TTypeMedia::Format::VideoInfo;
    t.format.resize(VideoInfoHeader::kSize);
    vih.encode(t.format.data());
    return t;
}

TTypeMedia typeAudio(const WaveFormatEx& w)
{
    TTypeMedia t;
    t.majortype = FourCC("auds");
    t.subtype = FourCC::fromValue(w.wFormatTag);
    t.bFixedSizeSamples = true;
    t.lSampleSize = w.nBlockAlign;
    t.formattype = TTypeMedia::Format::WaveFormatEx;
    t.format.resize(WaveFormatEx::kSize);
    w.encode(t.format.data());
    return t;
}

TTypeMedia typeVideoAvi(const AviStreamInfo& s)
{
    // Without a bitmap header there is no frame size: the type is not usable.
    if (s.format.size() < 16) {
        TTypeMedia absent;
        absent.majortype = FourCC("vids");
        return absent;
    }
    VideoInfoHeader vih;
    vih.bmiHeader = BitmapInfoHeader::decode(s.format.data(), s.format.size());
    vih.AvgTimePerFrame = s.tempsParImage();
    const bool dv = EstCodecDVSysteme(vih.bmiHeader.biCompression) || EstCodecDV(s.header.fccHandler);
    if (dv && vih.AvgTimePerFrame > 0)
        vih.dwBitRate = debitDV(SystemeSelonHauteur(vih.bmiHeader.biHeight), vih.AvgTimePerFrame);
    return typeVideo(vih, s.header.dwSampleSize, !dv);
}

TTypeMedia typeAudioAvi(const AviStreamInfo& s)
{
    // A 14-byte WAVEFORMAT or 16-byte PCMWAVEFORMAT reads as a WAVEFORMATEX without extra bytes.
    if (s.format.size() < 14) {
        TTypeMedia absent;
        absent.majortype = FourCC("auds");
        return absent;
    }
    WaveFormatEx w = WaveFormatEx::decode(s.format.data(), s.format.size());
    if (s.format.size() < WaveFormatEx::kSize)
        w.cbSize = 0;
    return typeAudio(w);
}

TTypeMedia typeEntrelaceAvi(const AviStreamInfo& s)
{
    TTypeMedia t;
    t.majortype = FourCC("iavs");
    t.subtype = kCodecDVSysteme;
    t.bFixedSizeSamples = true;
    t.lSampleSize = 1;
    t.formattype = TTypeMedia::Format::DvInfo;
    t.format = s.format; // DVINFO as stored (may be short or absent)
    return t;
}

// Duration of a stream: its header length, except in an interrupted capture
// whose headers still claim what was never written (or not yet what was):
// there the chunks that are actually in the file count.
int64_t dureeFlux(const AviDemuxer& avi, const AviStreamInfo& s)
{
    if (!avi.interrupted())
        return s.dureeHeader();
    const auto frames = avi.frameIndex(s.number);
    if (s.header.dwSampleSize > 0 && s.header.dwRate > 0) {
        int64_t octets = 0;
        for (const AviFrame& f : frames)
            octets += f.size;
        const int64_t blocs = octets / s.header.dwSampleSize;
        return int64_t(std::min((long double)blocs * s.header.dwScale * 10000000 / s.header.dwRate, 9.2e18L));
    }
    return int64_t(std::min((long double)frames.size() * s.tempsParImage(), 9.2e18L));
}

bool fluxDV(const AviStreamInfo& s)
{
    if (s.header.fccType == FourCC("iavs"))
        return true;
    return s.header.fccType == FourCC("vids")
        && (EstCodecDV(s.header.fccHandler)
            || (s.format.size() >= 20 && EstCodecDV(BitmapInfoHeader::decode(s.format.data(), s.format.size()).biCompression)));
}

// The first frame of a stream for which `convient` holds, read up to the
// bytes the packs need: the first frame, else one of the next few; none when
// the stream has no frame or none of them will do.
template <typename Condition>
std::optional<std::vector<uint8_t>> premiereImage(const AviDemuxer& avi, int flux, Condition&& convient)
{
    const auto lire = [&avi](const AviFrame& f) {
        std::vector<uint8_t> b(std::min<size_t>(f.size, kOctetsSourceAudioDV));
        b.resize(avi.source().readAt(f.offset, b.data(), b.size()));
        return b;
    };
    // The first frame is found cheaply; the next ones are only looked for when it will not do.
    const auto premiere = avi.firstFrame(flux);
    if (!premiere)
        return std::nullopt;
    if (auto b = lire(*premiere); convient(b))
        return b;
    const auto suivantes = avi.firstFrames(flux, kImagesEssayees);
    for (size_t i = 1; i < suivantes.size(); ++i)
        if (auto b = lire(suivantes[i]); convient(b))
            return b;
    return std::nullopt;
}

bool trameDV(const std::vector<uint8_t>& b)
{
    return EstTrameDV(b.data(), b.size());
}

} // namespace

TTypeMedia TypeVideoDV(bool systeme625)
{
    const SystemeDV& systeme = SystemeSelon625(systeme625);
    VideoInfoHeader vih;
    vih.AvgTimePerFrame = systeme.tempsParImage;
    vih.dwBitRate = debitDV(systeme, vih.AvgTimePerFrame);
    vih.bmiHeader.biSize = BitmapInfoHeader::kSize;
    vih.bmiHeader.biWidth = systeme.largeur;
    vih.bmiHeader.biHeight = systeme.hauteur;
    vih.bmiHeader.biPlanes = 1;
    vih.bmiHeader.biBitCount = 24;
    vih.bmiHeader.biCompression = kCodecDVSysteme;
    vih.bmiHeader.biSizeImage = systeme.octetsImage();
    return typeVideo(vih, systeme.octetsImage(), false);
}

TTypeMedia TypeAudioDV(const SourceAudioDV& source)
{
    WaveFormatEx w;
    w.wFormatTag = 1; // PCM
    w.nChannels = uint16_t(source.canaux);
    w.nSamplesPerSec = uint32_t(source.frequence);
    w.wBitsPerSample = 16;
    w.nBlockAlign = uint16_t(w.nChannels * 2);
    w.nAvgBytesPerSec = w.nSamplesPerSec * w.nBlockAlign;
    return typeAudio(w);
}

bool Sonder(const AviDemuxer& avi, TResultatSonde& r)
{
    r.typeVideo = {};
    r.typeAudio = {};
    r.typeEntrelace = {};
    r.nombreFlux = 0;
    r.dureeVideo = r.dureeAudio = 0;
    r.timecodeImage = {};
    r.datecodeImage = {};
    r.format16x9Image = false;
    if (!avi.isAvi())
        return false;

    const auto& flux = avi.streams();
    r.nombreFlux = int32_t(flux.size());

    // The first sample of the first stream. For DV that is its first DV
    // frame: one damaged at the start of a capture carries no packs.
    if (!flux.empty()) {
        const auto tout = [](const std::vector<uint8_t>&) { return true; };
        std::optional<std::vector<uint8_t>> b = fluxDV(flux[0]) ? premiereImage(avi, 0, trameDV) : std::nullopt;
        if (!b)
            b = premiereImage(avi, 0, tout);
        if (b) {
            r.timecodeImage = DecoderTimecode(b->data(), b->size());
            r.datecodeImage = DecoderDatecode(b->data(), b->size());
            r.format16x9Image = Est16x9(b->data(), b->size());
        }
    }

    for (const AviStreamInfo& s : flux) {
        const FourCC type = s.header.fccType;
        if (type == FourCC("vids")) {
            if (!r.typeVideo.trouve()) {
                r.typeVideo = typeVideoAvi(s);
                r.dureeVideo = dureeFlux(avi, s);
            }
        } else if (type == FourCC("auds")) {
            if (!r.typeAudio.trouve()) {
                r.typeAudio = typeAudioAvi(s);
                r.dureeAudio = dureeFlux(avi, s);
            }
        } else if (type == FourCC("iavs")) {
            if (r.typeEntrelace.trouve())
                continue;
            r.typeEntrelace = typeEntrelaceAvi(s);
            r.dureeVideo = r.dureeAudio = dureeFlux(avi, s);
            // What a DV splitter makes of the stream, from its first DV frame;
            // data without one is not DV and cannot be split. An empty stream
            // still connects: its format block (DVINFO) tells the system.
            const auto image = premiereImage(avi, s.number, trameDV);
            if (!image && avi.firstFrame(s.number))
                return false;
            const DvInfo dvinfo = DvInfo::decode(s.format.data(), s.format.size());
            const bool pal = image ? EstSysteme625(image->data(), image->size()) : SourceVauxEstPal(dvinfo.dwDVVAuxSrc);
            if (!r.typeVideo.trouve())
                r.typeVideo = TypeVideoDV(pal);
            // The sound format from the first frame that carries it, else from
            // the copy of the AAUX source pack that DVINFO keeps.
            SourceAudioDV son;
            const auto avecSon = [&son](const std::vector<uint8_t>& b) {
                return trameDV(b) && LireSourceAudioDV(b.data(), b.size(), son);
            };
            const bool sonTrouve = premiereImage(avi, s.number, avecSon).has_value()
                || (s.format.size() >= DvInfo::kSize && LireDonneesSourceAudio(s.format.data(), son));
            if (!r.typeAudio.trouve() && sonTrouve)
                r.typeAudio = TypeAudioDV(son);
        }
    }
    return true;
}

bool Sonder(const std::string& chemin, TResultatSonde& r)
{
    try {
        return Sonder(AviDemuxer::ouvrir(chemin), r);
    } catch (const FileError&) {
        r = TResultatSonde{};
        return false;
    }
}

bool Sonder(std::shared_ptr<const ByteSource> octets, TResultatSonde& r)
{
    try {
        return Sonder(AviDemuxer(std::move(octets)), r);
    } catch (const FileError&) {
        r = TResultatSonde{};
        return false;
    }
}

} // namespace korvan
