#pragma once
// The filter components of the four graph modules, the start-up check that
// finds each filter in the registry and binds its component to it, the
// presence flags it leaves for the rest of the program, and the report lines
// that tell them.
#include "pipelines/registre_filtres.h"

#include <QString>

#include <optional>
#include <vector>

namespace korvan {

// What a component makes its filter from. A built-in identity names an
// implementation only; one bound by a presence check also says under which
// name and category the filter was found.
struct IdentiteFiltre {
    QString implementation; // an implementation:: key; empty: none yet
    QString nomTrouve;
    std::optional<CategorieFiltre> categorieTrouvee;

    bool estVide() const { return implementation.isEmpty(); }
    bool estLiee() const { return categorieTrouvee.has_value(); }
};

struct ComposantFiltre {
    QString nom; // module and member, e.g. "TCdm.source"
    IdentiteFiltre identite;
};

// A component with its built-in identity (an empty one when the check alone gives it one).
inline ComposantFiltre composantIntegre(const char* nom, const char* implementation = "")
{
    return {QString::fromLatin1(nom), {QString::fromLatin1(implementation), {}, std::nullopt}};
}

// The members below start with their built-in identities.

// Conversion module.
struct ComposantsCdm {
    ComposantFiltre source = composantIntegre("TCdm.source", implementation::sourceFichier);
    ComposantFiltre destination = composantIntegre("TCdm.destination", implementation::ecritureFichier);
    ComposantFiltre avisplitter = composantIntegre("TCdm.avisplitter", implementation::separateurAvi);
    ComposantFiltre dvsplitter = composantIntegre("TCdm.dvsplitter", implementation::separateurDv);
    ComposantFiltre dvmuxer = composantIntegre("TCdm.dvmuxer", implementation::multiplexeurDv);
    ComposantFiltre avimux = composantIntegre("TCdm.avimux", implementation::multiplexeurAvi);
    ComposantFiltre acmwrapper = composantIntegre("TCdm.acmwrapper", implementation::conversionAudio);
    ComposantFiltre Dvdec = composantIntegre("TCdm.Dvdec", implementation::decodeurDv);
    ComposantFiltre Deinterlacer = composantIntegre("TCdm.Deinterlacer", implementation::desentrelaceurYadif);
    ComposantFiltre DVenc = composantIntegre("TCdm.DVenc", implementation::encodeurDv);
    ComposantFiltre superposer = composantIntegre("TCdm.superposer"); // only the check gives it one
    ComposantFiltre datecoder = composantIntegre("TCdm.datecoder");   // same
    ComposantFiltre infinite = composantIntegre("TCdm.infinite", implementation::te);
    ComposantFiltre WAVDest = composantIntegre("TCdm.WAVDest", implementation::ecritureWav);
    ComposantFiltre null = composantIntegre("TCdm.null", implementation::rienAfficher);
    ComposantFiltre DVheader = composantIntegre("TCdm.DVheader", implementation::dvHeader);
};

// Preview module.
struct ComposantsViewdm {
    ComposantFiltre source = composantIntegre("Tviewdm.source", implementation::sourceFichier);
    ComposantFiltre avisplitter = composantIntegre("Tviewdm.avisplitter", implementation::separateurAvi);
    ComposantFiltre dvsplitter = composantIntegre("Tviewdm.dvsplitter", implementation::separateurDv);
    ComposantFiltre Dvdecoder = composantIntegre("Tviewdm.Dvdecoder", implementation::decodeurDv);
    ComposantFiltre color = composantIntegre("Tviewdm.color", implementation::conversionCouleur);
    ComposantFiltre infinite0 = composantIntegre("Tviewdm.infinite0", implementation::te);
    ComposantFiltre infinite = composantIntegre("Tviewdm.infinite", implementation::te);
    ComposantFiltre nullrender = composantIntegre("Tviewdm.nullrender", implementation::rienAfficher);
    ComposantFiltre sg = composantIntegre("Tviewdm.sg", implementation::captureImages);
    ComposantFiltre Superposer = composantIntegre("Tviewdm.Superposer", implementation::superposer);
    ComposantFiltre datecoder = composantIntegre("Tviewdm.datecoder", implementation::datecoder);
    ComposantFiltre ts = composantIntegre("Tviewdm.ts", implementation::timeStamper);
    ComposantFiltre TsNoTime = composantIntegre("Tviewdm.TsNoTime", implementation::timeStamper);
    ComposantFiltre audiorender = composantIntegre("Tviewdm.audiorender", implementation::sortieAudioParDefaut);
};

// Media probe module.
struct ComposantsDm {
    ComposantFiltre source = composantIntegre("Tdm.source", implementation::sourceFichier);
    ComposantFiltre avisplitter = composantIntegre("Tdm.avisplitter", implementation::separateurAvi);
    ComposantFiltre dvsplitter = composantIntegre("Tdm.dvsplitter", implementation::separateurDv);
    ComposantFiltre nullrender = composantIntegre("Tdm.nullrender", implementation::rienAfficher);
    ComposantFiltre sg = composantIntegre("Tdm.sg", implementation::captureImages);
};

// Scene detection module.
struct ComposantsDmScenes {
    ComposantFiltre source = composantIntegre("TdmScenes.source", implementation::sourceFichier);
    ComposantFiltre splitter = composantIntegre("TdmScenes.splitter", implementation::separateurAvi);
    ComposantFiltre null = composantIntegre("TdmScenes.null", implementation::rienAfficher);
    ComposantFiltre sg = composantIntegre("TdmScenes.sg", implementation::captureImages);
};

struct CatalogueFiltres {
    ComposantsCdm cdm;
    ComposantsViewdm viewdm;
    ComposantsDm dm;
    ComposantsDmScenes dmScenes;
};

// The program's components, which the graph modules build their filters from.
CatalogueFiltres& catalogueFiltres();

// A filter of the selected category as the enumerator keeps it.
struct FiltreEnumere {
    QString nomConvivial; // at most 255 characters
    QString implementation;
};

// The shared enumerator of one presence check: selecting a category keeps
// the list of its filters, in enumeration order.
class EnumerateurFiltres {
public:
    explicit EnumerateurFiltres(const RegistreFiltres& registre) : registre_(registre) {}
    void selectionnerCategorie(CategorieFiltre categorie);
    std::optional<CategorieFiltre> categorie() const { return categorie_; }
    const std::vector<FiltreEnumere>& liste() const { return liste_; }
    // The filter at that place of a fresh enumeration of the selected category.
    std::optional<FiltreEnumere> reenumererJusqua(size_t position) const;

private:
    const RegistreFiltres& registre_;
    std::optional<CategorieFiltre> categorie_;
    std::vector<FiltreEnumere> liste_;
};

// Looks the friendly name up in the selected category, from the last kept
// filter to the first (the last of equal names wins); when found, binds the
// component to it and returns true; otherwise the component is left as it was.
bool FiltrePresent(EnumerateurFiltres& enumerateur, const QString& nomConvivial, ComposantFiltre& composant);

struct DrapeauxFiltres {
    bool okDesentrelaceur = false;
    bool okSuperposer = false;
    bool okDatecoder = false;
    bool okDVHeader = false;
    bool okTimeStamper = false;
    bool okWavDest = false;
    bool okConversion = false;
    bool okListe = false;
    bool okVisualisation = false;
    bool okScenes = false;
    bool okIncrustation = false;

