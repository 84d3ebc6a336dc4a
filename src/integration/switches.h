#pragma once
// The command line: files given to the program are added to the list, and
// each switch letter runs the file command that owns it (its Switch) over the
// list. The fixed letters steer the run: "c" closes the program after the
// commands, "h" runs everything at once with no window and closes, "m" asks
// no questions, "?" opens the about panel instead of running anything.
//
// Commands run in the order: argument, then command in action-list order,
// then list line; each entry listed when a switch starts is treated at most
// once by that switch, wherever its own update moves it, and entries the
// switch adds (a conversion's output) are not treated by it.
#include "commands/FileAction.h"
#include "commands/interfaces_fenetre.h"
#include "integration/arguments_switches.h"
#include "platform/boite_message.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace korvan {

class ExecuteurCommandes;
class TableActions;

// One switch and the window action whose command it runs.
struct PaireSwitch {
    QString texte;  // lower case
    QString action; // the action's name; its command is CommandeDeAction(action)
    // False when the action runs nothing in this version (ActionLiee): the
    // letter is then refused with a message rather than doing nothing.
    bool disponible = true;
    QString caption; // the action's, named in that message
    bool operator==(const PaireSwitch&) const = default;
};

// Built when the window is first shown, freed when it closes.
inline QList<PaireSwitch> tableSwitches;

// For each action of the table, in order, whose file command has a Switch:
// the pair (switch, action) when the action runs something and its item of
// the "Commandes" list exists and is checked; the pair marked unavailable
// when the action runs nothing (it has no item then).
void ConstruireSwitches(const TableActions& table);

// "Commande non disponible dans cette version : <caption> (+<switch>)".
QString TexteSwitchNonDisponible(const PaireSwitch& paire);
void LibererSwitches();

// One row of the about panel's "Ligne de commande" table.
struct LigneTableSwitches {
    QString fonction; // before the "="
    QString touches;  // after it, e.g. " +d"
    bool operator==(const LigneTableSwitches&) const = default;
};
inline const QString kTitreColonneFonction = QStringLiteral("Fonction");
inline const QString kTitreColonneTouches = QStringLiteral("Touches");
inline const QString kInfobulleTableSwitches = QStringLiteral("Liste des options de ligne de commandes.");
// The about panel's page that "?" opens: the system report.
inline constexpr int kPageAproposSysteme = 1;

// The rows: "caption= +switch" for each available pair whose action has a
// caption, and the four fixed letters, sorted without regard to case, each split at
// its first "=".
QList<LigneTableSwitches> LignesTableSwitches(const TableActions& table);
// Filled at start-up right after tableSwitches, for the about panel.
inline QList<LigneTableSwitches> tableLigneCommande;

// What the command line needs of the main window.
class FenetreLigneCommande {
public:
    virtual ~FenetreLigneCommande() = default;
    virtual ListeFichiers& listeFichiers() = 0;
    virtual ExecuteurCommandes& executeurCommandes() = 0;
    virtual BoiteMessage& boiteMessage() = 0;
    virtual void DebutOperation(const QString& texte) = 0;
    virtual int AjouterFichier(const QString& chemin) = 0;
    virtual void FinOperation() = 0;
    virtual void MajStatut() = 0;
    // Shows the about panel on that page, checks its action and leaves only
    // the "permanent" actions available.
    virtual void AfficherApropos(int page) = 0;
    virtual void FermerFenetre() = 0;
    // Whether the default playlist still waits for the first paint; the
    // window forgets it (it is the caller's to read).
    virtual bool prendrePlaylistEnAttente() = 0;
    virtual void LirePlaylistParDefaut() = 0;
};

inline const QString kTexteChargementLigneCommande = QStringLiteral("Chargement des fichiers");

// Runs the commands named by the switch arguments over the list. Esc between
// two entries ends the pass of the current switch; Shift+Esc (or closing the
// window) ends the whole run; Esc during one entry's work stops that work
// only, as in a run started from the menus. An unavailable switch is refused
// in an error message, and the run goes on. Returns the failures: the error
// messages shown during the run, the commands' own and the refusals.
int ExecuterSwitches(FenetreLigneCommande& fenetre, const QStringList& arguments);

enum class IssueDemarrage {
    SansArguments,    // MajStatut only
    EnAttente,        // window mode: call LigneCommandePremierePeinture at the first paint
    CacheeTerminee,   // hidden mode ran and closed the window
    CacheeAvecEchecs, // the same, but a command failed on a file or a switch was refused
};

// The first showing of the window. In hidden mode: sansConfirmation set
// (until the program ends), the files added, the switches run, then the
// default playlist that waited for the first paint read, and the window
// closed. Reading that playlist after the run keeps its files out of the
// commands and in the list the window saves at exit, so a hidden run adds to
// the saved list instead of replacing it.
IssueDemarrage DemarrerLigneCommande(FenetreLigneCommande& fenetre, const QStringList& arguments);

// Window mode, at the first paint (after the default playlist): the files
// added, then "?" (help, nothing runs), "m" and "c" honoured around the run.
// Returns the failures of the run, as ExecuterSwitches.
int LigneCommandePremierePeinture(FenetreLigneCommande& fenetre, const QStringList& arguments);

} // namespace korvan
