#include "analysis/buildlist.h"

#include "analysis/avi_demuxer.h"
#include "analysis/avi_structs.h"
#include "analysis/codec_dv.h"
#include "analysis/systeme_dv.h"

#include <algorithm>

namespace korvan {

namespace {

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
// whose headers still claim what was never written: there the chunks that
// are actually in the file count.
int64_t dureeFlux(const AviDemuxer& avi, const AviStreamInfo& s)
{
    if (!avi.truncated())
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

    // The first sample of the first stream: only the bytes the packs need.
    if (!flux.empty()) {
        if (const auto premiere = avi.firstFrame(0)) {
            uint8_t b[kOctetsPacksDV];
            const size_t n = avi.source().readAt(premiere->offset, b, std::min<size_t>(premiere->size, sizeof b));
            r.timecodeImage = DecoderTimecode(b, n);
            r.datecodeImage = DecoderDatecode(b, n);
            r.format16x9Image = Est16x9(b, n);
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
            // What a DV splitter makes of the stream; data that is not DV cannot be split.
            // An empty stream still connects: its format block tells the system.
            std::vector<uint8_t> b;
            if (const auto premiere = avi.firstFrame(s.number)) {
                b.resize(std::min<size_t>(premiere->size, kOctetsSourceAudioDV));
                b.resize(avi.source().readAt(premiere->offset, b.data(), b.size()));
                if (!EstTrameDV(b.data(), b.size()))
                    return false;
            }
            const bool pal = b.empty() ? SourceVauxEstPal(DvInfo::decode(s.format.data(), s.format.size()).dwDVVAuxSrc)
                                       : EstSysteme625(b.data(), b.size());
            if (!r.typeVideo.trouve())
                r.typeVideo = TypeVideoDV(pal);
            SourceAudioDV son;
            if (!r.typeAudio.trouve() && LireSourceAudioDV(b.data(), b.size(), son))
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

} // namespace korvan