    bool operator==(const DrapeauxFiltres&) const = default;
};

// Set once by VerifierFiltres() when the main window is first shown; false before.
extern bool okDesentrelaceur;
extern bool okSuperposer;
extern bool okDatecoder;
extern bool okDVHeader;
extern bool okTimeStamper;
extern bool okWavDest;
extern bool okConversion;
extern bool okListe;
extern bool okVisualisation;
extern bool okScenes;
extern bool okIncrustation;

// Every check in its fixed order; a group's chain stops at its first miss,
// so later members of the chain are not looked up and keep their identities.
DrapeauxFiltres VerifierFiltres(const RegistreFiltres& registre, CatalogueFiltres& catalogue);
// The program's check: this machine's registry, the program's components,
// and the eleven flags above. Needs the application object (audio devices).
void VerifierFiltres();
// The eleven flags above, as one value.
DrapeauxFiltres drapeauxFiltres();

struct LigneRapportFiltres {
    const char* drapeau; // "okConversion", ...
    QString texte;
    bool present;        // written in black; in red when false
};

// The eleven lines of the system report, in their order.
std::vector<LigneRapportFiltres> RapportFiltres(const DrapeauxFiltres& drapeaux);
std::vector<LigneRapportFiltres> RapportFiltres();

} // namespace korvan
