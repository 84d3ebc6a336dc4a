#include "analysis/riffunit.h"

#include "analysis/avi_structs.h"
#include "analysis/chemins.h"
#include "analysis/format_date.h"
#include "analysis/format_texte.h"
#include "analysis/riff_reader.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace korvan {

namespace {

constexpr int kLargeurCadre = 50;
constexpr int64_t kTailleEnTete = 8;

QString I(int profondeur)
{
    return QString(4 * profondeur, QLatin1Char(' '));
}

// prefix, then the title centred in the 50 columns by copies of fill on both sides.
QString C(const QString& prefixe, QChar remplissage, const QString& titre)
{
    const int p = (kLargeurCadre - int(prefixe.size()) - int(titre.size())) / 2;
    const QString bord = p > 0 ? QString(p, remplissage) : QString();
    return prefixe + bord + titre + bord;
}

QString h4(uint16_t v) { return Format("%.4x", v); }
QString h8(uint32_t v) { return Format("%.8x", v); }
// Byte counts of files past 4 GB take the digits they need.
QString h8(int64_t v) { return Format("%.8x", v); }
QString h16(uint64_t v) { return Format("%.16x", v); }
QString texte4(const FourCC& f) { return QString::fromLatin1(f.c.data(), 4); }
QString decimal(uint64_t v) { return QString::number(v); }
QString decimalSigne(int64_t v) { return QString::number(v); }

enum class TypeFlux { Video, Audio, Entrelace, Autre };

TypeFlux typeDe(const FourCC& f)
{
    if (f == FourCC("vids"))
        return TypeFlux::Video;
    if (f == FourCC("auds"))
        return TypeFlux::Audio;
    if (f == FourCC("iavs"))
        return TypeFlux::Entrelace;
    return TypeFlux::Autre;
}

// Chunks of stream data that may lie outside "movi" (in a "rec " list of a
// sloppy writer): too many to list one by one.
bool donneesDeFlux(const FourCC& id)
{
    return id == FourCC("01wb") || id == FourCC("00dc") || id == FourCC("00db");
}

class Rapport {
public:
    Rapport(const ByteSource& source, SortieRapportRiff& sortie)
        : r_(source), sortie_(sortie), lecturesRestantes_(r_.fileSize() / 4 + 1024)
    {
    }

    IssueRapportRiff parcourir()
    {
        int64_t pos = 0;
        int64_t reste = r_.fileSize();
        while (reste > 0 && !annule_) {
            const int64_t n = morceau(pos, 0, true);
            if (finInattendue_ || arrete_ || annule_ || n == kTailleEnTete)
                break;
            reste -= n;
            pos += n;
        }
        return {annule_, finInattendue_};
    }

private:
    bool termine() const { return annule_ || finInattendue_ || arrete_; }
    void ligne(const QString& l) { sortie_.ajouterLigne(l); }
    void champ(int d, const char* libelle, const QString& valeur) { ligne(I(d) + QLatin1String(libelle) + valeur); }
    void titre(int d, const char* t) { ligne(C(I(d), QLatin1Char('-'), QString::fromUtf8(t))); }

    // The bytes of a block: n bytes from the chunk's data, those past the
    // chunk's own data read as zero (a 16-byte PCM format has no cbSize). A
    // file that ends before the n bytes is a short read: none.
    std::optional<std::vector<uint8_t>> bloc(const ChunkHeader& h, int64_t donnees, size_t n)
    {
        std::vector<uint8_t> b(n, 0);
        if (!r_.readAt(h.dataPosition(), b.data(), n)) {
            finInattendue_ = true;
            return std::nullopt;
        }
        const size_t dedans = size_t(std::clamp<int64_t>(donnees, 0, int64_t(n)));
        std::fill(b.begin() + dedans, b.end(), 0);
        return b;
    }

