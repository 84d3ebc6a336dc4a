#pragma once
// The filter components of the four graph modules, the start-up check that
// finds each filter in the registry and binds its component to it, the
// presence flags it leaves for the rest of the program, and the report lines
// that tell them.
#include "pipelines/registre_filtres.h"

#include <QString>

#include <bitset>
#include <cstdint>
#include <optional>
#include <vector>

namespace korvan {

// What a component makes its filter from. A built-in identity names an
// implementation only; one bound by a presence check also says under which
// name and category the filter was found.
struct IdentiteFiltre {
    QString implementation; // a RoleFiltre implementation key; empty: none yet
    QString nomTrouve;
    std::optional<CategorieFiltre> categorieTrouvee;

    bool estVide() const { return implementation.isEmpty(); }
    bool estLiee() const { return categorieTrouvee.has_value(); }
};

struct ComposantFiltre {
    IdentiteFiltre identite;
    // What the presence check looks it up as; nullptr: never looked up.
    const RoleFiltre* role = nullptr;
};

// A component of that role with the role's implementation as its built-in identity.
ComposantFiltre composantIntegre(const RoleFiltre& role);

// The sample grabbers' code, made directly by the modules (no filter to look up).
inline constexpr char kCaptureImages[] = "korvan:capture-images";

// Conversion module.
struct ComposantsCdm {
    ComposantFiltre source, destination, avisplitter, dvsplitter, dvmuxer, avimux, acmwrapper, Dvdec, Deinterlacer,
        DVenc, superposer, datecoder, infinite, WAVDest, null, DVheader;
};

// Preview module.
struct ComposantsViewdm {
    ComposantFiltre source, avisplitter, dvsplitter, Dvdecoder, color, infinite0, infinite, nullrender, sg, Superposer,
        datecoder, ts, TsNoTime, audiorender;
};

// Media probe module.
struct ComposantsDm {
    ComposantFiltre source, avisplitter, dvsplitter, nullrender, sg;
};

// Scene detection module.
struct ComposantsDmScenes {
    ComposantFiltre source, splitter, null, sg;
};

// Every component starts with its built-in identity.
struct CatalogueFiltres {
    CatalogueFiltres();

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

// The presence flags, in the order the report tells them: four groups of
// filters and the overlay's, then the filters from outside the program.
enum class DrapeauFiltre : uint8_t {
    okConversion,
    okListe,
    okVisualisation,
    okScenes,
    okIncrustation,
    okDesentrelaceur,
    okSuperposer,
    okDatecoder,
    okDVHeader,
    okTimeStamper,
    okWavDest,
};
inline constexpr size_t kNombreDrapeauxFiltres = 11;

// The eleven flags, all false until a check sets them.
class DrapeauxFiltres {
public:
    bool operator[](DrapeauFiltre d) const { return bits_.test(size_t(d)); }
    void poser(DrapeauFiltre d, bool present) { bits_.set(size_t(d), present); }
    static DrapeauxFiltres tous();

    bool okConversion() const { return (*this)[DrapeauFiltre::okConversion]; }
    bool okListe() const { return (*this)[DrapeauFiltre::okListe]; }
    bool okVisualisation() const { return (*this)[DrapeauFiltre::okVisualisation]; }
    bool okScenes() const { return (*this)[DrapeauFiltre::okScenes]; }
    bool okIncrustation() const { return (*this)[DrapeauFiltre::okIncrustation]; }
    bool okDesentrelaceur() const { return (*this)[DrapeauFiltre::okDesentrelaceur]; }
    bool okSuperposer() const { return (*this)[DrapeauFiltre::okSuperposer]; }
    bool okDatecoder() const { return (*this)[DrapeauFiltre::okDatecoder]; }
    bool okDVHeader() const { return (*this)[DrapeauFiltre::okDVHeader]; }
    bool okTimeStamper() const { return (*this)[DrapeauFiltre::okTimeStamper]; }
    bool okWavDest() const { return (*this)[DrapeauFiltre::okWavDest]; }

    bool operator==(const DrapeauxFiltres&) const = default;

private:
    std::bitset<kNombreDrapeauxFiltres> bits_;
};

// Every check in its fixed order; a group's chain stops at its first miss,
// so later members of the chain are not looked up and keep their identities.
DrapeauxFiltres VerifierFiltres(const RegistreFiltres& registre, CatalogueFiltres& catalogue);
// The program's check, run once when the main window is first shown: this
// machine's registry (KORVAN_FILTRES_ABSENTS honoured) into the program's
// components. Keeps the flags for drapeauxFiltres() and returns them. Needs
// the application object (audio devices).
const DrapeauxFiltres& VerifierFiltres();
// The flags the program's check left; all false before it runs.
const DrapeauxFiltres& drapeauxFiltres();

struct LigneRapportFiltres {
    const char* drapeau; // "okConversion", ...
    QString texte;
    bool present;        // written in black; in red when false
};

// The eleven lines of the system report, in their order.
std::vector<LigneRapportFiltres> RapportFiltres(const DrapeauxFiltres& drapeaux);
std::vector<LigneRapportFiltres> RapportFiltres();

} // namespace korvan
