#pragma once
// What the conversion graphs share: the DV stream of a source, the stream
// headers and formats of the files they write, the PCM sound of a source
// stream, and the reading windows handed to the output without a copy.
#include "analysis/avi_demuxer.h"
#include "analysis/codec_dv.h"
#include "analysis/disposition_son_dv.h"
#include "analysis/dvcodes.h"
#include "analysis/ecrivain_avi.h"
#include "analysis/lecture_morceaux.h"
#include "analysis/sortie_octets.h"
#include "analysis/systeme_dv.h"

#include <QString>

#include <algorithm>
#include <optional>
#include <vector>

namespace korvan {

inline constexpr uint16_t WAVE_FORMAT_PCM = 1;
inline constexpr uint16_t WAVE_FORMAT_EXTENSIBLE = 0xFFFE;
inline constexpr uint32_t kQualiteParDefaut = 0xFFFFFFFF;

inline std::vector<uint8_t> octetsDe(const auto& structure)
{
    std::vector<uint8_t> v(std::remove_cvref_t<decltype(structure)>::kSize);
    structure.encode(v.data());
    return v;
}

// The frames of a DV stream and the system they are in, from its first frame.
struct FluxDV {
    int numero = -1;
    std::vector<AviFrame> images; // handed to the run's reader
    int64_t nombre = 0;
    std::vector<uint8_t> premiere;
    const SystemeDV* systeme = nullptr;

    int64_t duree() const { return nombre * systeme->tempsParImage; }
    int64_t position(int64_t faites) const { return faites * systeme->tempsParImage; }
};

// The first stream as DV frames: a video stream ('vids') or an interleaved
// one ('iavs', whose frames are DV frames too); none when it is neither or
// its first frame is not DV.
inline std::optional<FluxDV> premierFluxDV(const AviDemuxer& avi, QString& raison)
{
    if (!avi.isAvi()) {
        raison = QStringLiteral("Le fichier n'est pas un fichier AVI lisible");
        return std::nullopt;
    }
    const auto& flux = avi.streams();
    if (flux.empty() || !(flux[0].header.fccType == FourCC("vids") || flux[0].header.fccType == FourCC("iavs"))) {
        raison = QStringLiteral("Le premier flux du fichier n'est pas de la vidéo DV");
        return std::nullopt;
    }
    FluxDV f;
    f.numero = 0;
    f.images = avi.frameIndex(0);
    // The first frame that holds anything (a capture may start with dropped frames).
    for (const AviFrame& i : f.images) {
        if (i.size == 0)
            continue;
        f.premiere.resize(i.size);
        if (!avi.source().readExactAt(i.offset, f.premiere.data(), i.size))
            f.premiere.clear();
        break;
    }
    if (f.premiere.empty() || !EstTrameDV(f.premiere.data(), f.premiere.size())) {
        raison = QStringLiteral("Le premier flux du fichier n'est pas de la vidéo DV");
        return std::nullopt;
    }
    f.systeme = &SystemeSelon625(EstSysteme625(f.premiere.data(), f.premiere.size()));
    f.nombre = int64_t(f.images.size());
    return f;
}

inline uint32_t microSecondes(const SystemeDV& s)
{
    return uint32_t((s.tempsParImage + 5) / 10);
}

inline TAvistream enteteVideo(const char (&type)[5], const SystemeDV& s)
{
    TAvistream h;
    h.fccType = FourCC(type);
    h.fccHandler = kCodecDVSysteme;
    h.dwScale = s.standard == kStandardPal ? 1 : 1001;
    h.dwRate = s.standard == kStandardPal ? 25 : 30000;
    h.dwQuality = kQualiteParDefaut;
    h.rcRight = int16_t(s.largeur);
    h.rcBottom = int16_t(s.hauteur);
    return h;
}

inline ImageAvi imageDe(const SystemeDV& s)
{
    return {microSecondes(s), s.largeur, s.hauteur};
}

// A PCM stream of 16-bit stereo samples at that rate.
inline FluxEcrit fluxPcm(int frequence, const char (&id)[5])
{
    WaveFormatEx w;
    w.wFormatTag = WAVE_FORMAT_PCM;
    w.nChannels = 2;
    w.nSamplesPerSec = uint32_t(frequence);
    w.nBlockAlign = 4;
    w.nAvgBytesPerSec = uint32_t(frequence) * 4;
    w.wBitsPerSample = 16;
    TAvistream h;
    h.fccType = FourCC("auds");
    h.dwScale = w.nBlockAlign;
    h.dwRate = w.nAvgBytesPerSec;
    h.dwSampleSize = w.nBlockAlign;
    h.dwQuality = kQualiteParDefaut;
    return {h, octetsDe(w), FourCC(id)};
}

inline std::vector<uint8_t> formatPcm16(int frequence)
{
    std::vector<uint8_t> f = fluxPcm(frequence, "00wb").format;
    f.resize(16); // a WAV file's PCM format has no cbSize
    return f;
}

// The PCM samples of a sound stream as 16-bit stereo, in order, for as long
// as the stream lasts (silence after its end).
class SonPcm {
public:
    // None when the stream is not PCM of 8 to 32 bits (at a rate DV records
    // unless touteFrequence).
    static std::optional<WaveFormatEx> formatAccepte(const AviStreamInfo& s, bool touteFrequence = false)
    {
        if (!(s.header.fccType == FourCC("auds")) || s.format.size() < 16)
            return std::nullopt;
        const WaveFormatEx w = WaveFormatEx::decode(s.format.data(), s.format.size());
        bool pcm = w.wFormatTag == WAVE_FORMAT_PCM;
        // WAVE_FORMAT_EXTENSIBLE: the sub-format GUID's first two bytes give the tag.
        if (w.wFormatTag == WAVE_FORMAT_EXTENSIBLE && s.format.size() >= 26)
            pcm = lireU16(s.format.data() + 24) == WAVE_FORMAT_PCM;
        const int octets = w.wBitsPerSample / 8;
        if (!pcm || w.nChannels < 1 || octets < 1 || octets > 4 || w.wBitsPerSample % 8 != 0
            || w.nBlockAlign != w.nChannels * octets || w.nSamplesPerSec == 0
            || (!touteFrequence && CodeFrequenceSonDV(int(w.nSamplesPerSec)) < 0))
            return std::nullopt;
        return w;
    }