    // The bytes one chunk covers at pos, header and pad byte included; 0
    // when the walk ends there (cancelled, short read, too many reads).
    int64_t morceau(int64_t pos, int d, bool racine)
    {
        if (sortie_.annuleRapport()) {
            annule_ = true;
            return 0;
        }
        if (--lecturesRestantes_ < 0) {
            // Only lists whose children overlap make a walk read this much.
            ligne(I(d) + QStringLiteral(">>> Trop de chunks qui se chevauchent : fin de l'analyse"));
            arrete_ = true;
            return 0;
        }
        const auto h = r_.headerAt(pos);
        if (!h) {
            finInattendue_ = true;
            return 0;
        }
        if (racine && !(h->id == FourCC("RIFF"))) {
            ligne(QStringLiteral(">>>")
                  + Format(" Il y a %s octets de déchets à la fin du fichier", h8(r_.fileSize() - pos)));
            return kTailleEnTete;
        }
        if (!donneesDeFlux(h->id))
            ligne(I(d) + texte4(h->id) + QStringLiteral("  ") + h8(h->size));
        int64_t taille = ChunkHeader::paddedSize(h->size);
        const int64_t disponible = r_.bytesFrom(h->dataPosition());
        if (taille > disponible) {
            ligne(I(d) + QStringLiteral(">>> Mauvaise longueur du chunk:"));
            ligne(I(d) + QStringLiteral(">>> ")
                  + Format("%s au lieu de %s", h8(taille), h8(disponible)));
            taille = disponible;
        }
        const int64_t n = taille + kTailleEnTete;
        if (taille == 0)
            return n;
        // The data the chunk really holds: its stored size, within the file.
        const int64_t donnees = std::min<int64_t>(h->size, disponible);

        if (h->id == FourCC("RIFF") || h->id == FourCC("LIST")) {
            liste(*h, d, taille);
            return n;
        }
        if (h->id == FourCC("strh"))
            blocStrh(*h, d, donnees);
        else if (h->id == FourCC("avih"))
            blocAvih(*h, d, donnees);
        else if (h->id == FourCC("strf"))
            blocStrf(*h, d, donnees);
        else if (h->id == FourCC("indx") || h->id.startsWith("ix"))
            blocIndex(*h, d, donnees);
        return n;
    }

    void liste(const ChunkHeader& h, int d, int64_t taille)
    {
        const auto type = r_.fourccAt(h.dataPosition());
        if (!type) {
            finInattendue_ = true;
            return;
        }
        ligne(I(d) + texte4(*type));
        // Stream data holds no headers; skipping it keeps the report to the
        // headers whatever the clip's length.
        if (*type == FourCC("movi"))
            return;
        if (d + 1 > kProfondeurMaxRapport) {
            ligne(I(d) + QStringLiteral(">>> Trop de listes imbriquées : contenu non analysé"));
            return;
        }
        int64_t reste = taille - 4;
        int64_t pos = h.dataPosition() + 4;
        while (reste >= kTailleEnTete && !termine()) {
            const int64_t n = morceau(pos, d + 1, false);
            if (termine() || n > reste)
                break; // a child claiming more than its list holds ends the list
            reste -= n;
            pos += n;
        }
    }

    void blocStrh(const ChunkHeader& h, int d, int64_t donnees)
    {
        const auto b = bloc(h, donnees, TAvistream::kSize);
        if (!b)
            return;
        const TAvistream s = TAvistream::decode(b->data(), b->size());
        typeFlux_ = typeDe(s.fccType);
        static const char* const kTypes[] = {"(Vidéo)", "(Audio)", "(Entrelacé)", "(Inconnu)"};
        ligne(QString());
        titre(d, kTypes[int(typeFlux_)]);
        titre(d, "Début du AVI Stream Header");
        champ(d, "FourccType = ", texte4(s.fccType));
        champ(d, "FourccHandler = ", texte4(s.fccHandler));
        champ(d, "Flags = ", h8(s.dwFlags));
        champ(d, "Priority = ", decimal(s.wPriority));
        champ(d, "Language = ", h4(s.wLanguage));
        champ(d, "InitialFrames = ", decimal(s.dwInitialFrames));
        champ(d, "Scale = ", decimal(s.dwScale));
        champ(d, "Rate = ", decimal(s.dwRate));
        champ(d, "Start = ", decimal(s.dwStart));
        champ(d, "Length = ", decimal(s.dwLength));
        champ(d, "SuggestedBufferSize = ", decimal(s.dwSuggestedBufferSize));
        champ(d, "Quality = ", h8(s.dwQuality));
        champ(d, "SampleSize = ", decimal(s.dwSampleSize));
        champ(d, "rcFrame.Left = ", decimalSigne(s.rcLeft));
        champ(d, "rcFrame.Top = ", decimalSigne(s.rcTop));
        champ(d, "rcFrame.Right = ", decimalSigne(s.rcRight));
        champ(d, "rcFrame.Bottom = ", decimalSigne(s.rcBottom));
        titre(d, "Fin du AVI Stream Header");
        ligne(QString());
    }

