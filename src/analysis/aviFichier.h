#pragma once
// The file entry: everything the list, the information panel and the
// commands show or test about one clip, built once from its path and never
// changed (a changed file gets a new entry).
#include "analysis/SRFichier.h"
#include "analysis/buildlist.h"

#include <QString>
#include <functional>
#include <memory>
#include <string>

namespace korvan {

// Display date format used when none is given (the preference's default).
inline const QString kFormatAfficherDefaut = QStringLiteral("dd/mm/yyyy hh:nn:ss");

// How an entry is built: the date format of its datecode text and the media
// probe (replaceable in tests).
struct ContexteEntree {
    using FonctionSonde = std::function<bool(const QString& chemin, TResultatSonde& resultat)>;

    QString formatAfficher = kFormatAfficherDefaut;
    FonctionSonde sonde; // empty: the real probe
    // Folders listed beforehand, asked whether a clip has its scene file;
    // none: a stat of that file.
    std::shared_ptr<const NomsDossiers> dossiers;

    static bool SondeParDefaut(const QString& chemin, TResultatSonde& resultat);
};

// Characters of the datecode key that sort after every date.
inline constexpr char16_t kCleSansDatecode = 0xFA;
inline constexpr char16_t kCleIllisible = 0xFF;

class TaviFichier : public TSRFichier {
public:
    QString cleDatecode;
    QString texteDatecode;
    TDateTime datecode = 0;
    QString texteTimecode;
    std::string codec; // 4 bytes as stored, or empty
    int32_t typeDV = 0;
    QString texteTaille;
    int32_t largeur = 0;
    int32_t hauteur = 0;
    QString texteDuree;
    double fps = 0;
    QString texteAudio;
    QString texteDureeAudio;
    uint32_t vauxSource = 0;
    uint32_t debitVideo = 0;
    QString texteFormatAudio;
    uint8_t standard = 0; // 0 unknown, 1 PAL, 2 NTSC
    bool aScenes = false;
    bool estDV = false;
    bool format16x9 = false;
    int32_t frequenceAudio = 0;
    int32_t bitsAudio = 0;
    QString texteCanaux;
    QString cleDatecodeNom;

    // Facts of the reader and probe kept for callers that need them.
    bool valide = false;       // the container verdict
    int32_t nombreFlux = 0;
    bool sondeReussie = false;
    int64_t dureeVideo = 0;    // 100 ns
    int64_t dureeAudio = 0;
    int64_t tempsParImage = 0; // 100 ns, 0 when unknown
    // Why the file could not be opened for reading (as a FileError would
    // say it); empty when it was read.
    std::string erreurOuverture;

    // The codec as text (bytes as Latin-1).
    QString texteCodec() const { return QString::fromLatin1(codec.data(), qsizetype(codec.size())); }

protected:
    TaviFichier(const QString& cheminDonne, const ContexteEntree& contexte);

private:
    TaviFichier(const QString& cheminDonne, const ContexteEntree& contexte, std::shared_ptr<const SourceEntete> source);
    bool sonderAvecRepli(const ContexteEntree& contexte, const std::shared_ptr<const SourceEntete>& source,
                         TResultatSonde& r);
    void lireVideo(const TResultatSonde& r);
    void lireAudio(const TResultatSonde& r);
    void lireDV(const TResultatSonde& r, const QString& formatAfficher);
    void marquerErreur();
};

class TAfficherFichier : public TaviFichier {
public:
    explicit TAfficherFichier(const QString& chemin, const ContexteEntree& contexte = {})
        : TaviFichier(chemin, contexte)
    {
    }
};

// Banker's rounding as the program's rounding of halves.
int64_t ArrondiBancaire(double valeur);

} // namespace korvan
