#include "analysis/aviFichier.h"

#include "analysis/DSFunctions.h"
#include "analysis/aviinfo.h"
#include "analysis/chemins.h"
#include "analysis/codec_dv.h"
#include "analysis/format_date.h"
#include "analysis/format_texte.h"
#include "analysis/fpsunit.h"
#include "analysis/systeme_dv.h"

#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>

namespace korvan {

namespace {

// Puts a file's handler code and its dates back as they were, whatever
// happens between the temporary write and the end of the retry.
class RestaurationCodec {
public:
    RestaurationCodec(const std::string& chemin, uint32_t code) : chemin_(chemin), code_(code)
    {
        struct stat st {};
        datesLues_ = ::stat(chemin.c_str(), &st) == 0;
        if (datesLues_) {
            dates_[0] = st.st_atim;
            dates_[1] = st.st_mtim;
        }
    }
    ~RestaurationCodec()
    {
        if (!actif_)
            return;
        for (int essai = 0; essai < 3 && !EcrireCodec(chemin_, code_); ++essai) {
        }
        if (datesLues_)
            ::utimensat(AT_FDCWD, chemin_.c_str(), dates_, 0);
    }
    void activer() { actif_ = true; }
    RestaurationCodec(const RestaurationCodec&) = delete;
    RestaurationCodec& operator=(const RestaurationCodec&) = delete;

private:
    std::string chemin_;
    uint32_t code_;
    bool actif_ = false;
    bool datesLues_ = false;
    struct timespec dates_[2] {};
};

} // namespace

int64_t ArrondiBancaire(double valeur)
{
    return int64_t(std::nearbyint(valeur)); // default rounding mode: halves to even
}

bool ContexteEntree::SondeParDefaut(const QString& chemin, TResultatSonde& resultat)
{
    return Sonder(CheminLocal(chemin), resultat);
}

// The file is opened once, for its stat and for every walk of its headers.
TaviFichier::TaviFichier(const QString& cheminDonne, const ContexteEntree& contexte)
    : TaviFichier(cheminDonne, contexte, std::make_shared<const SourceEntete>(CheminLocal(cheminDonne)))
{
}

TaviFichier::TaviFichier(const QString& cheminDonne, const ContexteEntree& contexte,
                         std::shared_ptr<const SourceEntete> source)
    : TSRFichier(cheminDonne, source->ouverte() ? &source->etat() : nullptr)
{
    texteDatecode = QStringLiteral("N/A");
    texteTimecode = QStringLiteral("N/A");
    cleDatecode = QString(QChar(kCleSansDatecode));
    standard = 0;
    const std::string scn = CheminLocal(ChangerExtension(chemin, QStringLiteral(".scn")));
    EtatFichier etatScn;
    aScenes = contexte.dossiers ? contexte.dossiers->existe(scn) : LireEtatFichier(scn, etatScn);

    if (source->ouverte()) {
        try {
            const TFriendlyAviParam avi(*source);
            valide = avi.valide;
            if (avi.valide) {
                codec = avi.CodecVideo().str();
            } else {
                marquerErreur();
            }
        } catch (const std::exception&) {
            marquerErreur();
            codec.clear();
        }
    } else {
        erreurOuverture = source->messageErreur();
        marquerErreur();
        codec.clear();
    }

    TResultatSonde r;
    sondeReussie = sonderAvecRepli(contexte, source, r);
    nombreFlux = r.nombreFlux;
    dureeVideo = r.dureeVideo;
    dureeAudio = r.dureeAudio;
    lireVideo(r);
    lireAudio(r);
    estDV = EstCodecDV(codec);
    if (estDV)
        lireDV(r, contexte.formatAfficher);
    cleDatecodeNom = cleDatecode + (nom + chemin).toLower();
}

void TaviFichier::marquerErreur()
{
    texteTimecode = QStringLiteral("Erreur");
    texteDatecode = QStringLiteral("Erreur");
    cleDatecode = QString(QChar(kCleIllisible));
}

// A probe that fails under the file's own handler code is tried once more
// as if the code were "dvsd"; the code (and the file's dates) are put back.
bool TaviFichier::sonderAvecRepli(const ContexteEntree& contexte, const std::shared_ptr<const SourceEntete>& source,
                                  TResultatSonde& r)
{
    const auto fonction = contexte.sonde ? contexte.sonde : ContexteEntree::FonctionSonde(&ContexteEntree::SondeParDefaut);
    // A probe that throws has failed: an entry is built whatever the file holds.
    const auto sonde = [&fonction](const QString& c, TResultatSonde& res,
                                   const std::shared_ptr<const ByteSource>& octets = nullptr) {
        try {
            return octets ? Sonder(octets, res) : fonction(c, res);
        } catch (const std::exception&) {
            return false;
        }
    };
    // The real probe reads the bytes already read; a replaced one, the path.
    const bool dejaLu = !contexte.sonde && source->ouverte();
    if (dejaLu ? sonde(chemin, r, source) : sonde(chemin, r))
        return true;
    const std::string local = CheminLocal(chemin);
    const std::optional<uint32_t> ancien = LireCodec(local);
    if (!ancien) {
        marquerErreur();
        return false;
    }
    const uint32_t codeSysteme = kCodecDVSysteme.value();
    if (*ancien == codeSysteme)
        return false;
    // The program's own probe fails only on what the handler code cannot
    // change (no AVI form, interleaved data without a DV frame): a retry
    // under "dvsd" would fail alike, and writing the user's file to learn
    // that risks leaving "dvsd" in it if the program is killed in between.
    if (!contexte.sonde) {
        marquerErreur();
        return false;
    }
    bool deuxieme = false;
    {
        RestaurationCodec restauration(local, *ancien);
        if (!EcrireCodec(local, codeSysteme)) {
            marquerErreur();
            return false;
        }
        restauration.activer();
        deuxieme = sonde(chemin, r);
    }
    if (!deuxieme)
        marquerErreur();
    return deuxieme;
}

void TaviFichier::lireVideo(const TResultatSonde& r)
{
    if (r.typeVideo.format.size() < VideoInfoHeader::kSize) {
        codec.clear();
        texteTaille = QStringLiteral("N/A");
        fps = 0;
        return;
    }
    const VideoInfoHeader vih = VideoInfoHeader::decode(r.typeVideo.format.data(), r.typeVideo.format.size());
    largeur = vih.bmiHeader.biWidth;
    hauteur = vih.bmiHeader.biHeight;
    texteTaille = QString::number(largeur) + QStringLiteral(" x ") + QString::number(hauteur);
    tempsParImage = vih.AvgTimePerFrame;
    debitVideo = vih.dwBitRate;
    if (tempsParImage > 0) {
        fps = double(ArrondiBancaire(1e9 / double(tempsParImage))) / 100.0;
        texteDuree = TexteDuree(r.dureeVideo, tempsParImage);
    } else {
        // No frame time: no frame rate nor frame count; the length still shows, in milliseconds.
        fps = 0;
        texteDuree = TexteDureeMs(r.dureeVideo);
    }
}

void TaviFichier::lireAudio(const TResultatSonde& r)
{
    if (r.typeAudio.format.size() < WaveFormatEx::kSize) {
        texteAudio = QStringLiteral("N/A");
        texteFormatAudio.clear();
        texteDureeAudio.clear();
        return;
    }
    const WaveFormatEx w = WaveFormatEx::decode(r.typeAudio.format.data(), r.typeAudio.format.size());
    texteAudio = QString::number(w.nSamplesPerSec) + QStringLiteral("Hz ");
    frequenceAudio = int32_t(w.nSamplesPerSec);
    bitsAudio = w.wBitsPerSample;
    if (w.wBitsPerSample > 0)
        texteAudio += QString::number(w.wBitsPerSample) + QStringLiteral(" bits ");
    switch (w.nChannels) {
    case 0: texteCanaux = QStringLiteral("aucun canal"); break;
    case 1: texteCanaux = QStringLiteral(" mono"); break;
    case 2: texteCanaux = QStringLiteral(" stéréo"); break;
    default: texteCanaux = QStringLiteral(" stéréo (") + QString::number(w.nChannels) + QLatin1Char(')');
    }
    texteAudio += texteCanaux;
    texteFormatAudio = NomFormatAudio(w.wFormatTag) + QLatin1Char(' ') + QString::number(w.nAvgBytesPerSec)
        + QStringLiteral(" octets/s");
    texteDureeAudio = fps != 0 ? TexteDuree(r.dureeAudio, ArrondiBancaire(1e7 / fps)) : TexteDureeMs(r.dureeAudio);
}

void TaviFichier::lireDV(const TResultatSonde& r, const QString& formatAfficher)
{
    if (r.typeEntrelace.format.size() >= DvInfo::kSize) {
        typeDV = r.nombreFlux >= 2 ? 2 : 1;
        vauxSource = DvInfo::decode(r.typeEntrelace.format.data(), r.typeEntrelace.format.size()).dwDVVAuxSrc;
        standard = SystemeSelon625(SourceVauxEstPal(vauxSource)).standard;
    } else {
        typeDV = 2;
        standard = SystemeSelonHauteur(hauteur).standard;
    }
    texteTaille += standard == kStandardPal ? QStringLiteral(" (Pal") : QStringLiteral(" (NTSC");

    format16x9 = r.format16x9Image;
    texteTaille += format16x9 ? QStringLiteral(" 16x9)") : QStringLiteral(" 4x3)");
    hauteur = format16x9 ? largeur * 9 / 16 : largeur * 3 / 4;

    const TDatecodeDV& d = r.datecodeImage;
    if (const std::optional<TDateTime> valeur = DateTimeDuDatecode(d)) {
        datecode = *valeur;
        texteDatecode = FormatDateTime(formatAfficher, datecode);
    } else {
        texteDatecode = QStringLiteral("N/A");
    }

    if (frequenceAudio == 32000 && bitsAudio == 16)
        texteAudio = QStringLiteral("32000") + QStringLiteral("Hz ") + QStringLiteral("12(16) bits ") + texteCanaux;

    const TTimecodeDV& t = r.timecodeImage;
    if (!t.present())
        texteTimecode = QStringLiteral("N/A");
    else
        texteTimecode = Format("%.2d.%.2d.%.2d.%.2d", t.heures, t.minutes, t.secondes, t.images);
    if (d.annee > 0)
        cleDatecode = Format("%.4d%.2d%.2d%.2d%.2d%.2d", d.annee, d.mois, d.jour, d.heure, d.minute, d.seconde);
    else
        cleDatecode = QString(QChar(kCleSansDatecode));
}

} // namespace korvan
