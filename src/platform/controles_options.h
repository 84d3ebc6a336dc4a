#pragma once
// The options panel as data: each control that edits a setting, with its page,
// caption and the moment its change reaches the setting; the handlers of those
// controls; the steps that push loaded settings into the window and the panel,
// and those that take them back before a save. The panel's widgets implement
// ControlesOptions and call EvenementOptions; all the rules live here, where
// tests reach them without a display.
#include <QString>

#include <cstdint>
#include <span>

namespace korvan {

class BoiteMessage;

enum class PageOptions : uint8_t { Preferences, Commandes, Formats, Dossiers };

// The controls bound to a setting, under their names in the panel.
enum class ControleOptions : uint8_t {
    cbPrefsQuittant,
    cbSendTo,
    cbSelection,
    cbListe,
    rgStandard,
    feFichierStillex,
    cbAutoIncrust,
    edDureeIncrust,
    RxSpinEdit1,
    sbIncrustFont,
    cbAutoFontSize,
    edAjouter,
    edAfficher,
    edRacine,
    edRenommer,
    edDossierOuvrir,
    edDossierAuto,
    edDossierPlayList,
    cbsameFolder,
    edDossierSave,
};

enum class GenreControle : uint8_t {
    Case,     // check box
    Choix,    // radio group: the item's index
    Texte,    // line edit
    Dossier,  // line edit with a folder dialog
    Fichier,  // line edit with a file dialog
    Entier,   // line edit holding a whole number (the overlay duration)
    Decalage, // spin box from -23 to 23
    Police,   // button opening the font dialog
};

// When a change in the control reaches its setting.
enum class MomentEffet : uint8_t {
    AuClic,              // at each click
    EnQuittant,          // when the box is left
    EnQuittantOuDialogue, // when the box is left or a folder is chosen in its dialog
    EnQuittantOuClic,    // when the box is left or its arrows are clicked
    ApresDialogue,       // after the font dialog
    ALaLecture,          // the list reads the box itself at each added file
    AuRecueil,           // only when the settings are collected
};

struct DescripteurControle {
    ControleOptions controle;
    const char* nom;     // the control's name in the panel
    PageOptions page;
    GenreControle genre;
    const char* legende; // UTF-8; empty when the control has none of its own
    MomentEffet moment;
    bool incrustation;   // in the "Incrustation" group, shown only with the overlay filters
};

// Every bound control, in the panel's order (page by page, top to bottom).
std::span<const DescripteurControle> descripteursOptions();
const DescripteurControle& descripteur(ControleOptions controle);

// What a change of an overlay setting asks of the preview's overlay filters.
enum class ReglageApercu : uint8_t {
    Police,     // font chosen (or the dialog cancelled)
    TailleAuto, // automatic size ticked or cleared
    IncrustAuto, // automatic inlay ticked or cleared, duration edited
    Decalage,   // hour offset edited
    Format,     // display format edited
};

// The panel's controls as the rules see them.
class ControlesOptions {
public:
    virtual ~ControlesOptions() = default;
    // Check boxes. Setting a state that differs from the box's runs the box's
    // handler (EvenementOptions), as a click would.
    virtual bool coche(ControleOptions c) const = 0;
    virtual void cocher(ControleOptions c, bool etat) = 0;
    // The text of a box (texts, folders, file names, the duration); setting it
    // runs no handler.
    virtual QString texte(ControleOptions c) const = 0;
    virtual void ecrireTexte(ControleOptions c, const QString& texte) = 0;
    // The item index of rgStandard, the value of RxSpinEdit1; setting it runs no handler.
    virtual double valeur(ControleOptions c) const = 0;
    virtual void ecrireValeur(ControleOptions c, double valeur) = 0;
    virtual void activer(ControleOptions c, bool actif) = 0;
    // Where a folder box's dialog opens.
    virtual void dossierDepart(ControleOptions c, const QString& dossier) = 0;
    // Sends a changed overlay setting to the preview, which redraws its still
    // picture; dureeIncrust is the duration box's number of seconds.
    virtual void majApercu(ReglageApercu reglage, int dureeIncrust) = 0;
};

// The handler of a control for its event (click, box left, folder chosen,
// font dialog closed): the setting it edits, the controls it enables, the
// Send To entry, the preview's filters. Controls whose setting is only
// collected have none.
void EvenementOptions(ControleOptions controle, ControlesOptions& ui);

// Folder boxes: the typed folder with a path separator at its end. An empty
// box gives the user's documents folder, as an empty stored folder does at
// the next start.
QString dossierSaisi(const QString& texte);
// The duration box: its text as a whole number, 5 when it is not one.
int dureeSaisie(const QString& texte);
// The hour offset box: its value rounded to the nearest hour, within -23..23.
int decalageSaisi(double valeur);

// The steps that push freshly loaded settings into the window, in order.
enum class EtapeAppliquer : uint8_t {
    Charger,              // load the settings
    PlacerFenetre,        // the main window at prefTop, prefLeft
    SeparateursDossiers,  // the four folders end with a separator
    PositionIncrustation, // the preview's overlay sliders
    Son,                  // a stored "sound off" applied by the sound command
    LegendeDatecode,      // the overlay command's caption
    BarresIncrustation,   // the sliders shown only when wanted and possible
    RemplirPanneau,       // the options panel (RemplirPanneauOptions)
};
std::span<const EtapeAppliquer> etapesAppliquerPreferences();

// The steps that take the settings back from the panel and the window, then save.
enum class EtapeRecueillir : uint8_t {
    Panneau,              // RecueillirPanneauOptions
    PositionFenetre,      // prefLeft, prefTop
    Commandes,            // etatActions from the "Commandes" list
    PositionIncrustation, // prefIncrustX, prefIncrustY from the sliders
    Sauver,               // SauverPreferences
};
std::span<const EtapeRecueillir> etapesRecueillirPreferences();

// Appends a path separator to the four folder settings where missing.
void AjouterSeparateursDossiers();

// Fills the panel from the settings, in the fixed order: a save folder that
// no longer exists sets prefMemeDossier while its box keeps the stored state,
// and the Send To box's handler creates or removes the entry.
void RemplirPanneauOptions(ControlesOptions& ui);
// Takes every setting the panel edits from its controls.
void RecueillirPanneauOptions(const ControlesOptions& ui);

// "Effacer les préférences": the box "Sauver les préférences en quittant"
// unticked first, then the erasure asked, then prefSauverPrefsEnQuittant
// cleared whatever the answer, so that nothing is written back at exit.
void EffacerPreferencesOptions(ControlesOptions& ui, BoiteMessage& boite);

// The group "Incrustation" replaced, without the overlay filters, by this text.
QString TexteSansIncrustation();

} // namespace korvan