    void blocAvih(const ChunkHeader& h, int d, int64_t donnees)
    {
        const auto b = bloc(h, donnees, AviMainHeader::kSize);
        if (!b)
            return;
        const AviMainHeader m = AviMainHeader::decode(b->data(), b->size());
        ligne(QString());
        titre(d, " Début du AVI Main Header ");
        champ(d, "MicroSecPerFrame = ", decimal(m.dwMicroSecPerFrame));
        champ(d, "MaxBytesPerSec = ", decimal(m.dwMaxBytesPerSec));
        champ(d, "PaddingGranularity = ", decimal(m.dwPaddingGranularity));
        champ(d, "Flags = ", h8(m.dwFlags));
        champ(d, "TotalFrames = ", decimal(m.dwTotalFrames));
        champ(d, "InitialFrames = ", decimal(m.dwInitialFrames));
        champ(d, "Streams = ", decimal(m.dwStreams));
        champ(d, "SuggestedBufferSize = ", decimal(m.dwSuggestedBufferSize));
        champ(d, "Width = ", decimal(m.dwWidth));
        champ(d, "Height = ", decimal(m.dwHeight));
        champ(d, "Reserved0 = ", h8(m.dwReserved[0]));
        champ(d, "Reserved1 = ", h8(m.dwReserved[1]));
        champ(d, "Reserved2 = ", h8(m.dwReserved[2]));
        champ(d, "Reserved3 = ", h8(m.dwReserved[3]));
        titre(d, " Fin du AVI Main Header ");
        ligne(QString());
    }

    void blocStrf(const ChunkHeader& h, int d, int64_t donnees)
    {
        switch (typeFlux_) {
        case TypeFlux::Video: {
            const auto b = bloc(h, donnees, BitmapInfoHeader::kSize);
            if (!b)
                return;
            const BitmapInfoHeader bi = BitmapInfoHeader::decode(b->data(), b->size());
            ligne(QString());
            titre(d, "Début du Stream Format Header");
            champ(d, "biSize = ", decimal(bi.biSize));
            champ(d, "biWidth = ", decimalSigne(bi.biWidth));
            champ(d, "biHeight = ", decimalSigne(bi.biHeight));
            champ(d, "biPlanes = ", decimal(bi.biPlanes));
            champ(d, "biBitCount = ", decimal(bi.biBitCount));
            champ(d, "biCompression = ", texte4(bi.biCompression));
            champ(d, "biSizeImage = ", decimal(bi.biSizeImage));
            champ(d, "biXPelsPerMeter = ", decimalSigne(bi.biXPelsPerMeter));
            champ(d, "biYPelsPerMeter = ", decimalSigne(bi.biYPelsPerMeter));
            champ(d, "biClrUsed = ", decimal(bi.biClrUsed));
            champ(d, "biClrImportant = ", decimal(bi.biClrImportant));
            // A type 2 DV format may carry the DV block after the bitmap header.
            const int64_t apres = donnees - int64_t(BitmapInfoHeader::kSize);
            const bool dv = bi.biCompression.equalsLower("dvsd") || bi.biCompression.equalsLower("dsvd")
                || bi.biCompression.equalsLower("csvd");
            if (apres >= int64_t(DvInfo::kSize) && dv) {
                std::vector<uint8_t> info(DvInfo::kSize);
                if (!r_.readAt(h.dataPosition() + int64_t(BitmapInfoHeader::kSize), info.data(), info.size())) {
                    finInattendue_ = true;
                    return;
                }
                blocDV(d, info.data());
            }
            titre(d, "Fin du AVI Stream Format");
            ligne(QString());
            return;
        }
        case TypeFlux::Audio: {
            const auto b = bloc(h, donnees, WaveFormatEx::kSize);
            if (!b)
                return;
            const WaveFormatEx w = WaveFormatEx::decode(b->data(), b->size());
            ligne(QString());
            titre(d, "Début du Stream Format Header");
            champ(d, "FormatTag = ", decimal(w.wFormatTag));
            champ(d, "Channels = ", decimal(w.nChannels));
            champ(d, "SamplesPerSec = ", decimal(w.nSamplesPerSec));
            champ(d, "AvgBytesPerSec = ", decimal(w.nAvgBytesPerSec));
            champ(d, "BlockAlign = ", decimal(w.nBlockAlign));
            champ(d, "BitsPerSample = ", decimal(w.wBitsPerSample));
            champ(d, "cbSize = ", decimal(w.cbSize));
            titre(d, "Fin du AVI Stream Format");
            ligne(QString());
            return;
        }
        case TypeFlux::Entrelace: {
            const auto b = bloc(h, donnees, DvInfo::kSize);
            if (!b)
                return;
            ligne(QString());
            blocDV(d, b->data());
            ligne(QString());
            return;
        }
        case TypeFlux::Autre:
            return;
        }
    }

