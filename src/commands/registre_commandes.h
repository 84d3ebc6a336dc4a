#pragma once
// The commands the program knows, built-in ones first, then plug-in ones,
// each under its lower-cased name; and the rules that join a command to the
// window (its model, its general condition).
#include "commands/FileAction.h"

#include <QList>
#include <QString>

namespace korvan {

struct CommandeEnregistree {
    QString cle; // lower-cased Name
    tFileAction* commande = nullptr;
};

// Lookups take the first match, so on a name clash the earlier command wins.
inline QList<CommandeEnregistree> registreCommandes;

// Appends a command under its lower-cased Name (a null command is ignored).
void AjouterCommande(tFileAction* commande);
// First command registered under that key (compared lower-cased), or null.
tFileAction* ChercherCommande(const QString& nom);

// The command of a window action: the name lower-cased, its two first letters
// "am", "at", "pm" or "pt", the rest looked up in the registry. Null otherwise.
tFileAction* CommandeDeAction(const QString& nomAction);

// Lends a command the handlers it lacks from the first registered command
// whose Name equals its Modele exactly. True when the command has no Modele
// or its model was found; false when no registered command has that name,
// in which case the command must not be attached to anything.
bool AppliquerModele(tFileAction& commande);

// Asked once when the command is joined to its window action: whether the
// command exists at all while the program runs. True without a handler.
bool ConditionGenerale(tFileAction& commande);

} // namespace korvan