    SonPcm(const AviDemuxer& avi, int flux, const WaveFormatEx& format)
        : lecteur_(avi.source(), avi.frameIndex(flux)), format_(format)
    {
    }

    int frequence() const { return int(format_.nSamplesPerSec); }
    // Every sample of the stream was taken.
    bool fini() const { return lecteur_.fini() && disponibles() == 0; }

    // The next paires sample pairs into sortie (2 x paires values).
    void prendre(size_t paires, std::vector<int16_t>& sortie)
    {
        while (disponibles() < paires && !lecteur_.fini())
            convertir(lecteur_.lire());
        sortie.assign(2 * paires, 0);
        const size_t n = std::min(paires, disponibles());
        std::copy_n(file_.begin() + ptrdiff_t(2 * lu_), 2 * n, sortie.begin());
        lu_ += n;
        if (lu_ > 1 << 16) {
            file_.erase(file_.begin(), file_.begin() + ptrdiff_t(2 * lu_));
            lu_ = 0;
        }
    }

private:
    size_t disponibles() const { return file_.size() / 2 - lu_; }

    void convertir(std::span<const uint8_t> octets)
    {
        const int taille = format_.wBitsPerSample / 8;
        const size_t bloc = format_.nBlockAlign;
        const auto echantillon = [taille](const uint8_t* p) -> int16_t {
            if (taille == 1)
                return int16_t((int(p[0]) - 128) << 8);
            // The top 16 bits of a little-endian sample.
            return int16_t(lireU16(p + taille - 2));
        };
        for (size_t o = 0; o + bloc <= octets.size(); o += bloc) {
            const uint8_t* p = octets.data() + o;
            const int16_t gauche = echantillon(p);
            file_.push_back(gauche);
            file_.push_back(format_.nChannels > 1 ? echantillon(p + taille) : gauche);
        }
    }

    LecteurMorceaux lecteur_;
    WaveFormatEx format_;
    std::vector<int16_t> file_;
    size_t lu_ = 0;
};

// A reader whose chunks go to the output without a copy: a window is read
// into again only once the output has written what was taken from it, and
// however the run ends, the output is done with the windows before they go.
class FenetresPartagees {
public:
    FenetresPartagees(LecteurMorceaux& lecteur, SortieOctets& sortie) : lecteur_(lecteur), sortie_(sortie)
    {
        lecteur_.avantRelecture = [this](int f) { sortie_.attendreEcrit(marques_[f]); };
    }
    ~FenetresPartagees()
    {
        try {
            sortie_.attendreEcrit(sortie_.taille());
        } catch (...) {
            // The run is already failing; its error is the one told.
        }
        lecteur_.avantRelecture = nullptr;
    }
    FenetresPartagees(const FenetresPartagees&) = delete;
    FenetresPartagees& operator=(const FenetresPartagees&) = delete;

    // The chunk just read was appended to the output.
    void donne() { marques_[lecteur_.fenetre()] = sortie_.taille(); }

private:
    LecteurMorceaux& lecteur_;
    SortieOctets& sortie_;
    int64_t marques_[2] = {0, 0};
};


// The format block of a DV type 2 video stream: a BITMAPINFOHEADER followed
// by the DVINFO of the frame given.
inline std::vector<uint8_t> formatVideoType2(const SystemeDV& s, const uint8_t* trame, size_t taille)
{
    BitmapInfoHeader bih;
    bih.biSize = BitmapInfoHeader::kSize;
    bih.biWidth = s.largeur;
    bih.biHeight = s.hauteur;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = kCodecDVSysteme;
    bih.biSizeImage = s.octetsImage();
    std::vector<uint8_t> format = octetsDe(bih);
    const std::vector<uint8_t> dvinfo = octetsDe(DvInfoDeTrame(trame, taille));
    format.insert(format.end(), dvinfo.begin(), dvinfo.end());
    return format;
}

// The stream of a DV type 1 file: one interleaved stream of the frames.
inline FluxEcrit fluxType1(const SystemeDV& s, const uint8_t* trame, size_t taille)
{
    return {enteteVideo("iavs", s), octetsDe(DvInfoDeTrame(trame, taille)), FourCC("00dc")};
}

// The video stream of a DV type 2 file.
inline FluxEcrit fluxType2(const SystemeDV& s, const uint8_t* trame, size_t taille)
{
    return {enteteVideo("vids", s), formatVideoType2(s, trame, taille), FourCC("00dc")};
}

} // namespace korvan