    void blocDV(int d, const uint8_t* octets)
    {
        const DvInfo i = DvInfo::decode(octets, DvInfo::kSize);
        titre(d, "Début de DVInfo");
        champ(d, "DVAAuxSrc = ", h8(i.dwDVAAuxSrc));
        champ(d, "DVAAuxCtl = ", h8(i.dwDVAAuxCtl));
        champ(d, "DVAAuxSrc1 = ", h8(i.dwDVAAuxSrc1));
        champ(d, "DVAAuxCtl1 = ", h8(i.dwDVAAuxCtl1));
        champ(d, "DVVAuxSrc = ", h8(i.dwDVVAuxSrc));
        champ(d, "DVVAuxCtl = ", h8(i.dwDVVAuxCtl));
        champ(d, "DVReserved0 = ", h8(i.dwDVReserved[0]));
        champ(d, "DVReserved1 = ", h8(i.dwDVReserved[1]));
        titre(d, "Fin de DVINfo");
    }

    // The standard index header's labels, also for a super index, whose
    // words at those places are reserved.
    void blocIndex(const ChunkHeader& h, int d, int64_t donnees)
    {
        const auto b = bloc(h, donnees, AviIndexHeader::kSize);
        if (!b)
            return;
        const AviIndexHeader x = AviIndexHeader::decode(b->data(), b->size());
        ligne(QString());
        titre(d, "Début d'un Index");
        champ(d, "wLongsPerEntry = ", h4(x.wLongsPerEntry));
        champ(d, "bIndexSubType = ", decimal(x.bIndexSubType));
        champ(d, "bIndexType = ", decimal(x.bIndexType));
        champ(d, "nEntriesInUse = ", h8(x.nEntriesInUse));
        champ(d, "dwChunkId = ", texte4(x.dwChunkId));
        champ(d, "qwBaseOffset = ", h16(x.qwBaseOffset));
        champ(d, "dwReserved_3 = ", h8(x.dwReserved3));
        titre(d, "Fin de l'Index");
        ligne(QString());
    }

    const RiffReader r_;
    SortieRapportRiff& sortie_;
    int64_t lecturesRestantes_;
    bool annule_ = false;
    bool finInattendue_ = false;
    bool arrete_ = false;
    TypeFlux typeFlux_ = TypeFlux::Autre;
};

class SortieListe : public SortieRapportRiff {
public:
    QStringList lignes;
    void ajouterLigne(const QString& l) override { lignes << l; }
};

} // namespace

IssueRapportRiff EcrireRapportRiff(const ByteSource& source, const QString& chemin, const EnteteRapportRiff& entete,
                                   SortieRapportRiff& sortie)
{
    const QString tirets(kLargeurCadre, QLatin1Char('-'));
    const QChar etoile(QLatin1Char('*')), blanc(QLatin1Char(' ')), tiret(QLatin1Char('-'));
    sortie.ajouterLigne(tirets);
    sortie.ajouterLigne(QString());
    sortie.ajouterLigne(C({}, etoile, QStringLiteral("  ") + Format("En-tête du fichier %s", NomDeFichier(chemin)) + QStringLiteral("  ")));
    sortie.ajouterLigne(QString());
    sortie.ajouterLigne(C({}, blanc,
                          Format("analysée le %s à %s", FormatDateTime(QStringLiteral("d/mm/yyyy"), entete.maintenant),
                                 FormatDateTime(QStringLiteral("h:mm:ss"), entete.maintenant))));
    sortie.ajouterLigne(C({}, blanc, Format("par %s de %s version %s", "Korvan", "Brannoc", entete.version)));
    sortie.ajouterLigne(QString());
    sortie.ajouterLigne(C({}, blanc, QStringLiteral("Visitez mon site web:")));
    sortie.ajouterLigne(C({}, blanc, entete.siteWeb));
    sortie.ajouterLigne(QString());
    sortie.ajouterLigne(C({}, tiret, QStringLiteral("Début du RIFF Avi")));

    const IssueRapportRiff issue = Rapport(source, sortie).parcourir();

    sortie.ajouterLigne(QString());
    if (issue.annule) {
        sortie.ajouterLigne(C({}, tiret, QStringLiteral("Annulé par l'utilisateur")));
        sortie.ajouterLigne(QString());
    }
    if (issue.finInattendue) {
        sortie.ajouterLigne(C({}, blanc, QStringLiteral("Fin du fichier inattendue")));
        sortie.ajouterLigne(QString());
    }
    sortie.ajouterLigne(C({}, tiret, QStringLiteral(" Fin de l'en-tête ")));
    sortie.ajouterLigne(C({}, blanc, chemin));
    sortie.ajouterLigne(QString());
    sortie.ajouterLigne(tirets);
    return issue;
}

QStringList RapportRiff(const ByteSource& source, const QString& chemin, const EnteteRapportRiff& entete)
{
    SortieListe sortie;
    EcrireRapportRiff(source, chemin, entete, sortie);
    return sortie.lignes;
}

} // namespace korvan
