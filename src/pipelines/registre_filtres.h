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

// The friendly names the presence check looks up.
namespace nomFiltre {
inline constexpr char sourceFichier[] = "File Source (Async.)";
inline constexpr char ecritureFichier[] = "File writer";
inline constexpr char separateurAvi[] = "AVI Splitter";
inline constexpr char separateurDv[] = "DV Splitter";
inline constexpr char multiplexeurDv[] = "DV Muxer";
inline constexpr char multiplexeurAvi[] = "AVI Mux";
inline constexpr char decodeurDv[] = "DV Video Decoder";
inline constexpr char encodeurDv[] = "DV Video Encoder";      // a video compressor
inline constexpr char conversionAudio[] = "ACM Wrapper";
inline constexpr char te[] = "Infinite Pin Tee Filter";
inline constexpr char rienAfficher[] = "Null Renderer";
inline constexpr char conversionCouleur[] = "Color Space Converter"; // never looked up
inline constexpr char sortieAudio[] = "Default DirectSound Device"; // an audio renderer
inline constexpr char ecritureWav[] = "WAV Dest";
inline constexpr char desentrelaceur[] = "Pinnacle Video Deinterlacer";
inline constexpr char superposer[] = "Brannoc Superposer3";
inline constexpr char datecoder[] = "Brannoc Datecoder2";
inline constexpr char dvHeader[] = "Brannoc DVHeader";
inline constexpr char timeStamper[] = "Brannoc TimeStamper";
} // namespace nomFiltre

// Keys of the code that makes each role's filter; a component's identity
// holds one of them.
namespace implementation {
inline constexpr char sourceFichier[] = "avio:file:lecture";
inline constexpr char ecritureFichier[] = "avio:file:ecriture";
inline constexpr char separateurAvi[] = "avformat:demuxer:avi";
inline constexpr char separateurDv[] = "avformat:demuxer:dv";
inline constexpr char multiplexeurDv[] = "avformat:muxer:dv";
inline constexpr char multiplexeurAvi[] = "avformat:muxer:avi";
inline constexpr char decodeurDv[] = "avcodec:decoder:dvvideo";
inline constexpr char encodeurDv[] = "avcodec:encoder:dvvideo";
inline constexpr char conversionAudio[] = "swresample:pcm_s16le";
inline constexpr char conversionCouleur[] = "swscale:rgb32";
inline constexpr char te[] = "korvan:te";
inline constexpr char rienAfficher[] = "korvan:null";
inline constexpr char captureImages[] = "korvan:capture-images";
inline constexpr char ecritureWav[] = "avformat:muxer:wav";
inline constexpr char desentrelaceurYadif[] = "avfilter:yadif";
inline constexpr char desentrelaceurBwdif[] = "avfilter:bwdif";
inline constexpr char sortieAudioParDefaut[] = "qtmultimedia:sortie-audio:defaut";
inline constexpr char prefixeSortieAudio[] = "qtmultimedia:sortie-audio:"; // + the device id
inline constexpr char superposer[] = "korvan:superposer3";
inline constexpr char datecoder[] = "korvan:datecoder2";
inline constexpr char dvHeader[] = "korvan:dvheader";
inline constexpr char timeStamper[] = "korvan:timestamper";
} // namespace implementation

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
