#pragma once
// The filters this machine offers the pipelines, each under the friendly
// name and category a presence check looks for. The program's own roles
// (file source and writer, splitters, muxers, DV decoder and encoder, audio
// conversion, tee, null renderer, WAV writer, deinterlacer, audio output and
// the four overlay components) are registered when their implementation can
// run here: the media libraries were built with the part it needs, or Qt
// Multimedia sees an audio output.
//
// For tests and diagnosis the environment variable KORVAN_FILTRES_ABSENTS
// lists friendly names, separated by ";", that are left out as if missing,
// for example KORVAN_FILTRES_ABSENTS="WAV Dest;DV Splitter". Names compare as
// the presence check compares them (letter case ignored).
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace korvan {

enum class CategorieFiltre { FiltresDirectShow, CompresseursVideo, RendusAudio };

// "DirectShow filters", "Video compressors", "Audio renderers".
QString nomCategorie(CategorieFiltre categorie);

// The deinterlacing filter libavfilter offers: "yadif", else "bwdif"; empty without either.
QString DesentrelaceurMachine();

struct SortieAudio {
    QString id;
    QString description;
};

// What the machine's media libraries and devices offer the roles.
struct CapacitesMachine {
    bool lectureFichier = false;
    bool ecritureFichier = false;
    bool demuxeurAvi = false;
    bool demuxeurDv = false;
    bool muxeurDv = false;
    bool muxeurAvi = false;
    bool muxeurWav = false;
    bool decodeurDv = false;
    bool encodeurDv = false;
    bool conversionAudio = false;
    bool conversionCouleur = false;
    QString desentrelaceur;           // "yadif" or "bwdif"; empty without either
    bool sortieAudioParDefaut = false;
    std::vector<SortieAudio> sortiesAudio;

    // Asks libavcodec, libavformat, libavfilter, libswresample, libswscale and
    // Qt Multimedia (which needs the application object).
    static CapacitesMachine detecter();
};

// One filter the program's graphs use: the friendly name and category the
// presence check looks it up by, the key of the code that makes it (the
// built-in identity of the components that hold it), and what the machine
// must offer for it to be registered.
struct RoleFiltre {
    const char* nomConvivial;
    CategorieFiltre categorie;
    const char* implementation;
    // The part of the media libraries or devices it needs; nullptr: none (the
    // program's own code, always there).
    bool CapacitesMachine::*capacite = nullptr;
    // Why it is missing; nullptr: said from the implementation key (a part
    // of libavformat or libavcodec).
    const char* raison = nullptr;
    // Or the name of the filter the machine chose for it (needed): the
    // implementation is then that filter of the same library.
    QString CapacitesMachine::*choix = nullptr;
};

namespace roles {
constexpr auto filtres = CategorieFiltre::FiltresDirectShow;
using C = CapacitesMachine;
inline constexpr RoleFiltre sourceFichier{"File Source (Async.)", filtres, "avio:file:lecture", &C::lectureFichier,
                                          "libavformat ne lit pas les fichiers (protocole file)"};
inline constexpr RoleFiltre ecritureFichier{"File writer", filtres, "avio:file:ecriture", &C::ecritureFichier,
                                            "libavformat n'écrit pas les fichiers (protocole file)"};
inline constexpr RoleFiltre separateurAvi{"AVI Splitter", filtres, "avformat:demuxer:avi", &C::demuxeurAvi};
inline constexpr RoleFiltre separateurDv{"DV Splitter", filtres, "avformat:demuxer:dv", &C::demuxeurDv};
inline constexpr RoleFiltre multiplexeurDv{"DV Muxer", filtres, "avformat:muxer:dv", &C::muxeurDv};
inline constexpr RoleFiltre multiplexeurAvi{"AVI Mux", filtres, "avformat:muxer:avi", &C::muxeurAvi};
inline constexpr RoleFiltre decodeurDv{"DV Video Decoder", filtres, "avcodec:decoder:dvvideo", &C::decodeurDv};
inline constexpr RoleFiltre encodeurDv{"DV Video Encoder", CategorieFiltre::CompresseursVideo,
                                       "avcodec:encoder:dvvideo", &C::encodeurDv};
inline constexpr RoleFiltre conversionAudio{"ACM Wrapper", filtres, "swresample:pcm_s16le", &C::conversionAudio,
                                            "libswresample ou l'encodeur pcm_s16le manque"};
inline constexpr RoleFiltre te{"Infinite Pin Tee Filter", filtres, "korvan:te"};
inline constexpr RoleFiltre rienAfficher{"Null Renderer", filtres, "korvan:null"};
// Registered, never looked up.
inline constexpr RoleFiltre conversionCouleur{"Color Space Converter", filtres, "swscale:rgb32", &C::conversionCouleur,
                                              "libswscale ne convertit pas les images DV en RGB"};
inline constexpr RoleFiltre sortieAudio{"Default DirectSound Device", CategorieFiltre::RendusAudio,
                                        "qtmultimedia:sortie-audio:defaut", &C::sortieAudioParDefaut,
                                        "Qt Multimedia ne voit aucune sortie audio"};
inline constexpr RoleFiltre ecritureWav{"WAV Dest", filtres, "avformat:muxer:wav", &C::muxeurWav};
inline constexpr RoleFiltre desentrelaceur{"Pinnacle Video Deinterlacer", filtres, "avfilter:yadif", nullptr,
                                           "libavfilter n'a ni yadif ni bwdif", &C::desentrelaceur};
inline constexpr RoleFiltre superposer{"Brannoc Superposer3", filtres, "korvan:superposer3"};
inline constexpr RoleFiltre datecoder{"Brannoc Datecoder2", filtres, "korvan:datecoder2"};
inline constexpr RoleFiltre dvHeader{"Brannoc DVHeader", filtres, "korvan:dvheader"};
inline constexpr RoleFiltre timeStamper{"Brannoc TimeStamper", filtres, "korvan:timestamper"};
} // namespace roles

// Every role, in the order the registry enumerates them.
inline constexpr const RoleFiltre* rolesFiltres[] = {
    &roles::sourceFichier, &roles::ecritureFichier, &roles::separateurAvi,   &roles::separateurDv,
    &roles::multiplexeurDv, &roles::multiplexeurAvi, &roles::decodeurDv,     &roles::encodeurDv,
    &roles::conversionAudio, &roles::te,            &roles::rienAfficher,    &roles::conversionCouleur,
    &roles::sortieAudio,   &roles::ecritureWav,     &roles::desentrelaceur,  &roles::superposer,
    &roles::datecoder,     &roles::dvHeader,        &roles::timeStamper,
};

// Each audio output device is an audio renderer of its own, after the
// default one, made by this key followed by the device id.
inline constexpr char kPrefixeSortieAudio[] = "qtmultimedia:sortie-audio:";

struct EntreeRegistre {
    QString nomConvivial;
    CategorieFiltre categorie = CategorieFiltre::FiltresDirectShow;
    QString implementation;
};

// One known role and whether this machine offers it: detail is the
// implementation key when present, the reason when absent.
struct ConstatFiltre {
    QString nomConvivial;
    CategorieFiltre categorie = CategorieFiltre::FiltresDirectShow;
    bool present = false;
    QString detail;
};

inline constexpr char kVariableFiltresAbsents[] = "KORVAN_FILTRES_ABSENTS";

// The names of a KORVAN_FILTRES_ABSENTS value: split at ";", trimmed, empty
// names dropped.
QStringList nomsFiltresAbsents(const QString& valeur);

// Friendly names compare ignoring letter case, in the user's locale.
bool memeNomFiltre(const QString& a, const QString& b);

class RegistreFiltres {
public:
    // Entries enumerate in the order they were registered.
    void inscrire(const EntreeRegistre& entree);
    // Takes out every entry of that name, in any category; returns how many.
    int retirer(const QString& nomConvivial, const QString& raison);
    void noterManquant(const QString& nomConvivial, CategorieFiltre categorie, const QString& raison);

    std::vector<EntreeRegistre> enumerer(CategorieFiltre categorie) const;
    const std::vector<EntreeRegistre>& entrees() const { return entrees_; }
    // Every role registered or found missing, in the order they were met.
    const std::vector<ConstatFiltre>& constats() const { return constats_; }

    // The program's roles the capacities allow, less the names listed absent.
    static RegistreFiltres integre(const CapacitesMachine& capacites, const QStringList& absents);
    // This machine's: detected capacities, KORVAN_FILTRES_ABSENTS.
    static RegistreFiltres machine();

private:
    std::vector<EntreeRegistre> entrees_;
    std::vector<ConstatFiltre> constats_;
};

} // namespace korvan
