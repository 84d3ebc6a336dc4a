#include "fuzz_dv.h"

#include "analysis/avi_demuxer.h"
#include "analysis/aviinfo.h"
#include "analysis/disposition_son_dv.h"
#include "analysis/dvcodes.h"
#include "analysis/ecriture_son_dv.h"
#include "analysis/ecrivain_avi.h"
#include "analysis/son_dv.h"
#include "analysis/sortie_octets.h"
#include "analysis/systeme_dv.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

namespace korvan::fuzz {

namespace {

using Octets = std::vector<uint8_t>;

size_t octetsChanges(const Octets& a, const uint8_t* b)
{
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i)
        n += a[i] != b[i];
    return n;
}

// A date the packs can hold (two-digit years read back as 1940-2039), drawn
// from the last bytes; not always a valid one (31 February).
TDatecodeDV dateTiree(const uint8_t* data, size_t size)
{
    uint8_t b[6] = {};
    for (size_t i = 0; i < 6 && i < size; ++i)
        b[i] = data[size - 1 - i];
    return {1940 + b[0] % 100, uint8_t(1 + b[1] % 12), uint8_t(1 + b[2] % 31), uint8_t(b[3] % 24), uint8_t(b[4] % 60),
            uint8_t(b[5] % 60)};
}

// Reads the recipe of fuzzEcrivainAvi one byte at a time; zeros past its end.
class Recette {
public:
    Recette(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t octet() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint32_t u16() { return uint32_t(octet()) | uint32_t(octet()) << 8; }
    bool fini() const { return pos_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

} // namespace

bool fuzzPacksDV(const uint8_t* data, size_t size)
{
    const TTimecodeDV tc = DecoderTimecode(data, size);
    const TDatecodeDV dc = DecoderDatecode(data, size);
    const bool large = Est16x9(data, size);
    SourceAudioDV son;
    const bool aSon = LireSourceAudioDV(data, size, son);
    const bool trame = EstTrameDV(data, size);
    (void)DvInfoDeTrame(data, size);
    if (size < kOctetsPacksDV && (tc.present() || dc.annee != -1 || large || trame))
        return false;
    if (aSon
        && (std::find(std::begin(kFrequencesSonDV), std::end(kFrequencesSonDV), son.frequence) == std::end(kFrequencesSonDV)
            || (son.bitsQuantif != 12 && son.bitsQuantif != 16) || son.canaux != 2))
        return false;
    if (const auto valeur = DateTimeDuDatecode(dc)) {
        const auto retour = DatecodeDuDateTime(*valeur);
        if (!retour || !(*retour == dc))
            return false;
    }

    const bool sequenceEntiere = size >= kOctetsSequenceDIF;
    // The date: only the bytes of the packs counted change, and the first
    // sequence's packs, when there are any, read the date back.
    const TDatecodeDV date = dateTiree(data, size);
    const bool creer = size > 0 && (data[0] & 1);
    Octets datee(data, data + size);
    const int packs = EcrireDatecodeDV(datee.data(), datee.size(), date, creer);
    if (packs < 0 || octetsChanges(datee, data) > size_t(packs) * kOctetsPackDV)
        return false;
    if (!DateTimeDuDatecode(date) && packs != 0)
        return false;
    if (packs > 0 && sequenceEntiere) {
        const TDatecodeDV relue = DecoderDatecode(datee.data(), datee.size());
        if (relue.annee != -1 && !(relue == date))
            return false;
    }

    // The picture format: one byte per pack found, and read back.
    Octets format(data, data + size);
    const bool voulu = size > 1 && (data[1] & 1);
    const int controles = EcrireFormat16x9DV(format.data(), format.size(), voulu);
    if (controles < 0 || octetsChanges(format, data) > size_t(controles))
        return false;
    if (sequenceEntiere && format[kZoneVaux.position(kPrincipalVaux.slot(0, rangControle))] == kTypeControleVideo
        && Est16x9(format.data(), format.size()) != voulu)
        return false;

    // The subcode of the dated copy into another copy: the time code follows.
    Octets copie(data, data + size);
    if (CopierSubcodeDV(copie.data(), copie.size(), datee.data(), datee.size()) != sequenceEntiere)
        return false;
    return !sequenceEntiere || DecoderTimecode(copie.data(), copie.size()) == DecoderTimecode(datee.data(), datee.size());
}

bool fuzzSonDV(const uint8_t* data, size_t size)
{
    const int paires = PairesSonDV(data, size);
    if (paires < 0 || paires > 2)
        return false;
    SourceAudioDV source;
    const bool aSource = LireSourceAudioDV(data, size, source);
    for (int paire = 0; paire < 2; ++paire) {
        // Appends after what the vector held.
        std::vector<int16_t> sortie(3, 7);
        const size_t n = DecoderSonDV(data, size, sortie, paire);
        if (sortie.size() != 3 + 2 * n || sortie[0] != 7 || sortie[2] != 7)
            return false;
        if ((n > 0) != (paire < paires))
            return false;
        if (n > 0 && (!aSource || n != size_t(source.echantillons)))
            return false;
        if (std::find(sortie.begin() + 3, sortie.end(), std::numeric_limits<int16_t>::min()) != sortie.end())
            return false;
    }

    const bool systeme625 = EstSysteme625(data, size);
    const SystemeDV& systeme = SystemeSelon625(systeme625);
    if (size < systeme.octetsImage())
        return true;
    // Samples drawn from the bytes, at a rate and count the last bytes choose.
    const int code = data[size - 1] % 3;
    const int minimum = MinimumEchantillonsDV(systeme625, code);
    const int maximum = MaximumEchantillonsDV(systeme625, code);
    const size_t compte = size_t(minimum + data[size - 2] % (maximum - minimum + 1));
    std::vector<int16_t> pcm(2 * compte);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = int16_t(data[(2 * i) % size] << 8 | data[(2 * i + 1) % size]);
    Octets trame(data, data + size);
    const bool verrouille = data[size - 3] & 1;
    if (!EcrireSonDV(trame.data(), trame.size(), pcm.data(), compte, kFrequencesSonDV[code], verrouille))
        return false;
    SourceAudioDV ecrite;
    if (!LireSourceAudioDV(trame.data(), trame.size(), ecrite))
        return true; // the first source slot holds another pack: nothing to read back from
    if (ecrite.frequence != kFrequencesSonDV[code] || ecrite.bitsQuantif != 16 || PairesSonDV(trame.data(), trame.size()) != 1)
        return false;
    std::vector<int16_t> relu;
    if (DecoderSonDV(trame.data(), trame.size(), relu) != compte)
        return false;
    // The lowest sample would be the error code: the writer puts it one step above.
    std::replace(pcm.begin(), pcm.end(), std::numeric_limits<int16_t>::min(), int16_t(std::numeric_limits<int16_t>::min() + 1));
    return relu == pcm;
}

bool fuzzEcrivainAvi(const uint8_t* data, size_t size)
{
    Recette r(data, size);
    const size_t nombreFlux = 1 + r.octet() % 3;
    std::vector<FluxEcrit> flux;
    for (size_t n = 0; n < nombreFlux; ++n) {
        const bool son = r.octet() & 1;
        FluxEcrit f;
        f.entete.fccType = son ? FourCC("auds") : FourCC("vids");
        uint8_t handler[4] = {r.octet(), r.octet(), r.octet(), r.octet()};
        f.entete.fccHandler = FourCC::fromBytes(handler);
        f.entete.dwScale = 1 + r.octet();
        f.entete.dwRate = 1 + r.u16();
        f.entete.dwSampleSize = son ? r.octet() % 5 : 0;
        f.format.resize(r.octet() % 48);
        for (uint8_t& o : f.format)
            o = r.octet();
        const char id[5] = {char('0' + n / 10), char('0' + n % 10), son ? 'w' : 'd', son ? 'b' : 'c', 0};
        f.idMorceau = FourCC::fromBytes(reinterpret_cast<const uint8_t*>(id));
        flux.push_back(std::move(f));
    }
    // Small RIFF chunks, so that a few kilobytes already make AVIX extensions.
    const int64_t tailleRiff = 512 + 64 * int64_t(r.octet());

    std::vector<std::vector<Octets>> ecrits(nombreFlux);
    SortieMemoire sortie;
    try {
        EcrivainAvi avi(sortie, flux, {40000, 720, 576}, tailleRiff);
        while (!r.fini()) {
            const size_t n = r.octet() % nombreFlux;
            const uint32_t taille = r.u16() % 1500;
            const uint8_t graine = r.octet();
            Octets morceau(taille);
            for (uint32_t i = 0; i < taille; ++i)
                morceau[i] = uint8_t(graine + i * 7);
            avi.ecrire(n, morceau.data(), taille);
            ecrits[n].push_back(std::move(morceau));
        }
        avi.terminer();
    } catch (const FileError& e) {
        // More RIFF chunks than the super index has room for: refused, as it should be.
        return e.erreur() == EFBIG;
    }

    const std::vector<uint8_t>& fichier = sortie.octets();
    const MemorySource source(fichier.data(), fichier.size());
    const std::shared_ptr<const ByteSource> partage(&source, [](const ByteSource*) {});
    const AviDemuxer relu(partage);
    if (!relu.isAvi() || relu.interrupted() || relu.streams().size() != nombreFlux)
        return false;
    for (size_t n = 0; n < nombreFlux; ++n) {
        const AviStreamInfo& s = relu.streams()[n];
        const TAvistream& e = flux[n].entete;
        if (!(s.header.fccType == e.fccType) || !(s.header.fccHandler == e.fccHandler) || s.header.dwScale != e.dwScale
            || s.header.dwRate != e.dwRate || s.format != flux[n].format)
            return false;
        const std::vector<AviFrame> index = relu.frameIndex(s.number);
        if (index.size() != ecrits[n].size())
            return false;
        for (size_t i = 0; i < index.size(); ++i) {
            Octets lus(index[i].size);
            if (index[i].size != ecrits[n][i].size() || !source.readExactAt(index[i].offset, lus.data(), lus.size())
                || lus != ecrits[n][i])
                return false;
        }
    }
    const TAviParam verdict(source);
    return verdict.flux.size() == nombreFlux;
}

} // namespace korvan::fuzz
