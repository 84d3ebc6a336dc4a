#pragma once
// "Send To" on a freedesktop desktop: a desktop entry in the user's
// applications folder that file managers offer under "Open with" for AVI
// files, so that the chosen files reach the program's command line.
#include <QString>

namespace korvan {

// Writes a desktop entry at cheminLien (its base name becomes the entry's Name)
// starting cible, an absolute program path, with the chosen files (%F), in
// dossierTravail when that is not empty, with description as its Comment. The
// entry is written to a temporary file and renamed, so an existing entry is
// replaced whole or left as it was; a missing folder is created. False on any
// failure, without a message.
// With horsMenus the entry is kept out of the application menus
// (NoDisplay) while file managers still offer it for AVI files.
bool CreerRaccourci(const QString& cheminLien, const QString& cible, const QString& dossierTravail,
                    const QString& description, bool horsMenus = false);

// The text of that entry; empty when the values cannot be written in one
// (a relative target, a control character in a path or name).
QString texteEntreeBureau(const QString& nom, const QString& cible, const QString& dossierTravail,
                          const QString& description, bool horsMenus = false);

// <dossierApplications>/<nom>.desktop; empty for a name that cannot be a file name.
QString cheminRaccourciEnvoyerVers(const QString& nom, const QString& dossierApplications);

// The entry "<nom>.desktop" for this program, described as "Raccourci vers <nom>",
// in the user's applications folder. Nothing happens when that folder is unknown.
// An installed program already has its application entry in the menus: the
// user's entry then stays out of them, so that Korvan is not listed twice.
bool CreerRaccourciEnvoyerVers(const QString& nom);
bool CreerRaccourciEnvoyerVers(const QString& nom, const QString& dossierApplications,
                               const QString& programme);

// The program was installed with its application entry: <prefix>/bin/<name>
// beside <prefix>/share/applications/<name>.desktop.
bool entreeApplicationInstallee(const QString& programme);

// Removes that entry; true when none remains (a missing entry is no error).
bool SupprimerRaccourciEnvoyerVers(const QString& nom);
bool SupprimerRaccourciEnvoyerVers(const QString& nom, const QString& dossierApplications);

} // namespace korvan
